#!/usr/bin/env bash
# The same payload as bench_install (about 100 MB of generated files) built
# and installed by Quorvane and by NSIS, side by side under the same Wine:
#
#   bench/side_by_side.sh [BUILD_DIR] [MEGABYTES]     (defaults: build/win64, 100)
#
# Quorvane: bench_install.exe (setup program -b, then the self-extracting
# setup.exe).  NSIS: makensis (a native Linux program here, so its build runs
# without Wine's overhead) with zlib, as Quorvane compresses, and with solid
# LZMA, NSIS's usual choice for size; each installer is started silently
# (/S) under Wine, and writes an uninstaller and its uninstall key as
# Quorvane's run records its uninstall information.  Each uninstaller is
# timed removing its own installation of the same files.  Prints figures and
# their ratios against the goals; checks that every installation is complete.
set -euo pipefail
build=$(cd "${1:-build/win64}" && pwd)
mb=${2:-100}
run="$build/wine-run"
if ! command -v makensis >/dev/null || ! command -v bc >/dev/null; then
  apt-get install -y nsis bc >/dev/null || { echo "needs makensis and bc: apt-get install nsis bc" >&2; exit 2; }
fi
[ -x "$build/bench/bench_install.exe" ] || [ -f "$build/bench/bench_install.exe" ] \
  || { echo "build bench_install first: cmake --build $build --target bench_install" >&2; exit 2; }
prefix="$build/wineprefix"
temp_unix="$prefix/drive_c/users/$(whoami)/Temp"
work="$temp_unix/qv_bench_install"
out=$(mktemp -d)
trap 'rm -rf "$out" "$work"' EXIT

echo "== Quorvane"
"$run" "$build/bench/bench_install.exe" "$mb" --keep-payload | tee "$out/quorvane.txt"
[ -d "$work/payload" ] || { echo "bench_install kept no payload" >&2; exit 1; }
payload_files=$(find "$work/payload" -type f | wc -l)
payload_bytes=$(du -sb "$work/payload" | cut -f1)

seconds() { local t0 t1; t0=$(date +%s.%N); "$@" >&2; t1=$(date +%s.%N); echo "$t1 - $t0" | bc; }
until_gone() {  # folder command...: runs the command, then waits (up to 5 minutes) for the folder to go
  local dir=$1 i
  shift
  "$@"
  for ((i = 0; i < 15000; i++)); do [ -e "$dir" ] || return 0; sleep 0.02; done
}
rate() { echo "scale=1; $payload_bytes / 1048576 / $1" | bc; }

nsis_script() {  # compressor product
  cat <<EOF
Unicode true
Target amd64-unicode
SetCompressor $1
Name "$2"
OutFile "$out/$2.exe"
InstallDir "\$PROGRAMFILES64\\$2"
RequestExecutionLevel admin
SilentInstall silent
Section
  SetOutPath "\$INSTDIR\\Small"
  File "$work/payload/note*.txt"
  SetOutPath "\$INSTDIR\\Texts"
  File "$work/payload/text*.txt"
  SetOutPath "\$INSTDIR\\Media"
  File "$work/payload/media*.zip"
  SetOutPath "\$INSTDIR"
  File "$work/payload/table*.dat"
  File "$work/payload/big*.bin"
  WriteUninstaller "\$INSTDIR\\uninst.exe"
  WriteRegStr HKLM "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$2" "DisplayName" "$2"
  WriteRegStr HKLM "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$2" "UninstallString" "\$INSTDIR\\uninst.exe"
SectionEnd
Section "Uninstall"
  RMDir /r "\$INSTDIR"
  DeleteRegKey HKLM "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$2"
SectionEnd
EOF
}

declare -A build_s install_s size_mb
for variant in zlib "/SOLID lzma"; do
  product="QvBench NSIS $(tr -d '/ ' <<<"$variant")"
  nsis_script "$variant" "$product" > "$out/$product.nsi"
  target="$prefix/drive_c/Program Files/$product"
  rm -rf "$target"
  build_s[$variant]=$(seconds makensis -V1 "$out/$product.nsi")
  size_mb[$variant]=$(echo "scale=1; $(stat -c %s "$out/$product.exe") / 1048576" | bc)
  install_s[$variant]=$(seconds "$run" "$out/$product.exe" /S)
  installed=$(find "$target" -type f ! -name uninst.exe | wc -l)
  [ "$installed" = "$payload_files" ] || { echo "NSIS $variant installed $installed of $payload_files files" >&2; exit 1; }
  if [ "$variant" = zlib ]; then
    # _?= keeps the uninstaller where it is, so it runs in place; under this
    # Wine it still returns before it is done, so the time runs until its
    # RMDir /r has taken the folder.
    nsis_uninstall_s=$(seconds until_gone "$target" "$run" "C:\\Program Files\\$product\\uninst.exe" /S \
      "_?=C:\\Program Files\\$product")
    [ ! -e "$target" ] || { echo "NSIS's uninstaller left $(find "$target" -type f | wc -l) files" >&2; exit 1; }
  fi
  "$run" reg delete "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$product" /f >/dev/null 2>&1 || true
  rm -rf "$target"
