#!/usr/bin/env bash
# The sample product through the author's and the user's hands, under Wine:
# qvc compiles the project text into the setup program, -b builds the
# distribution, the self-extracting setup.exe installs it as a user starts
# it, the installed program checks itself, the uninstaller removes it all
# again; then a plain distribution (loading program beside setup.1 and
# files.1) installs and is removed once more.
#
#   sample_cycle.sh BUILD_DIR [--verbose]
set -euo pipefail
. "$(dirname "$0")/wine_env.sh"
work="$build/e2e-sample"
. "$(dirname "$0")/sample_env.sh"
# Installs as a user starts them.  Program Manager opens a window on each
# group it shows, and Wine's desktop process stays while it is open: neither
# may hold on to the caller's output, and the windows are closed afterwards.
install_from() {
  : >"$work/pages.log"
  "$run" "$1" </dev/null >>"$work/setup.log" 2>&1 &
  local setup=$!
  press_through_wizard "$setup"
  wait "$setup" || fail "$1 failed: $(cat "$work/setup.log")"
  local seen
  seen=$(paste -sd '|' "$work/pages.log")
  [ "$seen" = "Select a language|Welcome|Software license agreement|Readme information|Select components to install|Select folder in start menu|Setup complete" ] \
    || fail "the wizard showed the pages $seen"
  close_group_windows
}

shared_count() {
  local hex
  hex=$("$run" reg query "$shared_dlls" /v "$shared_dll" 2>/dev/null | awk '/REG_DWORD/ {print $3}' | tr -d '\r')
  [ -n "$hex" ] && echo $((hex)) || true
}

# Every file, key and link the installation makes, with its contents.
check_installed() {
  local f
  for f in readme.txt license.txt Docs/manual.txt Docs/QvSample.hlp Docs/Examples/first-steps.txt \
           Docs/Examples/settings.ini; do
    cmp -s "$target/$f" "$payload/$(sed 's|^Docs|docs|; s|/Examples/|/examples/|' <<<"$f")" \
      || fail "$f not installed correctly"
  done
  for f in QvSample.exe QvSampleComponent.dll; do cmp -s "$target/$f" "$bin/$f" || fail "$f not installed correctly"; done
  cmp -s "$target/uninstall.exe" "$build/kit/uninstall.exe" || fail "the uninstaller not installed correctly"
  cmp -s "$system32/QvSampleShared.dll" "$bin/QvSampleShared.dll" || fail "the shared library is not in the system folder"
  # Installed files keep the date of their source (the archive keeps two seconds).
  local src dst
  src=$(stat -c %Y "$bin/QvSample.exe"); dst=$(stat -c %Y "$target/QvSample.exe")
  [ $((src - dst)) -le 2 ] && [ $((dst - src)) -le 2 ] || fail "QvSample.exe lost its date ($src, $dst)"

  # The program finds its shared library, its registered component and its
  # version: the product works as a whole.
  "$run" "C:\\Program Files\\$product\\QvSample.exe" /check || fail "the installed program's self-check failed ($?)"
  reg_has "$clsid_key\\InprocServer32" || fail "the component was not registered"
  "$run" reg query "$help_key" /v QVSAMPLE.HLP 2>/dev/null | grep -qi 'Quorvane Sample\\Docs' \
    || fail "the help file was not registered"

  local settings vendor
  settings=$("$run" reg query "$settings_key" 2>/dev/null) || fail "no settings key"
  grep -q 'Edition *REG_SZ *Sample' <<<"$settings" || fail "registry text value missing"
  grep -q 'Runs *REG_DWORD *0x0' <<<"$settings" || fail "registry integer value missing"
  grep -q 'FirstRun *REG_DWORD *0x1' <<<"$settings" || fail "registry Boolean value missing"
  vendor=$("$run" reg query "$vendor_key" /s 2>/dev/null) || fail "no company key"
  grep -q 'Support *REG_SZ *http://www.example.com/quorvane/support' <<<"$vendor" || fail "company key value missing"
  grep -qF "InstallDir    REG_SZ    C:\\Program Files\\$product" <<<"$vendor" || fail "product key value missing"
  grep -q 'Build *REG_DWORD *0x4b0' <<<"$vendor" || fail "version key value missing"

  for f in "$product" "Read Me" Manual "Remove $product"; do
    [ -s "$programs/$product/$f.lnk" ] || fail "no link \"$f\" in the program folder"
  done
  grep -qa 'QvSample.exe' "$desktop/$product.lnk" || fail "the desktop link does not lead to the program"
  grep -qi 'URL=http://www.example.com/quorvane' "$desktop/Quorvane on the Web.URL" || fail "no internet shortcut"
  grep -qa 'QvSample.exe' "$programs/$product Tools/Sample Program.lnk" \
    || fail "no Program Manager item in the group \"$product Tools\""

  local record
  record=$("$run" reg query "$uninstall_key" /s 2>/dev/null) || fail "no uninstall record"
  grep -qF "UninstallString    REG_SZ    \"C:\\Program Files\\$product\\uninstall.exe\" $product" <<<"$record" \
    || fail "the uninstall command line is wrong"
  grep -qF "QvSampleComponent.dll;0" <<<"$record" || fail "the component is not recorded"
  "$run" reg query 'HKLM\Software\Quorvane\Install' /s 2>/dev/null | grep -qi 'QvSampleSetup.exe' \
    && fail "the install record stayed"
  return 0
}

