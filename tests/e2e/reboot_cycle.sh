#!/usr/bin/env bash
# The restart cycle as a user meets it, under Wine.  A restart ends the
# programs of a prefix and runs its RunOnce entries, so everything here
# happens in a copy of the build's prefix, which is removed at the end.
#
# 1. A product whose self-registering component is in use (a program holds
#    it open) is installed from its self-extracting setup.exe.  The new
#    component waits under a numbered name, the resume command goes into
#    RunOnce, and the setup program restarts Windows itself: the project
#    has no reboot page and no OnBeforeReboot handler, so nothing asks and
#    the restart goes ahead.  The restart closes the holder, moves the new
#    file into place and runs the resumption (-r), which registers the
#    component, ends with success and removes the install record and the
#    temporary setup copy.  A second start then installs afresh.
# 2. The same with a restart that the setup program cannot make (Wine set
#    to report Windows NT 3.51 for it): the program says so; the pending
#    move is in place; the holder ends, the user restarts (wineboot -r)
#    and the resumption finishes the work.
# 3. The same on the 95 family (Wine set to report Windows 98): the waiting
#    file is named in WININIT.INI, which the restart works through.
# 4. The product with a reboot page: it asks, with "Yes" chosen; the user
#    chooses "No" and Finish.  The program ends with 3010 (restart needed)
#    and restarts nothing; the new file, the pending move and the resume
#    command wait until the user restarts (wineboot -r).
# 5. The same page answered "Yes" and Finish: the setup program restarts
#    Windows as in 1.
# 6. The product of 1 run as deployment tools run it (/VERYSILENT
#    /SUPPRESSMSGBOXES /NORESTART /LOG=...): exit code 3010, no restart;
#    the resume command carries the silence and the log on.
#
#   reboot_cycle.sh BUILD_DIR [--verbose]
set -euo pipefail
build=$(cd "$1" && pwd)
verbose=${2:-}
run="$build/wine-run"
work="$build/e2e-reboot"
copy="$work/prefix"
say() { [ -n "$verbose" ] && echo "$@" || true; }
fail() { echo "FAIL: $*" >&2; exit 1; }
winpath() { echo "Z:$1" | sed 's|/|\\|g'; }

holder=
cleanup() {
  [ -n "$holder" ] && kill "$holder" 2>/dev/null || true
  if [ -d "$copy" ]; then
    # The copy's server ends its programs; the copy goes once it is gone.
    WINEPREFIX="$copy" wineserver -k 2>/dev/null || true
    WINEPREFIX="$copy" timeout 30 wineserver -w 2>/dev/null || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 1' INT TERM

# Polls COMMAND until it succeeds, at most SECONDS.
wait_for() {
  local seconds=$1; shift
  local end=$((SECONDS + seconds))
  until "$@"; do
    [ $SECONDS -lt $end ] || return 1
    sleep 1
  done
}

# --- the copy of the prefix ------------------------------------------------------
# A run that was killed may have left its copy with its server running.
[ -d "$copy" ] && { WINEPREFIX="$copy" wineserver -k 2>/dev/null || true; }
rm -rf "$work"; mkdir -p "$work"
"$run" cmd.exe /c exit >/dev/null 2>&1 || fail "the build's Wine prefix does not start"
# The server writes the registry of a prefix it has just made only at its
# next save (every 30 s): a copy taken before would have none of it.
saved() {
  local f
  for f in system.reg user.reg userdef.reg; do
    [ "$build/wineprefix/$f" -nt "$build/wineprefix/.qv-prefix-ready" ] || return 1
  done
}
wait_for 45 saved || say "== The prefix's registry files are older than the prefix: copied as they are"
t0=$SECONDS
cp -a "$build/wineprefix" "$copy"
say "== Prefix copied in $((SECONDS - t0)) s"
export QV_WINEPREFIX="$copy"
c="$copy/drive_c"
# Temporary setup copies that other runs left in the build's prefix are not
# this run's to answer for.
rm -rf "$c"/users/*/Temp/QVL*
product='C:\Program Files\Quorvane Reboot Test'
target="$c/Program Files/Quorvane Reboot Test"
component="$product\\selfreg_ok.dll"
fixture="$build/tests/model/selfreg-fixtures/selfreg_ok.dll"
run_once='HKLM\Software\Microsoft\Windows\CurrentVersion\RunOnce'
trace='HKCU\Software\QuorvaneTest\SelfReg'
records='HKLM\Software\Quorvane\Install'
reg() { "$run" reg "$@" 2>/dev/null; }

# --- the distributions ---------------------------------------------------------------
reg add 'HKCU\Software\Borland\Delphi\4.0\Library' /v 'Search Path' /t REG_SZ \
  /d "$(winpath "$build/kit")" /f >/dev/null || fail "cannot register the kit directory"
# build_dist SETUP_PROGRAM: its distribution goes into $work/dist-SETUP_PROGRAM.
build_dist() {
  local stage="$work/stage-$1" dist="$work/dist-$1"
  mkdir -p "$stage" "$dist"
  cp "$build/tests/e2e/$1.exe" "$stage/"
  printf '%s\r\n' "$(winpath "$dist")" > "$stage/BUILD.INF"
  timeout 120 "$run" "$stage/$1.exe" -b || fail "the build of $1 did not end well"
  for f in setup.exe setup.1 files.1; do [ -s "$dist/$f" ] || fail "the build of $1 made no $f"; done
}
build_dist RebootSetup
build_dist RebootPageSetup

# What a product folder, the registry and the temporary folder look like.
no_record() { ! reg query "$records" /s | grep -qiE 'Reboot(Page)?Setup\.exe'; }
no_run_once() { ! reg query "$run_once" | grep -qi 'Quorvane'; }
registered() { reg query "$trace" /v Dll | grep -qiF "$component"; }
temp_copies() { ls -d "$c"/users/*/Temp/QVL* 2>/dev/null || true; }
resumed() { registered && no_run_once && no_record && [ -z "$(temp_copies)" ]; }

