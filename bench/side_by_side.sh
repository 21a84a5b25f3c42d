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
# Quorvane's run records its uninstall information.  Prints figures; checks
# that every installation is complete.
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

seconds() { local t0 t1; t0=$(date +%s.%N); "$@"; t1=$(date +%s.%N); echo "$t1 - $t0" | bc; }
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
  "$run" reg delete "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$product" /f >/dev/null 2>&1 || true
  rm -rf "$target"
done

q_build=$(awk '/^build \(/ {print $(NF-3)}' "$out/quorvane.txt")
q_install=$(awk '/^install \(/ {print $(NF-3)}' "$out/quorvane.txt")
q_size=$(awk '/^archive:/ {print $(NF-1)}' "$out/quorvane.txt")
echo
echo "== Side by side: $payload_files files, $(echo "scale=1; $payload_bytes / 1048576" | bc) MB"
printf '%-22s %10s %10s %10s %12s\n' "" "build s" "install s" "MB/s inst" "setup MB"
printf '%-22s %10.2f %10.2f %10s %12s\n' "Quorvane (zlib)" "$q_build" "$q_install" "$(rate "$q_install")" "$q_size"
for variant in zlib "/SOLID lzma"; do
  printf '%-22s %10.2f %10.2f %10s %12s\n' "NSIS ($variant)" "${build_s[$variant]}" "${install_s[$variant]}" \
    "$(rate "${install_s[$variant]}")" "${size_mb[$variant]}"
done
echo "(NSIS builds natively on Linux; Quorvane's build runs under Wine.)"