check_removed() {
  for i in $(seq 1 50); do [ -e "$target" ] || break; sleep 0.2; done
  [ ! -e "$target" ] || fail "the product folder stayed: $(ls -R "$target")"
  local k
  for k in "$uninstall_key" "$settings_key" "$vendor_key" "$clsid_key" "$progid_key"; do
    reg_has "$k" && fail "the key $k stayed"
  done
  "$run" reg query "$help_key" /v QVSAMPLE.HLP >/dev/null 2>&1 && fail "the help entry stayed"
  [ ! -e "$programs/$product" ] || fail "the program folder stayed"
  [ ! -e "$programs/$product Tools" ] || fail "the Program Manager group stayed"
  [ ! -e "$desktop/$product.lnk" ] || fail "the desktop link stayed"
  [ ! -e "$desktop/Quorvane on the Web.URL" ] || fail "the internet shortcut stayed"
  return 0
}

rm -rf "$work"; mkdir -p "$work/stage" "$work/plain"
bash "$source_dir/scripts/register-kit.sh" "$build" >/dev/null || fail "cannot register the kit directory"
clean_machine

# 1. The author: compile the project text, build the distribution.
build_sample_distribution
# The setup program speaks the user's language: a wrong switch is refused in
# a French, a German and a Spanish Windows in that language.
speaks() {
  local locale=$1 expected=$2 text
  LC_ALL=$locale "$run" "$work/stage/QvSampleSetup.exe" -x </dev/null >/dev/null 2>&1 &
  local setup=$!
  "$run" "$qvauto" wait "$product Installation" 30 >/dev/null 2>&1 || fail "no message in the $locale Windows"
  # A driver that fails here is reported below with what it printed, not
  # ended silently by set -e.
  text=$("$run" "$qvauto" text "$product Installation" 2>&1 | iconv -c -f CP1252 -t UTF-8 || true)
  "$run" "$qvauto" close "$product Installation" >/dev/null 2>&1  # Windows names the button in its language
  wait "$setup" || true
  grep -qF "$expected" <<<"$text" || fail "the setup did not speak $locale: $text"
  say "$locale: $(grep -F "$expected" <<<"$text" | sed 's/^ *//')"
}
speaks fr_FR 'Paramètre non valide <-x>'
speaks de_DE 'Ungültiger Parameter <-x>'
speaks es_ES 'Parámetro no válido <-x>'
say "== Distribution"
[ -n "$verbose" ] && ls -l "$work/dist"
"$run" "$build/tools/qvarc.exe" verify "$(winpath "$work/dist/setup.exe")" >/dev/null \
  || fail "the self-extracting setup.exe does not verify"
listing=$("$run" "$build/tools/qvarc.exe" list "$(winpath "$work/dist/files.1")")
say "$listing"
for f in QvSample.exe QvSampleComponent.dll QvSampleShared.dll readme.txt license.txt manual.txt \
         QvSample.hlp first-steps.txt settings.ini uninstall.exe; do
  grep -q "$f" <<<"$listing" || fail "files.1 lacks $f"
done

# 2. The user: another product of the vendor already uses the shared
#    library; then the self-extracting setup.exe installs the sample.
cp "$bin/QvSampleShared.dll" "$system32/"
"$run" reg add "$shared_dlls" /v "$shared_dll" /t REG_DWORD /d 1 /f >/dev/null
temp_before=$(ls "$users/Temp" 2>/dev/null | sort)
install_from "$work/dist/setup.exe"
check_installed
[ "$(shared_count)" = 2 ] || fail "the shared library's count is $(shared_count), not 2"
# The temporary copy of the setup program is gone once the run ended.
for i in $(seq 1 50); do
  temp_after=$(ls "$users/Temp" 2>/dev/null | sort)
  [ "$temp_before" = "$temp_after" ] && break
  sleep 0.2
done
[ "$temp_before" = "$temp_after" ] || fail "the temporary setup copy stayed: $(comm -13 <(echo "$temp_before") <(echo "$temp_after"))"
if [ -n "$verbose" ]; then
  echo "== Installed"
  (cd "$target" && find . -type f | sort)
  echo "system folder: QvSampleShared.dll (shared count $(shared_count))"
  "$run" reg query "$settings_key"; "$run" reg query "$vendor_key" /s
  echo "links:"; (cd "$programs" && ls "$product" "$product Tools"); ls "$desktop"
  "$run" reg query "$uninstall_key"
fi

# 3. Removed with the uninstaller, as the uninstall record says, without
#    questions: nothing of the product stays, the other product keeps the
#    shared library.
"$run" "$target/uninstall.exe" /S "$product" >/dev/null || fail "the uninstaller reported a failure"
check_removed
[ -e "$system32/QvSampleShared.dll" ] || fail "the shared library went although another product uses it"
[ "$(shared_count)" = 1 ] || fail "the shared library's count is $(shared_count), not 1"
say "== Removed: no files, links or registry keys of the product are left; the shared library stays for the other product"

# 4. A plain distribution installs it once more, alone this time; removing it
#    then takes the shared library too.
clean_machine
cp "$build/kit/QuorvaneLoadProgram.exe" "$work/plain/setup.exe"
cp "$work/dist/setup.1" "$work/dist/files.1" "$work/plain/"
install_from "$work/plain/setup.exe"
check_installed
[ "$(shared_count)" = 1 ] || fail "the shared library's count is $(shared_count), not 1"
"$run" "$target/uninstall.exe" /S "$product" >/dev/null || fail "the uninstaller reported a failure"
check_removed
[ ! -e "$system32/QvSampleShared.dll" ] || fail "the shared library stayed after its last user went"
reg_has "$shared_dlls" /v "$shared_dll" && fail "the shared library's count stayed"
say "== Plain distribution installed and removed"
echo "sample cycle: ok"
