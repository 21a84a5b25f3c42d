#!/usr/bin/env bash
# Screenshots of every page and window of the setup wizard, in English,
# French, German, Italian and Spanish, taken from the real sample setup under
# Wine as a user goes through it:
#
#   1. from a distribution whose files.1 is cut into two disks: the language
#      page, welcome, licence, read-me, file groups, program folder, the main
#      window behind the wizard, the copy window and the change-disk window
#      (both open while the setup waits for disk 2), the success page;
#   2. once more while a program holds the installed readme.txt: the reboot
#      page (the user answers "No");
#   3. cancelled on the welcome page: the failure page.
#
# The setup starts in the language of the user's Windows (LC_ALL).  The
# shots go to BUILD_DIR/screenshots/LANG/NAME.png and the English ones to
# docs/screens/.  The runs use a Wine prefix of their own in which windows
# are not left to a window manager, so the main window really fills the
# screen; the tests' prefix stays as it is.
#
#   scripts/screenshots.sh [BUILD_DIR]      (default build/win64)
set -euo pipefail
cd "$(dirname "$0")/.."
source_dir=$(pwd)
build_arg=${1:-build/win64}
started=$(date +%s)
bash scripts/bootstrap.sh
[ -f "$build_arg/build.ninja" ] || cmake --preset win64 >/dev/null
cmake --build "$build_arg" -j2 --target sample kit qvarc qvauto
. tests/e2e/wine_env.sh "$build_arg"

shots="$build/screenshots"
work="$shots/work"
export QV_WINEPREFIX="$shots/wineprefix"
prefix=$QV_WINEPREFIX
trap 'set +e; [ -n "${holder:-}" ] && kill "$holder" 2>/dev/null; WINEPREFIX="$prefix" wineserver -k 2>/dev/null' EXIT
qvauto() { "$run" "$build/tests/qvauto.exe" "$@" </dev/null 2>/dev/null | tr -d '\r'; }

product='Quorvane Sample'
target="$prefix/drive_c/Program Files/$product"
rm -rf "$work"; mkdir -p "$work/stage" "$work/disks" "$work/plain"
"$run" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null
bash scripts/register-kit.sh "$build" >/dev/null

# The author's side: the setup program and its distribution, and the same
# distribution with files.1 cut into two disks.
"$run" "$build/kit/qvc.exe" "$(winpath "$build/examples/sample/project.dfm")" \
  "$(winpath "$work/stage/QvSampleSetup.exe")" --build-dir "$(winpath "$work/dist")" >/dev/null \
  || fail "qvc did not compile the sample project"
"$run" "$work/stage/QvSampleSetup.exe" -b </dev/null >/dev/null || fail "the build of the distribution failed"
files_size=$(stat -c %s "$work/dist/files.1")
"$run" "$build/tools/qvarc.exe" split "$(winpath "$work/dist/files.1")" "$(winpath "$work/disks")" \
  $((files_size / 2 + 4096)) >/dev/null || fail "cannot cut files.1 into disks"
[ -s "$work/disks/files.2" ] || fail "the disk set has no second disk: $(ls "$work/disks")"
cp "$build/kit/QuorvaneLoadProgram.exe" "$work/plain/setup.exe"
cp "$work/dist/setup.1" "$work/disks/files.1" "$work/plain/"

# The wizard window: the visible window that holds the page tabs.
wizard() {
  qvauto list | awk '/^[^ ]/ { top = $0; sub(/ \[[^]]*\]$/, "", top) } / \[[^]]*\] Tabs$/ { print top; exit }'
}
# The page the wizard shows, by its form class.
page() {
  local w
  w=$(wizard)
  [ -n "$w" ] && qvauto state "$w" Tabs | sed -n 's/^selected=//p'
}
# Waits until the wizard shows page $1 and prints the wizard's title.
wait_page() {
  local i
  for i in $(seq 1 150); do
    [ "$(page)" = "$1" ] && { sleep 0.5; wizard; return 0; }
    kill -0 "$setup" 2>/dev/null || fail "the setup ended before the page $1 ($lang)"
    sleep 0.2
  done
  fail "no page $1 ($lang)"
}
shot() {  # shot WINDOW NAME
  qvauto shot "$1" "$(winpath "$shots/$lang/$2.png")" >/dev/null || fail "cannot shoot $2 ($lang)"
  echo "  $lang/$2.png"
}
start_setup() {  # start_setup SETUP.EXE: runs it as the user does, in the user's language
  LC_ALL=$locale "$run" "$1" </dev/null >>"$work/setup.log" 2>&1 &
  setup=$!
}
end_setup() {
  wait "$setup" || true
  # Program Manager's window on the group the setup made.
  for _ in 1 2 3 4 5; do
    qvauto wait "$product Tools" 0 >/dev/null || break
    qvauto close "$product Tools" >/dev/null; sleep 0.3
  done
}
# The second of the reboot page's choices ("No"), as the window driver names
# it: the N-th button of the wizard window.
second_choice() {
  qvauto list | awk -v w="$1" '
    /^[^ ]/ { top = $0; sub(/ \[[^]]*\]$/, "", top); n = 0; after = -1; next }
    top != w { next }
    /\[Button\]/ { n++; if (after >= 0 && ++after == 2) { print "Button#" n; exit } }
    / \[Button\] RG$/ { after = 0 }'
}
remove_product() {
  [ -x "$target/uninstall.exe" ] && "$run" "$target/uninstall.exe" /S "$product" </dev/null >/dev/null 2>&1 || true
  rm -rf "$target"
  "$run" reg delete 'HKLM\System\CurrentControlSet\Control\Session Manager' /v PendingFileRenameOperations /f \
    >/dev/null 2>&1 || true
}

