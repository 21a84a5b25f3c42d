#!/usr/bin/env bash
# Screenshots of every page and window of the setup wizard, in each of the
# sixteen languages of the kit's tables, taken from the real sample setup under
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
#   scripts/screenshots.sh [BUILD_DIR [LANG...]]   (default build/win64, all languages)
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
finish() {
  set +e
  [ -n "${holder:-}" ] && kill "$holder" 2>/dev/null
  [ -n "${setup:-}" ] && kill "$setup" 2>/dev/null
  WINEPREFIX="$prefix" wineserver -k 2>/dev/null
}
trap finish EXIT
qvauto() { "$run" "$build/tests/qvauto.exe" "$@" </dev/null 2>/dev/null | tr -d '\r'; }

product='Quorvane Sample'
target="$prefix/drive_c/Program Files/$product"
# A fresh prefix each time: nothing of an earlier run (an install, a restart
# it asked for) may show in these shots.
WINEPREFIX="$prefix" wineserver -k 2>/dev/null || true
rm -rf "$prefix" "$work"; mkdir -p "$work/stage" "$work/disks" "$work/plain"
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

# The wizard window, by its name (its caption changes with the page and the
# language), and the page it shows, by its form class.
wizard=BaseFormContainer
box="$product Installation"  # the title of the setup's message boxes
page() { qvauto state $wizard Tabs | sed -n 's/^selected=//p'; }
# Waits until the wizard shows page $1.
wait_page() {
  local i
  for i in $(seq 1 150); do
    [ "$(page)" = "$1" ] && { sleep 0.5; return 0; }
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
  env LC_ALL=$locale "$run" "$1" </dev/null >>"$work/setup.log" 2>&1 &
  setup=$!
}
end_setup() {
  wait "$setup" || true
  close_group_windows
}
# Program Manager opens a window on the group the setup made; it would
# stand in front of the last pages.
close_group_windows() {
  for _ in 1 2 3 4 5; do
    qvauto wait "$product Tools" 1 >/dev/null || break
    qvauto close "$product Tools" >/dev/null; sleep 0.3
  done
}
remove_product() {
  [ -x "$target/uninstall.exe" ] && "$run" "$target/uninstall.exe" /S "$product" </dev/null >/dev/null 2>&1 || true
  rm -rf "$target"
  # What the reboot run left for the next start of Windows: the user said
  # no, and these shots never restart it.
  "$run" reg delete 'HKLM\System\CurrentControlSet\Control\Session Manager' /v PendingFileRenameOperations /f \
    >/dev/null 2>&1 || true
  local v
  for v in QuorvaneUnfinished QuorvaneBatFile; do
    "$run" reg delete 'HKLM\Software\Microsoft\Windows\CurrentVersion\RunOnce' /v "$v" /f >/dev/null 2>&1 || true
  done
}

languages=("en English en_US" "fr French fr_FR" "de German de_DE" "it Italian it_IT" "es Spanish es_ES"
           "zh ChineseSimplified zh_CN.UTF-8" "cs Czech cs_CZ.UTF-8" "da Danish da_DK.UTF-8"
           "el Greek el_GR.UTF-8" "he Hebrew he_IL.UTF-8" "ja Japanese ja_JP.UTF-8"
           "ko Korean ko_KR.UTF-8" "pl Polish pl_PL.UTF-8" "pt Portugese pt_BR.UTF-8"
           "ru Russian ru_RU.UTF-8" "vi Vietnamese vi_VN.UTF-8")
# scripts/screenshots.sh BUILD_DIR LANG...: only those languages (say "ja ru").
if [ $# -gt 1 ]; then
  wanted=" ${*:2} "
  picked=()
  for entry in "${languages[@]}"; do [[ $wanted == *" ${entry%% *} "* ]] && picked+=("$entry"); done
  languages=("${picked[@]}")
fi
for entry in "${languages[@]}"; do
  read -r lang name locale <<<"$entry"
  echo "== $name"
  mkdir -p "$shots/$lang"
  rm -f "$shots/$lang"/*.png "$work/plain/files.2"
  remove_product

  # 1. Through every page of a fresh install from the two disks.
  start_setup "$work/plain/setup.exe"
  wait_page TSelectLanguageForm; shot $wizard language; qvauto click $wizard ProceedBtn >/dev/null
  wait_page TWelcomeForm; shot $wizard welcome
  shot Form1 main-window
  qvauto click $wizard ProceedBtn >/dev/null
  wait_page TLicenseForm; shot $wizard license; qvauto click $wizard ProceedBtn >/dev/null
  wait_page TReadmeForm; shot $wizard readme; qvauto click $wizard ProceedBtn >/dev/null
  wait_page TFileGroupSelectForm; shot $wizard components; qvauto click $wizard ProceedBtn >/dev/null
  wait_page TSelectFolderForm; shot $wizard folder; qvauto click $wizard ProceedBtn >/dev/null
  qvauto wait ChangeDiskForm 120 >/dev/null || fail "the setup did not ask for disk 2 ($lang)"
  sleep 0.5
  shot CopyFileForm copying
  shot ChangeDiskForm change-disk
  cp "$work/disks/files.2" "$work/plain/"
  qvauto click ChangeDiskForm InstallBtn >/dev/null
  wait_page TGoodInstallForm; close_group_windows; shot $wizard success; qvauto click $wizard FinishBtn >/dev/null
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
    wait_page "$p"; qvauto click $wizard ProceedBtn >/dev/null
  done
  wait_page TRebootForm; close_group_windows; shot $wizard reboot
  qvauto select $wizard RG '#2' >/dev/null || fail "cannot answer No on the reboot page ($lang)"
  qvauto click $wizard FinishBtn >/dev/null
  # A success page may follow the reboot question.
  for _ in $(seq 1 50); do
    kill -0 "$setup" 2>/dev/null || break
    [ "$(page)" = TGoodInstallForm ] && { qvauto click $wizard FinishBtn >/dev/null; break; }
    sleep 0.2
  done
  end_setup
  kill "$holder" 2>/dev/null || true; wait "$holder" 2>/dev/null || true; holder=

  # 3. Cancelled on the welcome page.
  start_setup "$work/dist/setup.exe"
  wait_page TSelectLanguageForm; qvauto click $wizard ProceedBtn >/dev/null
  wait_page TWelcomeForm; qvauto press $wizard CancelBtn >/dev/null
  qvauto wait "$box" 20 >/dev/null || fail "Cancel did not ask whether to quit ($lang)"
  sleep 0.3
  shot "$box" quit-question
  qvauto press "$box" Button#1 >/dev/null  # Yes, whatever the language
  wait_page TBadInstallForm; shot $wizard failure; qvauto click $wizard FinishBtn >/dev/null
  end_setup
done
remove_product

if [ -d "$shots/en" ]; then
  mkdir -p docs/screens
  cp "$shots/en"/*.png docs/screens/
fi
echo "screenshots: $(ls "$shots"/*/*.png | wc -l) in $shots, English ones in docs/screens ($(( $(date +%s) - started )) s)"
