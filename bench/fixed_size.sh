#!/usr/bin/env bash
# What every self-extracting setup.exe carries before its first file, beside
# NSIS's empty installer:
#
#   bench/fixed_size.sh [WIN32_BUILD_DIR] [WIN64_BUILD_DIR]   (defaults: build/win32, build/win64)
#
# Prints the release (i686) loading program, setup engine and uninstaller;
# the fixed overhead of a one-small-file self-extracting setup.exe, built for
# real with the win64 kit (qvc, then the setup program's -b under Wine); and
# the same for the release build.  i686 programs cannot run on this machine,
# so the release setup.exe is assembled from its i686 parts the way -b joins
# them: the win64 qvc puts the project into the i686 engine (--engine), the
# archive engine (qvarc, built for this machine) compresses that setup
# program into setup.1 at the level -b uses, and the i686 loading program,
# setup.1, the files.1 of the real build and the trailer are joined; the
# result is read back through its trailer.  The same assembly is checked
# against the real win64 build, byte for byte in size.  Each figure stands
# beside its goal as a ratio (at most 1.00 meets it).
set -euo pipefail
w32=$(cd "${1:-build/win32}" && pwd)
w64=$(cd "${2:-build/win64}" && pwd)
src=$(cd "$(dirname "$0")/.." && pwd)
run="$w64/wine-run"
for f in "$w32/kit/QuorvaneLoadProgram.exe" "$w32/kit/QuorvaneSetup.exe" "$w32/kit/uninstall.exe" \
         "$w64/kit/qvc.exe" "$w64/kit/QuorvaneSetup.exe" "$run"; do
  [ -f "$f" ] || { echo "fixed_size: $f missing (build both presets first)" >&2; exit 2; }
done
command -v makensis >/dev/null || apt-get install -y nsis >/dev/null ||
  { echo "fixed_size: needs makensis: apt-get install nsis" >&2; exit 2; }
qvarc="$w64/host-tools/tools/qvarc"
[ -x "$qvarc" ] || cmake --build "$w64/host-tools" --target qvarc >/dev/null ||
  { echo "fixed_size: cannot build the host qvarc in $w64/host-tools" >&2; exit 2; }

work=$(mktemp -d "$w64/fixed_size.XXXXXX")
trap 'rm -rf "$work"' EXIT
win() { echo "Z:${1//\//\\}"; }  # Wine shows the Unix root as drive Z:
size() { stat -c %s "$1"; }
kb() { echo "scale=1; $1 / 1024" | bc | sed "s/^\./0./"; }
ratio() { echo "scale=2; $1 / $2" | bc | sed 's/^\./0./'; }
line() {  # what bytes goal
  if [ -n "${3:-}" ]; then
    printf '%-58s %9d bytes %8s KB   goal %6s KB   ratio %s\n' "$1" "$2" "$(kb "$2")" "$(kb "$3")" "$(ratio "$2" "$3")"
  else
    printf '%-58s %9d bytes %8s KB\n' "$1" "$2" "$(kb "$2")"
  fi
}

# --- The one-small-file project ---------------------------------------------
mkdir -p "$work/payload" "$work/dist64"
printf 'Hello from a one-file setup.\r\n' >"$work/payload/hello.txt"
cat >"$work/project.dfm" <<EOF
object Form1: TForm1
  Caption = 'One File'
  object psProgramFiles: TpsProgramFiles
  end
  object psContainerDestDir: TpsContainerDestDir
  end
  object psContainerArchiveFile: TpsContainerArchiveFile
  end
  object Install1: TInstall
    DestDir = '\\One File'
    DestDirType = psProgramFiles
    Information.ProductName = 'One File'
  end
  object Hello: TInstallFile
    Container = Install1
    FileName = 'hello.txt'
    DestName = 'hello.txt'
    DestDirType = psContainerDestDir
    OverwriteMode = owAlways
    IncludeFromDir = '$(win "$work/payload")'
    ArchiveFileType = psContainerArchiveFile
  end
end
EOF

# --- win64, for real ----------------------------------------------------------
"$run" "$w64/kit/qvc.exe" "$(win "$work/project.dfm")" "$(win "$work/Setup64.exe")" \
  --build-dir "$(win "$work/dist64")" >"$work/qvc64.log" 2>&1 ||
  { cat "$work/qvc64.log" >&2; echo "fixed_size: qvc failed" >&2; exit 1; }
bash "$src/scripts/register-kit.sh" "$w64" >/dev/null
"$run" "$(win "$work/Setup64.exe")" -b >"$work/build64.log" 2>&1 ||
  { cat "$work/build64.log" >&2; echo "fixed_size: Setup.exe -b failed" >&2; exit 1; }
for f in setup.exe setup.1 files.1; do
  [ -f "$work/dist64/$f" ] || { echo "fixed_size: -b made no $f" >&2; exit 1; }
done
payload_stored=$(size "$work/dist64/files.1")

