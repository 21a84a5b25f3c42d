#!/usr/bin/env bash
# The sample's wizard as a user who does not just accept every default uses
# it, under Wine, from the self-extracting setup.exe:
#
# 1. French picked on the language page turns the open page French at once;
#    back to English.  Cancel on the welcome page asks first: No keeps the
#    wizard, Yes ends it on the failure page, and nothing is installed.
# 2. Back and Next go between pages.  On the file group page the shared
#    components cannot be left out, the examples are, and the documentation
#    goes to a folder of the user's; on the folder page the links get a
#    folder of their own.  The files land where chosen, the examples
#    nowhere, the links in the typed folder; the uninstaller removes it all
#    from there.
#
#   sample_wizard.sh BUILD_DIR [--verbose]
set -euo pipefail
. "$(dirname "$0")/wine_env.sh"
work="$build/e2e-wizard"
. "$(dirname "$0")/sample_env.sh"
qa() { "$run" "$qvauto" "$@" 2>/dev/null | tr -d '\r'; }
box="$product Installation"  # the title of the setup's message boxes
question="The installation is not complete. Do you want to quit the setup?"
# Waits for the setup's message box asking the question (asked), or for it
# to go (asked not); the main window has the same title.
asked() {
  local i want=0
  [ "${1:-}" = not ] && want=1
  for i in $(seq 1 50); do
    qa text "$box" | grep -qF "$question"
    [ $? -eq $want ] && return 0
    sleep 0.2
  done
  return 1
}

start_setup() {
  "$run" "$work/dist/setup.exe" </dev/null >>"$work/setup.log" 2>&1 &
  setup=$!
}
# Waits for the page, then presses its Next (or another) button.
next() {
  qa wait "$1" 60 >/dev/null || fail "the page \"$1\" did not come: $(qa list | grep -v '^ ')"
  say "== $1"
  qa click "$1" "${2:-ProceedBtn}" 10 >/dev/null || fail "cannot press on in \"$1\""
  qa gone "$1" 10 >/dev/null || fail "the page \"$1\" stayed"
}
ended() {
  local i
  for i in $(seq 1 150); do kill -0 "$setup" 2>/dev/null || break; sleep 0.2; done
  ! kill -0 "$setup" 2>/dev/null || fail "the setup program did not end"
  set +e; wait "$setup"; code=$?; set -e
  close_group_windows
}

rm -rf "$work"; mkdir -p "$work"
bash "$source_dir/scripts/register-kit.sh" "$build" >/dev/null || fail "cannot register the kit directory"
clean_machine
build_sample_distribution

# --- 1. the language, and a cancel thought better of once --------------------------
start_setup
qa wait "Select a language" 60 >/dev/null || fail "no language page"
qa state "Select a language" BackBtn | grep -q 'visible=0' || fail "the first page offers Back"
qa select "Select a language" LanguageGrid 0,2 >/dev/null
qa wait "Choisissez une langue" 10 >/dev/null || fail "French did not turn the page French"
qa waittext "Choisissez une langue" ProceedBtn "Suivant >" 5 >/dev/null || fail "the buttons stayed English"
say "== French: $(qa text 'Choisissez une langue' | grep -v '^ *$' | paste -sd '|')"
qa select "Choisissez une langue" LanguageGrid 1,1 >/dev/null
qa waittext "Select a language" ProceedBtn "Next >" 10 >/dev/null || fail "English did not come back"
next "Select a language"
qa wait Welcome 30 >/dev/null || fail "no welcome page"
qa press Welcome CancelBtn >/dev/null
asked || fail "Cancel did not ask: $(qa list)"
qa click "$box" No 10 >/dev/null || fail "cannot answer No"
asked not || fail "the question stayed"
qa wait Welcome 5 >/dev/null || fail "No did not keep the wizard"
qa wait 'Setup incomplete' 1 >/dev/null && fail "No ended the wizard"
say "== Cancel, No: the welcome page stays"
qa press Welcome CancelBtn >/dev/null
asked || fail "the second Cancel did not ask"
qa click "$box" Yes 10 >/dev/null || fail "cannot answer Yes"
next "Setup incomplete" FinishBtn
ended
[ "$code" -eq 2 ] || fail "a setup cancelled before it installed anything ended with $code, not 2"
[ ! -e "$target" ] || fail "a cancelled setup installed: $(ls -R "$target")"
reg_has "$uninstall_key" && fail "a cancelled setup left an uninstall key"
[ ! -e "$programs/$product" ] || fail "a cancelled setup made links"
say "== Cancel, Yes: the failure page, exit code $code, nothing installed"

