#!/usr/bin/env bash
# The product as a user sees it, under Wine: the sample project's setup
# program builds its distribution with -b, then the self-extracting setup.exe
# installs it (through the loading program) and a plain distribution installs
# it again.  Checks the files, the registry and that no temporary copy stays.
#
#   sample_cycle.sh BUILD_DIR [--verbose]
set -euo pipefail
build=$(cd "$1" && pwd)
verbose=${2:-}
run="$build/wine-run"
prefix="$build/wineprefix"
work="$build/e2e-sample"
say() { [ -n "$verbose" ] && echo "$@" || true; }
fail() { echo "FAIL: $*" >&2; exit 1; }
winpath() { echo "Z:$1" | sed 's|/|\\|g'; }

rm -rf "$work"; mkdir -p "$work/stage" "$work/dist" "$work/plain"
"$run" reg add 'HKCU\Software\Borland\Delphi\4.0\Library' /v 'Search Path' /t REG_SZ \
  /d "$(winpath "$build/kit")" /f >/dev/null 2>&1 || fail "cannot register the kit directory"
target="$prefix/drive_c/Program Files/Quorvane Sample"
"$run" reg delete 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Quorvane Sample' /f >/dev/null 2>&1 || true
rm -rf "$target"
"$run" reg delete 'HKCU\Software\Quorvane Sample' /f >/dev/null 2>&1 || true

# 1. Build the distribution.
cp "$build/examples/SampleSetup.exe" "$work/stage/"
printf '%s\r\n' "$(winpath "$work/dist")" > "$work/stage/BUILD.INF"
"$run" "$work/stage/SampleSetup.exe" -b
for f in setup.exe setup.1 files.1; do [ -s "$work/dist/$f" ] || fail "the build made no $f"; done
say "== Distribution"
[ -n "$verbose" ] && ls -l "$work/dist"
"$run" "$build/tools/qvarc.exe" verify "$(winpath "$work/dist/setup.exe")" >/dev/null \
  || fail "the self-extracting setup.exe does not verify"
listing=$("$run" "$build/tools/qvarc.exe" list "$(winpath "$work/dist/files.1")")
say "$listing"
for f in readme.txt license.txt manual.txt; do
  grep -q "$f" <<<"$listing" || fail "files.1 lacks $f"
done

# 2. Install from the self-extracting file, as a user starts it.
temp_before=$(ls "$prefix/drive_c/users/root/Temp" 2>/dev/null | sort)
"$run" "$work/dist/setup.exe"
for f in readme.txt license.txt; do
  cmp -s "$target/$f" "$(dirname "$0")/../../examples/sample/payload/$f" || fail "$f not installed correctly"
done
[ ! -e "$target/Docs/manual.txt" ] || fail "the documentation group is for full installs only"
reg=$("$run" reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Quorvane Sample\Files' 2>/dev/null)
grep -q 'readme.txt' <<<"$reg" || fail "no uninstall record"
"$run" reg query 'HKLM\Software\Quorvane\Install' /s 2>/dev/null | grep -q 'SampleSetup.exe' \
  && fail "the install record stayed"
# Registry keys and links of the project.
settings=$("$run" reg query 'HKCU\Software\Quorvane Sample' 2>/dev/null) || fail "no registry key"
grep -q 'Edition *REG_SZ *Sample' <<<"$settings" || fail "registry text value missing"
grep -q 'Runs *REG_DWORD *0x0' <<<"$settings" || fail "registry integer value missing"
grep -q 'FirstRun *REG_DWORD *0x1' <<<"$settings" || fail "registry Boolean value missing"
users="$prefix/drive_c/users/$(whoami)"
programs="$users/AppData/Roaming/Microsoft/Windows/Start Menu/Programs"
[ -s "$programs/Quorvane Sample/Read Me.lnk" ] || fail "no link in the program folder"
[ -s "$users/Desktop/Quorvane Sample Read Me.lnk" ] || fail "no desktop link"
grep -qi 'URL=http://www.example.com/quorvane' "$users/Desktop/Quorvane Sample Web.URL" \
  || fail "no internet shortcut"
# The temporary copy of the setup program is gone once the run ended.
for i in $(seq 1 50); do
  temp_after=$(ls "$prefix/drive_c/users/root/Temp" 2>/dev/null | sort)
  [ "$temp_before" = "$temp_after" ] && break
  sleep 0.2
done
[ "$temp_before" = "$temp_after" ] || fail "the temporary setup copy stayed: $(comm -13 <(echo "$temp_before") <(echo "$temp_after"))"
say "== Installed"
[ -n "$verbose" ] && (cd "$target" && find . -type f | sort) && echo "$reg" && echo "$settings" \
  && ls "$programs/Quorvane Sample" "$users/Desktop" | grep -i quorvane

# 3. Remove it again with the uninstaller, as the uninstall record says, without
#    questions: nothing of the product stays.
"$run" "$target/uninstall.exe" /S Quorvane Sample >/dev/null || fail "the uninstaller reported a failure"
for i in $(seq 1 50); do [ -e "$target" ] || break; sleep 0.2; done
[ ! -e "$target" ] || fail "the product folder stayed: $(ls "$target")"
"$run" reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Quorvane Sample' >/dev/null 2>&1 \
  && fail "the uninstall key stayed"
"$run" reg query 'HKCU\Software\Quorvane Sample' >/dev/null 2>&1 && fail "the product's registry key stayed"
[ ! -e "$programs/Quorvane Sample/Read Me.lnk" ] || fail "the program folder link stayed"
[ ! -e "$users/Desktop/Quorvane Sample Web.URL" ] || fail "the internet shortcut stayed"
say "== Removed: no files, links or registry keys of the product are left"

# 4. A plain distribution: the loading program beside setup.1 and files.1.
rm -rf "$target"
cp "$build/kit/QuorvaneLoadProgram.exe" "$work/plain/setup.exe"
cp "$work/dist/setup.1" "$work/dist/files.1" "$work/plain/"
"$run" "$work/plain/setup.exe"
cmp -s "$target/readme.txt" "$(dirname "$0")/../../examples/sample/payload/readme.txt" \
  || fail "the plain distribution did not install"
echo "sample cycle: ok"