# setup.1 again through qvarc at the level -b uses: the release assembly
# below is only as good as this match.
mkdir -p "$work/re64" && cp "$work/Setup64.exe" "$work/re64/Setup64.exe"
"$qvarc" create "$work/re64/setup.1" "$work/re64/Setup64.exe" --level max >/dev/null
if [ "$(size "$work/re64/setup.1")" -eq "$(size "$work/dist64/setup.1")" ]; then
  same_as_b="yes, the same size as -b's setup.1"
else
  same_as_b="NO: $(size "$work/re64/setup.1") bytes against -b's $(size "$work/dist64/setup.1")"
fi

# --- release (i686), assembled from its parts -----------------------------------
mkdir -p "$work/rel"
"$run" "$w64/kit/qvc.exe" "$(win "$work/project.dfm")" "$(win "$work/rel/Setup.exe")" \
  --build-dir "$(win "$work/dist64")" --engine "$(win "$w32/kit/QuorvaneSetup.exe")" >"$work/qvc32.log" 2>&1 ||
  { cat "$work/qvc32.log" >&2; echo "fixed_size: qvc --engine (i686) failed" >&2; exit 1; }
"$qvarc" create "$work/rel/setup.1" "$work/rel/Setup.exe" --level max >/dev/null
python3 - "$w32/kit/QuorvaneLoadProgram.exe" "$work/rel/setup.1" "$work/dist64/files.1" "$work/rel/setup-sfx.exe" <<'EOF'
import struct, sys
loader, setup1, files1 = (open(p, 'rb').read() for p in sys.argv[1:4])
out = sys.argv[4]
s0 = len(loader); s1 = s0 + len(setup1) - 1; f0 = s1 + 1; f1 = f0 + len(files1) - 1
trailer = bytes([14]) + b'SELFEXTRACTING' + b'\0' + struct.pack('<4i', s0, s1, f0, f1) + bytes(24)
assert len(trailer) == 56
open(out, 'wb').write(loader + setup1 + files1 + trailer)
EOF
"$qvarc" list "$work/rel/setup-sfx.exe" --setup-archive >"$work/rel/list.txt" 2>&1 ||
  { cat "$work/rel/list.txt" >&2; echo "fixed_size: the assembled release setup.exe does not read back" >&2; exit 1; }
grep -q "Setup.exe" "$work/rel/list.txt" ||
  { cat "$work/rel/list.txt" >&2; echo "fixed_size: the assembled setup.1 lacks the setup program" >&2; exit 1; }

# --- NSIS's empty installers ------------------------------------------------------
for target in x86-unicode amd64-unicode; do
  cat >"$work/empty-$target.nsi" <<EOF
Unicode true
Target $target
SetCompressor zlib
OutFile "$work/empty-$target.exe"
RequestExecutionLevel user
Section
SectionEnd
EOF
  makensis -V1 "$work/empty-$target.nsi" >/dev/null
done

# --- Figures ----------------------------------------------------------------------
goal_loader=65536
goal_fixed=307200
echo "== Release build (i686, $w32)"
line "loading program QuorvaneLoadProgram.exe" "$(size "$w32/kit/QuorvaneLoadProgram.exe")" $goal_loader
line "setup engine QuorvaneSetup.exe" "$(size "$w32/kit/QuorvaneSetup.exe")"
line "uninstaller uninstall.exe" "$(size "$w32/kit/uninstall.exe")"
line "  setup program (engine + project), compressed: setup.1" "$(size "$work/rel/setup.1")"
line "  uninstaller compressed at the same level (if it goes in)" \
  "$("$qvarc" create "$work/rel/uninst.1" "$w32/kit/uninstall.exe" --level max >/dev/null && size "$work/rel/uninst.1")"
rel_total=$(size "$work/rel/setup-sfx.exe")
line "one-small-file setup.exe, assembled as -b joins it" "$rel_total"
line "fixed overhead (setup.exe less files.1)" $((rel_total - payload_stored)) $goal_fixed
echo "   (assembled from the i686 parts: loader + setup.1 + files.1 + 56-byte trailer;"
echo "    qvarc's setup.1 of the win64 setup program: $same_as_b)"
echo "== win64 build, -b under Wine ($w64)"
line "loading program QuorvaneLoadProgram.exe" "$(size "$w64/kit/QuorvaneLoadProgram.exe")" $goal_loader
line "setup engine QuorvaneSetup.exe" "$(size "$w64/kit/QuorvaneSetup.exe")"
line "  setup.1 (setup program, compressed)" "$(size "$work/dist64/setup.1")"
line "  files.1 (the one file: headers and data)" "$payload_stored"
w64_total=$(size "$work/dist64/setup.exe")
line "one-small-file setup.exe" "$w64_total"
line "fixed overhead (setup.exe less files.1)" $((w64_total - payload_stored)) $goal_fixed
echo "== NSIS $(makensis -VERSION), empty section, zlib"
line "empty installer, x86-unicode" "$(size "$work/empty-x86-unicode.exe")"
line "empty installer, amd64-unicode" "$(size "$work/empty-amd64-unicode.exe")"