# --- 2. the user's own groups and folders ------------------------------------------
# The folder edit keeps what is typed in lower case, as Wine then names it.
docs="$prefix/drive_c/sample docs"
rm -rf "$docs" "$programs/Sample Tools"
start_setup
next "Select a language"
next Welcome
next "Software license agreement"
# Back goes to the page before, Next on again.
next "Readme information" BackBtn
next "Software license agreement"
next "Readme information"
page="Select components to install"
qa wait "$page" 30 >/dev/null || fail "no file group page"
# The rows: the product, the shared components (no choice), the documentation.
qa state "$page" Include2 | grep -q 'enabled=0' || fail "the shared components can be left out"
qa select "$page" GroupTree Documentation >/dev/null
qa waittext "$page" DirectoryLabel 'c:\program files\quorvane sample\docs' 5 >/dev/null \
  || fail "the documentation's folder is not shown: $(qa state "$page" DirectoryLabel)"
qa retype "$page" DirectoryLabel 'C:\Sample Docs' >/dev/null
qa waittext "$page" DirectoryLabel 'c:\sample docs' 5 >/dev/null || fail "the typed folder is not in lower case"
# The examples row shows once the documentation is expanded.
qa key "$page" Right >/dev/null
qa select "$page" GroupTree Examples >/dev/null
qa waittext "$page" DirectoryLabel 'c:\sample docs\examples' 5 >/dev/null \
  || fail "the examples do not follow the documentation's folder: $(qa state "$page" DirectoryLabel)"
qa state "$page" Include4 | grep -q 'checked=1' || fail "the examples are not offered"
qa toggle "$page" Include4 >/dev/null
qa state "$page" Include4 | grep -q 'checked=0' || fail "the examples cannot be left out"
say "== $page: drive list $(qa state "$page" DriveList | grep count=)"
qa click "$page" ProceedBtn 10 >/dev/null
page="Select folder in start menu"
qa wait "$page" 30 >/dev/null || fail "no folder page"
qa retype "$page" FolderEdit 'Sample Tools' >/dev/null
qa waittext "$page" FolderEdit 'Sample Tools' 5 >/dev/null || fail "cannot type the links' folder"
next "$page"
next "Setup complete" FinishBtn
ended
[ "$code" -eq 0 ] || fail "the setup ended with $code: $(cat "$work/setup.log")"
cmp -s "$target/QvSample.exe" "$bin/QvSample.exe" || fail "the program is not installed"
cmp -s "$docs/manual.txt" "$payload/docs/manual.txt" || fail "the manual is not in the typed folder"
[ -s "$docs/QvSample.hlp" ] || fail "the help file is not in the typed folder"
[ ! -e "$target/Docs" ] || fail "the documentation went to its old folder too"
[ ! -e "$docs/Examples" ] || fail "the examples were installed although left out"
for f in "$product" "Read Me" Manual "Remove $product"; do
  [ -s "$programs/Sample Tools/$f.lnk" ] || fail "no link \"$f\" in the typed folder"
done
[ ! -e "$programs/$product" ] || fail "links went to the default folder too"
grep -qai 'Sample Docs' "$programs/Sample Tools/Manual.lnk" || fail "the manual's link does not lead to the typed folder"
say "== Installed: documentation in c:\\sample docs, no examples, links in \"Sample Tools\""

"$run" "$target/uninstall.exe" /S "$product" >/dev/null || fail "the uninstaller reported a failure"
for i in $(seq 1 50); do [ -e "$target" ] || break; sleep 0.2; done
[ ! -e "$target" ] || fail "the product folder stayed"
[ ! -e "$docs/manual.txt" ] && [ ! -e "$docs/QvSample.hlp" ] || fail "the documentation stayed in the typed folder"
[ ! -e "$programs/Sample Tools" ] || fail "the typed links' folder stayed"
reg_has "$uninstall_key" && fail "the uninstall key stayed"
say "== Removed from where it was installed"
rm -rf "$docs"
echo "sample wizard: ok"