# A program that uses the component: it keeps it open until Windows ends
# the session (or 240 s pass).
start_holder() {
  mkdir -p "$target"
  printf 'the old component' > "$target/selfreg_ok.dll"
  : > "$work/hold.txt"
  "$run" "$build/tests/qvauto.exe" hold "$component" 240 > "$work/hold.txt" 2>&1 &
  holder=$!
  wait_for 60 grep -q holding "$work/hold.txt" || fail "the holder did not start: $(cat "$work/hold.txt")"
}

check_replaced() {
  cmp -s "$target/selfreg_ok.dll" "$fixture" || fail "the component was not replaced at the restart"
  [ ! -e "$target/selfreg_ok.1" ] || fail "the numbered file stayed"
  cmp -s "$target/readme.txt" "$(dirname "$0")/reboot/readme.txt" || fail "readme.txt not installed"
  # The uninstall record names the component by its own name.
  reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Quorvane Reboot Test\ActiveX' \
    | grep -qiF "$component;0" || fail "the uninstall record does not name the component"
}

qvauto() { "$run" "$build/tests/qvauto.exe" "$@" 2>&1 | tr -d '\r'; }
ended() { ! kill -0 "$1" 2>/dev/null; }

# The restart that the setup program makes runs on its own: the session's
# programs are closed, the file moved, the resumption started from RunOnce.
expect_restarted() {
  wait_for 120 resumed || fail "the resumption did not finish: registered=$(registered && echo yes || echo no) \
run-once=$(reg query "$run_once" | grep -i quorvane) record=$(reg query "$records" /s | grep -i path) \
temp=$(temp_copies)"
  grep -q 'released: the session ends' "$work/hold.txt" || fail "the restart did not close the holder"
  wait "$holder" 2>/dev/null || true
  holder=
  check_replaced
}

# A restart that did not happen: the new component waits under its numbered
# name, the delayed move, the resume command of SETUP_PROGRAM and the record
# wait for the next start of Windows; nothing is registered yet.
expect_waiting() {
  local exe=$1 dist="$work/dist-$1" switches=${2:-}
  cmp -s "$target/selfreg_ok.1" "$fixture" || fail "the new component does not wait as selfreg_ok.1"
  [ "$(cat "$target/selfreg_ok.dll")" = 'the old component' ] || fail "the component in use was touched"
  pending=$(reg query 'HKLM\System\CurrentControlSet\Control\Session Manager' /v PendingFileRenameOperations)
  grep -qiF "$product\\selfreg_ok.1" <<<"$pending" || fail "no pending move: $pending"
  copy_dir=$(temp_copies)
  [ "$(wc -l <<<"$copy_dir")" -eq 1 ] && [ -n "$copy_dir" ] || fail "not one temporary setup copy: $copy_dir"
  user=$(basename "$(dirname "$(dirname "$copy_dir")")")
  expected="\"C:\\users\\$user\\Temp\\$(basename "$copy_dir")\\$exe.exe\" -r \"-esetup.exe\" \"-s$(winpath "$dist")\" -c$switches"
  command=$(reg query "$run_once" /v QuorvaneUnfinished | sed -n 's/.*QuorvaneUnfinished *REG_SZ *//p' | tr -d '\r')
  [ "$command" = "$expected" ] || fail "resume command: [$command], expected [$expected]"
  reg query "$records" /s | grep -qi 'Component *REG_SZ *0' || fail "no unfinished entry for the component"
  ! registered || fail "registered before the restart"
}

