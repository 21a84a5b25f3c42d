#!/usr/bin/env bash
# The sample's setup as deployment tools run it, under Wine: the switches
# alone and together, the exit codes, the log, the entry in Windows' list of
# programs read back value by value, the quiet uninstall it names, and -b
# run by a script.
#
#   unattended.sh BUILD_DIR [--verbose]
set -euo pipefail
. "$(dirname "$0")/wine_env.sh"
work="$build/e2e-unattended"
. "$(dirname "$0")/sample_env.sh"

# The windows the kit could show: the wizard's first page, the copy window,
# the success and failure pages, the message boxes of the loading program
# and the uninstaller.  (The setup program's boxes bear the title of its
# main window, which an unattended run keeps off the screen: the log tells
# whether one was shown.)
watched_titles=("Select a language" "Copying installation files" "Installationsdateien werden kopiert"
                "Setup complete" "Setup incomplete" "Setup" "Uninstall")
# Runs the setup (or another program) with the arguments given, leaves its
# exit code in $code and in $work/shown.log the titles of the windows above
# that appeared while it ran (a waiter per title catches even a window that
# shows for a moment).
watched() {
  : >"$work/shown.log"
  local waiters=() i pid
  for i in "${!watched_titles[@]}"; do
    "$run" "$qvauto" wait "${watched_titles[$i]}" 300 >/dev/null 2>&1 &
    waiters[$i]=$!
  done
  sleep 1  # the waiters look before the program starts
  "$run" "$@" </dev/null >>"$work/setup.log" 2>&1 &
  pid=$!
  set +e; wait "$pid"; code=$?; set -e
  sleep 1
  # A waiter that has ended saw its window; the others are stopped.
  for i in "${!waiters[@]}"; do
    if kill -0 "${waiters[$i]}" 2>/dev/null; then
      kill "${waiters[$i]}" 2>/dev/null || true
      wait "${waiters[$i]}" 2>/dev/null || true
    elif wait "${waiters[$i]}"; then
      echo "${watched_titles[$i]}" >>"$work/shown.log"
    fi
  done
  close_group_windows
}
kit_windows() { sort -u "$work/shown.log"; }
value_of() {  # value_of NAME: the data of a value of the uninstall key
  "$run" reg query "$uninstall_key" /v "$1" 2>/dev/null | tr -d '\r' | awk -v n="$1" '$1 == n {sub(/^ *[^ ]+ +[^ ]+ +/, ""); print}'
}

rm -rf "$work"; mkdir -p "$work"
bash "$source_dir/scripts/register-kit.sh" "$build" >/dev/null || fail "cannot register the kit directory"
clean_machine
quiet_dir='C:\Quiet Place\Sample'
quiet_target="$prefix/drive_c/Quiet Place/Sample"
rm -rf "$prefix/drive_c/Quiet Place"

# 1. -b run by a script: its log and exit code.
build_sample_distribution
"$run" "$work/stage/QvSampleSetup.exe" -b "/LOG=$(winpath "$work/build.log")" || fail "-b /LOG failed ($?)"
grep -q "  Built .* files, .* bytes in" "$work/build.log" || fail "the build's log does not say what it wrote: $(cat "$work/build.log")"
grep -q "Exit code 0" "$work/build.log" || fail "the build's log has no exit code"

# 2. What deployment tools pass: nothing shown, the folder, the groups and
#    the program folder given, a log.
log="$work/quiet.log"
watched "$work/dist/setup.exe" /VERYSILENT /SUPPRESSMSGBOXES /NORESTART "/LOG=$(winpath "$log")" "/DIR=$quiet_dir" \
  /COMPONENTS=Documentation "/GROUP=Quiet Tools"
[ "$code" -eq 0 ] || fail "the very silent setup ended with $code: $(cat "$log")"
[ -z "$(kit_windows)" ] || fail "the very silent setup showed $(kit_windows)"
grep -q 'Message box answered [0-9]*$' "$log" && fail "the very silent setup showed a message box: $(cat "$log")"
[ -s "$quiet_target/QvSample.exe" ] || fail "/DIR did not place the program: $(ls -R "$prefix/drive_c/Quiet Place" 2>&1)"
[ -s "$quiet_target/Docs/manual.txt" ] || fail "the documentation named by /COMPONENTS is missing"
[ ! -e "$quiet_target/Docs/Examples" ] || fail "the examples, not named by /COMPONENTS, were installed"
[ -s "$programs/Quiet Tools/$product.lnk" ] || fail "/GROUP did not place the links: $(ls "$programs")"
[ ! -e "$programs/$product" ] || fail "the project's own program folder was made besides /GROUP's"
for line in "Installed $quiet_dir\\QvSample.exe" "Registry value written: " "Link created: " \
            "Registered: $quiet_dir\\QvSampleComponent.dll" "Shared count raised: " \
            "Uninstall entry written: " "Installation finished" "Exit code 0"; do
  grep -qF "$line" "$log" || fail "the log lacks \"$line\": $(cat "$log")"