languages=("en English en_US" "fr French fr_FR" "de German de_DE" "it Italian it_IT" "es Spanish es_ES")
for entry in "${languages[@]}"; do
  read -r lang name locale <<<"$entry"
  echo "== $name"
  mkdir -p "$shots/$lang"
  rm -f "$shots/$lang"/*.png "$work/plain/files.2"
  remove_product

  # 1. Through every page of a fresh install from the two disks.
  start_setup "$work/plain/setup.exe"
  w=$(wait_page TSelectLanguageForm); shot "$w" language; qvauto click "$w" ProceedBtn >/dev/null
  w=$(wait_page TWelcomeForm); shot "$w" welcome
  shot Form1 main-window
  qvauto click "$w" ProceedBtn >/dev/null
  w=$(wait_page TLicenseForm); shot "$w" license; qvauto click "$w" ProceedBtn >/dev/null
  w=$(wait_page TReadmeForm); shot "$w" readme; qvauto click "$w" ProceedBtn >/dev/null
  w=$(wait_page TFileGroupSelectForm); shot "$w" components; qvauto click "$w" ProceedBtn >/dev/null
  w=$(wait_page TSelectFolderForm); shot "$w" folder; qvauto click "$w" ProceedBtn >/dev/null
  qvauto wait ChangeDiskForm 120 >/dev/null || fail "the setup did not ask for disk 2 ($lang)"
  sleep 0.5
  shot CopyFileForm copying
  shot ChangeDiskForm change-disk
  cp "$work/disks/files.2" "$work/plain/"
  qvauto click ChangeDiskForm InstallBtn >/dev/null
  w=$(wait_page TGoodInstallForm); shot "$w" success; qvauto click "$w" FinishBtn >/dev/null
  end_setup
  [ -s "$target/QvSample.exe" ] || fail "the install from the disks did not install the program ($lang)"

  # 2. Again while a program holds readme.txt: it is replaced at the next
  #    restart, and the setup asks whether to restart now.
  : >"$work/hold.txt"
  "$run" "$build/tests/qvauto.exe" hold "$(winpath "$target/readme.txt")" 300 >"$work/hold.txt" 2>&1 &
  holder=$!
  for _ in $(seq 1 100); do grep -q holding "$work/hold.txt" && break; sleep 0.2; done
  start_setup "$work/dist/setup.exe"
  for p in TSelectLanguageForm TWelcomeForm TLicenseForm TReadmeForm TFileGroupSelectForm TSelectFolderForm; do
    w=$(wait_page "$p"); qvauto click "$w" ProceedBtn >/dev/null
  done
  w=$(wait_page TRebootForm); shot "$w" reboot
  no=$(second_choice "$w")
  [ -n "$no" ] || fail "the reboot page has no second choice ($lang)"
  qvauto toggle "$w" "$no" >/dev/null
  qvauto click "$w" FinishBtn >/dev/null
  # A success page may follow the reboot question.
  for _ in $(seq 1 50); do
    kill -0 "$setup" 2>/dev/null || break
    [ "$(page)" = TGoodInstallForm ] && { qvauto click "$(wizard)" FinishBtn >/dev/null; break; }
    sleep 0.2
  done
  end_setup
  kill "$holder" 2>/dev/null || true; wait "$holder" 2>/dev/null || true; holder=

  # 3. Cancelled on the welcome page.
  start_setup "$work/dist/setup.exe"
  w=$(wait_page TSelectLanguageForm); qvauto click "$w" ProceedBtn >/dev/null
  w=$(wait_page TWelcomeForm); qvauto click "$w" CancelBtn >/dev/null
  w=$(wait_page TBadInstallForm); shot "$w" failure; qvauto click "$w" FinishBtn >/dev/null
  end_setup
done
remove_product

mkdir -p docs/screens
cp "$shots/en"/*.png docs/screens/
echo "screenshots: $(ls "$shots"/*/*.png | wc -l) in $shots, English ones in docs/screens ($(( $(date +%s) - started )) s)"