# The user closes the program that holds the file and restarts.
restart_by_hand() {
  kill "$holder" 2>/dev/null || true
  wait "$holder" 2>/dev/null || true
  holder=
  timeout 120 "$run" wineboot -r || fail "wineboot -r failed"
  wait_for 120 resumed || fail "the resumption after wineboot -r did not finish"
  check_replaced
}

reset_product() {
  reg delete "$trace" /f >/dev/null || true
  reg delete 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Quorvane Reboot Test' /f >/dev/null || true
  rm -rf "$target"
}

# --- 1. the setup program restarts Windows itself -----------------------------------
reset_product
start_holder
set +e
timeout 180 "$run" "$work/dist-RebootSetup/setup.exe"
code=$?
set -e
# It ends for the restart (3010, of which the exit status keeps the low
# byte), unless the end of the session came first and ended it.
[ "$code" -ne 124 ] || fail "setup.exe did not end"
say "== setup.exe ended with $code"
expect_restarted
say "== Restarted by the setup program: component replaced and registered, record and copy gone"

# A second start installs afresh: no record of the first run is found, no
# restart is wanted.
rm -f "$target/readme.txt"
set +e
timeout 180 "$run" "$work/dist-RebootSetup/setup.exe"
code=$?
set -e
[ "$code" -eq 0 ] || fail "the second start ended with $code"
[ -s "$target/readme.txt" ] || fail "the second start did not install"
no_record || fail "the second start left a record"
no_run_once || fail "the second start wants a restart"
say "== Second start: installed, no record, no restart"

# --- 2. a restart the setup program cannot make --------------------------------------
reset_product
start_holder
settings='HKCU\Software\Wine\AppDefaults\RebootSetup.exe'
reg add "$settings" /v Version /t REG_SZ /d nt351 /f >/dev/null || fail "cannot set the reported version"
"$run" "$work/dist-RebootSetup/setup.exe" &
setup=$!
qvauto wait 'Quorvane Reboot Test' 120 >/dev/null || fail "no message about the failed restart"
message=$(qvauto text 'Quorvane Reboot Test')
grep -qF 'Could not reboot windows. Please manually reboot windows.' <<<"$message" \
  || fail "unexpected message: $message"
qvauto click 'Quorvane Reboot Test' OK 30 >/dev/null || fail "cannot answer the message"
wait_for 60 ended "$setup" || fail "setup.exe did not end after the message"
reg delete "$settings" /f >/dev/null || true
expect_waiting RebootSetup
say "== Restart refused: new file waiting, move pending, RunOnce: $command"
restart_by_hand
say "== Restarted by hand: component replaced and registered, record and copy gone"

# --- 3. the 95 family ------------------------------------------------------------------
# Wine reports Windows 98 to the setup program: the waiting file is named in
# the "Rename" section of WININIT.INI, which the restart works through.
reset_product
rm -rf "$(temp_copies)"
start_holder
reg add "$settings" /v Version /t REG_SZ /d win98 /f >/dev/null || fail "cannot set the reported version"
set +e
timeout 180 "$run" "$work/dist-RebootSetup/setup.exe"
set -e
# The resumption runs as 98 too, and the clean-up batch of that family
# (DELTREE) finds no DELTREE here: the temporary copy is not looked at.
finished_but_copy() { registered && no_run_once && no_record; }
wait_for 120 finished_but_copy || fail "the resumption did not finish on the 95 family"
reg delete "$settings" /f >/dev/null || true
wait "$holder" 2>/dev/null || true
holder=
grep -qi '^\[rename\]' "$c/windows/wininit.bak" 2>/dev/null || fail "WININIT.INI was not worked through"
# "destination = source", both short: the waiting selfreg_ok.1 has a name
# too long for 8.3, so its short form stands there.
tr -d '\r' < "$c/windows/wininit.bak" | grep -qiE '^C:\\[^ =]*~[^ =]*\.DLL=C:\\[^ =]*\\[^ =\\]{1,6}~[^ =\\]*\.1$' \
  || fail "WININIT.INI did not name the files by their short names: $(cat "$c/windows/wininit.bak")"