done

# Quorvane's uninstaller on the installation bench_install kept (its files
# and its record), with /S, as a script would.
q_target="$prefix/drive_c/Program Files/QvBench Product"
q_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\QvBench Product'
q_uninstall=""
if "$run" reg query "$q_key" >/dev/null 2>&1 && [ -d "$q_target" ]; then
  q_uninstall=$(seconds "$run" "$build/kit/uninstall.exe" /S QvBench Product)
  [ ! -e "$q_target" ] || { echo "Quorvane's uninstaller left $(find "$q_target" -type f | wc -l) files" >&2; exit 1; }
fi

# Time per file at 1,000 and 10,000 small files, when bench_install has it.
per_file() {  # files
  local line
  line=$("$run" "$build/bench/bench_install.exe" --files "$1" 2>/dev/null | grep '^per file:' || true)
  echo "${line:-per file: (bench_install has no --files option)}"
}
per_1000=$(per_file 1000)
per_10000=$(per_file 10000)

q_build=$(awk '/^build \(/ {print $(NF-3)}' "$out/quorvane.txt")
q_install=$(awk '/^install \(/ {print $(NF-3)}' "$out/quorvane.txt")
q_inflate=$(awk '/^install takes/ {print $3}' "$out/quorvane.txt")
q_peak=$(awk -F': ' '/^peak working set:/ {print $2}' "$out/quorvane.txt")
q_size=$(awk '/^archive:/ {print $(NF-1)}' "$out/quorvane.txt")
ratio() { printf '%.2f' "$(echo "scale=4; $1 / $2" | bc)"; }
echo
echo "== Side by side: $payload_files files, $(echo "scale=1; $payload_bytes / 1048576" | bc) MB"
printf '%-22s %10s %10s %10s %10s %12s\n' "" "build s" "install s" "MB/s inst" "setup MB" "uninstall s"
printf '%-22s %10.2f %10.2f %10s %10s %12s\n' "Quorvane (zlib 9)" "$q_build" "$q_install" "$(rate "$q_install")" "$q_size" \
  "$(printf '%.2f' "${q_uninstall:-0}")"
for variant in zlib "/SOLID lzma"; do
  u=-
  [ "$variant" = zlib ] && u=$(printf '%.2f' "$nsis_uninstall_s")
  printf '%-22s %10.2f %10.2f %10s %10s %12s\n' "NSIS ($variant)" "${build_s[$variant]}" "${install_s[$variant]}" \
    "$(rate "${install_s[$variant]}")" "${size_mb[$variant]}" "$u"
done
echo "(zlib at level 9 on both sides, NSIS's default.  NSIS builds natively on Linux; Quorvane's build runs under Wine.)"
echo
echo "== Against the goals"
nsis_rate=$(rate "${install_s[zlib]}")
printf '%-52s %8s   %s\n' "build time, Quorvane / NSIS zlib" "$(ratio "$q_build" "${build_s[zlib]}")" "goal <= 1"
printf '%-52s %8s   %s\n' "install throughput, Quorvane / NSIS zlib" "$(ratio "$(rate "$q_install")" "$nsis_rate")" "goal >= 1.5"
printf '%-52s %8s   %s\n' "install time / plain inflate-and-write" "${q_inflate:-n/a}" "goal <= 1.5"
if [ -n "$q_uninstall" ]; then
  printf '%-52s %8s   %s\n' "uninstall time, Quorvane / NSIS" "$(ratio "$q_uninstall" "$nsis_uninstall_s")" "goal <= 1"
else
  echo "uninstall: bench_install kept no installation; not measured"
fi
echo "peak working set of the install: ${q_peak:-(bench_install prints none)}   goal <= 16 MB"
echo "at 1,000 small files:  $per_1000"
echo "at 10,000 small files: $per_10000   (goal: the same time per file)"
if [ -x "$(dirname "$0")/fixed_size.sh" ] || [ -f "$(dirname "$0")/fixed_size.sh" ]; then
  echo
  echo "== Fixed size (bench/fixed_size.sh)"
  bash "$(dirname "$0")/fixed_size.sh" "$(dirname "$build")/win32" "$build" || echo "(fixed_size.sh failed)"
else
  echo
  echo "(bench/fixed_size.sh does not exist yet: fixed sizes not printed)"
fi