done
say "$(cat "$log")"

# The entry in Windows' list of programs, value by value.
expect() {
  local got
  got=$(value_of "$1")
  [ "$got" = "$2" ] || fail "the uninstall key's $1 is <$got>, not <$2>"
}
expect DisplayName "$product"
expect UninstallString "\"$quiet_dir\\uninstall.exe\" $product"
expect QuietUninstallString "\"$quiet_dir\\uninstall.exe\" /VERYSILENT $product"
expect DisplayVersion 1.2
expect Publisher 'Quorvane Example Co'
expect InstallLocation "$quiet_dir"
expect DisplayIcon "$quiet_dir\\QvSample.exe"
expect URLInfoAbout 'http://www.example.com/quorvane'
expect InstallDate "$(date +%Y%m%d)"
expect NoModify 0x1
expect NoRepair 0x1
size=$(( $(value_of EstimatedSize) ))
files_kb=$(( ($(find "$quiet_target" "$system32/QvSampleShared.dll" -type f -printf '%s\n' | paste -sd+ | bc) + 1023) / 1024 ))
[ "$size" -ge $((files_kb - 2)) ] && [ "$size" -le $((files_kb + 2)) ] \
  || fail "EstimatedSize is $size KB, the installed files take $files_kb KB"

# The quiet uninstall the key names removes it all, with its own log.
quiet=$(value_of QuietUninstallString)
uninstaller=${quiet#\"}; uninstaller=${uninstaller%%\"*}
watched "$uninstaller" /VERYSILENT "/LOG=$(winpath "$work/uninstall.log")" "$product"
[ "$code" -eq 0 ] || fail "the quiet uninstall ended with $code: $(cat "$work/uninstall.log")"
[ -z "$(kit_windows)" ] || fail "the quiet uninstall showed $(kit_windows)"
grep -qF "Removed $quiet_dir\\QvSample.exe" "$work/uninstall.log" || fail "the uninstall log: $(cat "$work/uninstall.log")"
reg_has "$uninstall_key" && fail "the uninstall key stayed"
for i in $(seq 1 50); do [ -e "$quiet_target" ] || break; sleep 0.2; done
[ ! -e "$quiet_target" ] || fail "the quiet uninstall left $(ls -R "$quiet_target")"
[ ! -e "$programs/Quiet Tools" ] || fail "the quiet uninstall left the program folder"

# 3. /SILENT: the copy window but no wizard, here in the language /LANG
#    names; /COMPONENTS picks the groups (the shared library, which the user
#    cannot choose, comes anyway; the examples lie in the documentation,
#    which comes with them).
clean_machine
watched "$work/dist/setup.exe" /silent "/Components=Examples" /LANG=german /LOG
[ "$code" -eq 0 ] || fail "the silent setup ended with $code"
shown=$(kit_windows)
[ "$shown" = "Installationsdateien werden kopiert" ] || fail "the silent German setup showed <$shown>, not the German copy window alone"
[ -s "$target/Docs/Examples/first-steps.txt" ] || fail "/COMPONENTS=Examples did not install the examples"
[ -s "$target/Docs/manual.txt" ] || fail "/COMPONENTS=Examples left out the documentation the examples lie in"
[ -s "$system32/QvSampleShared.dll" ] || fail "the group the user cannot choose was left out"
ls "$users/Temp/Setup Log "*.txt >/dev/null 2>&1 || fail "a bare /LOG wrote no log into the temporary folder"
"$run" "$target/uninstall.exe" /SILENT "$product" >/dev/null || fail "the silent uninstall failed"
reg_has "$uninstall_key" && fail "the silent uninstall left the key"

# 4. Mistakes: an unknown switch gets the usual message and exit code 1; a
#    name the project lacks fails before anything is installed.
clean_machine
"$run" "$work/stage/QvSampleSetup.exe" /BOGUS </dev/null >/dev/null 2>&1 &
setup=$!
"$run" "$qvauto" wait "$product Installation" 30 >/dev/null 2>&1 || fail "no message for /BOGUS"
"$run" "$qvauto" text "$product Installation" | grep -qF 'Invalid parameter </BOGUS>' || fail "/BOGUS got another message"
"$run" "$qvauto" close "$product Installation" >/dev/null 2>&1
set +e; wait "$setup"; code=$?; set -e
[ "$code" -eq 1 ] || fail "/BOGUS ended with $code, not 1"
watched "$work/dist/setup.exe" /VERYSILENT /LANG=Klingon "/LOG=$(winpath "$work/lang.log")"
[ "$code" -eq 1 ] || fail "/LANG=Klingon ended with $code, not 1"
grep -q 'Klingon, which is no language' "$work/lang.log" || fail "the log does not name the unknown language"
[ ! -e "$target" ] || fail "a setup with an unknown language installed"
# The loader's own failure: a damaged setup.exe, very silent, exit code 1
# and its reason in the log.
head -c 200000 "$work/dist/setup.exe" >"$work/cut.exe"
watched "$work/cut.exe" /VERYSILENT "/LOG=$(winpath "$work/cut.log")"
[ "$code" -eq 1 ] || fail "a damaged setup.exe ended with $code, not 1"
[ -z "$(kit_windows)" ] || fail "the damaged very silent setup.exe showed $(kit_windows)"
grep -q 'damaged or incomplete' "$work/cut.log" || fail "the loader's reason is not in the log: $(cat "$work/cut.log" 2>&1)"

# 5. Signed with a certificate made for the test: the signature verifies,
#    and the signed setup.exe finds its archives in front of it and installs.
clean_machine
mkdir -p "$work/signed"
openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Quorvane Test Signer" \
  -keyout "$work/test.key" -out "$work/test.crt" >/dev/null 2>&1 || fail "openssl made no certificate"
osslsigncode sign -certs "$work/test.crt" -key "$work/test.key" -n "$product" -i http://www.example.com/quorvane \
  -in "$work/dist/setup.exe" -out "$work/signed/setup.exe" >/dev/null || fail "osslsigncode did not sign setup.exe"
osslsigncode verify -CAfile "$work/test.crt" -in "$work/signed/setup.exe" 2>&1 | grep -q 'Signature verification: ok' \
  || fail "the signature does not verify"
"$run" "$build/tools/qvarc.exe" verify "$(winpath "$work/signed/setup.exe")" >/dev/null \
  || fail "the signed setup.exe's archives do not verify"
watched "$work/signed/setup.exe" /VERYSILENT
[ "$code" -eq 0 ] || fail "the signed setup.exe ended with $code: $(cat "$work/setup.log")"
[ -s "$target/QvSample.exe" ] && [ -s "$target/Docs/manual.txt" ] || fail "the signed setup.exe did not install"
"$run" "$target/uninstall.exe" /VERYSILENT "$product" >/dev/null || fail "the uninstall after the signed setup failed"

# 6. A version.dll planted beside setup.exe is never loaded; the probe, an
#    unprotected program beside it, shows that Wine would load it.
clean_machine
planted="$build/tests/e2e/planted"
mkdir -p "$work/downloads"
cp "$work/dist/setup.exe" "$planted/version.dll" "$planted/planted_probe.exe" "$work/downloads/"
mark="$work/planted-loaded"
export QV_PLANTED_MARK
QV_PLANTED_MARK=$(winpath "$mark")
export WINEDLLOVERRIDES="version=n,b"
"$run" "$work/downloads/planted_probe.exe" || true
[ -e "$mark" ] || fail "the probe did not load the planted version.dll: the check below would prove nothing"
rm -f "$mark"
watched "$work/downloads/setup.exe" /VERYSILENT
unset WINEDLLOVERRIDES QV_PLANTED_MARK
[ "$code" -eq 0 ] || fail "setup.exe beside the planted DLL ended with $code"
[ ! -e "$mark" ] || fail "setup.exe loaded the version.dll planted beside it"
# The setup program (and the uninstaller) import only what Windows loads
# from the system folder whatever stands beside them: known DLLs, and the
# common controls from the side-by-side store.  (Under Wine a DLL planted
# beside them proves nothing: Wine's own user32 imports version.dll.)
for exe in "$work/stage/QvSampleSetup.exe" "$build/kit/uninstall.exe"; do
  imports=$(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^\s*DLL Name: //p' | tr 'a-z' 'A-Z' | sort -u | tr '\n' ' ')
  for dll in $imports; do
    case $dll in
      KERNEL32.DLL | ADVAPI32.DLL | USER32.DLL | GDI32.DLL | SHELL32.DLL | OLE32.DLL | MSVCRT.DLL | COMCTL32.DLL) ;;
      *) fail "$(basename "$exe") imports $dll, which a DLL planted beside it would stand in for" ;;
    esac
  done
done
"$run" "$target/uninstall.exe" /VERYSILENT "$product" >/dev/null || fail "the uninstall failed"
echo "unattended: ok"