[ ! -e "$c/windows/wininit.ini" ] && [ ! -e "$c/windows/WININIT.INI" ] || fail "WININIT.INI stayed"
check_replaced
say "== 95 family: WININIT.INI $(tr -d '\r' < "$c/windows/wininit.bak" | tr '\n' ' ')"

# --- 4. the reboot page, answered "No" ---------------------------------------------------
page='Reboot windows'
yes='Yes, I would like to reboot windows'
no='No, I would not like to reboot windows'
# start_page_setup: the product with the page, up to the page; it asks
# with "Yes" chosen, since a restart is needed.
start_page_setup() {
  "$run" "$work/dist-RebootPageSetup/setup.exe" &
  setup=$!
  qvauto wait "$page" 120 >/dev/null || fail "the reboot page did not come: $(qvauto list)"
  qvauto state "$page" RG | grep -qxF "selected=$yes" || fail "the page does not propose the restart: $(qvauto state "$page" RG)"
}
reset_product
rm -rf "$(temp_copies)"
start_holder
start_page_setup
qvauto select "$page" RG "$no" >/dev/null || fail "cannot choose No"
qvauto state "$page" RG | grep -qxF "selected=$no" || fail "No is not chosen: $(qvauto state "$page" RG)"
qvauto click "$page" Finish 30 >/dev/null || fail "cannot press Finish"
wait_for 60 ended "$setup" || fail "setup.exe did not end after Finish"
set +e
wait "$setup"
code=$?
set -e
[ "$code" -eq $((3010 & 255)) ] || fail "setup.exe ended with $code, not 3010 (restart needed)"
# Nothing restarted: the holder still has the component.
sleep 2
! grep -q released "$work/hold.txt" || fail "a restart happened: $(cat "$work/hold.txt")"
expect_waiting RebootPageSetup
say "== Page answered No: exit $code, new file waiting, move pending, RunOnce: $command"
restart_by_hand
say "== Restarted by hand after No: component replaced and registered, record and copy gone"

# --- 5. the reboot page, answered "Yes" --------------------------------------------------
reset_product
start_holder
start_page_setup
qvauto select "$page" RG "$no" >/dev/null && qvauto select "$page" RG "$yes" >/dev/null || fail "cannot choose Yes"
qvauto click "$page" Finish 30 >/dev/null || fail "cannot press Finish"
expect_restarted
wait "$setup" 2>/dev/null || true
say "== Page answered Yes: restarted by the setup program, component replaced and registered"

# --- 6. unattended, without the restart -------------------------------------------------
# What deployment tools pass: nothing shown, no restart made; the exit code
# says one is needed, and the resumption stays as quiet and logs on.
reset_product
rm -rf "$(temp_copies)"
start_holder
log="$work/quiet.log"
set +e
timeout 180 "$run" "$work/dist-RebootSetup/setup.exe" /VERYSILENT /SUPPRESSMSGBOXES /NORESTART "/LOG=$(winpath "$log")"
code=$?
set -e
[ "$code" -eq $((3010 & 255)) ] || fail "setup.exe /NORESTART ended with $code, not 3010 (restart needed)"
sleep 2
! grep -q released "$work/hold.txt" || fail "/NORESTART restarted: $(cat "$work/hold.txt")"
grep -q '/NORESTART: Windows is not restarted' "$log" || fail "the log does not say the restart was left: $(cat "$log")"
grep -q 'Exit code 3010' "$log" || fail "the log has no exit code 3010"
expect_waiting RebootSetup " /VERYSILENT /SUPPRESSMSGBOXES \"/LOG=$(winpath "$log")\""
restart_by_hand
grep -q 'Installation finished' <(sed -n '/ -r /,$p' "$log") || fail "the resumption did not log on: $(cat "$log")"
say "== /VERYSILENT /NORESTART: exit $code, restart left, resumed quietly after wineboot -r"

echo "reboot cycle: ok in $SECONDS s"
