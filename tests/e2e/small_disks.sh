#!/usr/bin/env bash
# The distribution on disks that fill up, under Wine.  Drive A: is a small
# tmpfs folder (mounting it needs root; without it the test is skipped), so
# the disk size is the real free space of the drive, as with a floppy.
#
# - "setup.exe *TODISK" copies a self-extracting distribution onto three
#   disks: the test answers every "Please insert disk N" box and changes the
#   drive's contents between them as a user changes disks; the disk set
#   reassembles to the members of files.1.
# - A user installs from that disk set: A:\setup.exe from disk 1; the
#   change-disk window asks for disk 2, which goes into the drive, and for
#   disk 3, which the user finds with Browse in another folder; the copy
#   window's bars move in between, and the installed files equal their
#   sources.  Cancel in the change-disk window ends the install as failed
#   and leaves no file of the product.
# - Cancel at a disk prompt, a disk that is not changed, and drives too small
#   for setup.exe or setup.1 stop with their message box.
# - A build folder too small for setup.1 or for the self-extracting file
#   stops the build with its message box.
# Every box is read and closed by qvauto; a failure ends the program with
# exit code 1.
#
#   small_disks.sh BUILD_DIR [--verbose]
set -euo pipefail
. "$(dirname "$0")/wine_env.sh"
work="$build/e2e-disks"
drive="$work/drive"
title="Disk Test"
kib() { echo $(( ($1 + 4095) / 4096 * 4 )); }  # bytes -> whole tmpfs pages, in KiB

[ "$(id -u)" -eq 0 ] || { echo "SKIP: mounting the small drive needs root"; exit 77; }

letter="$prefix/dosdevices/a:"
saved_letter=""
cleanup() {
  set +e
  # A program stopped by a failed check may still wait in a box.
  for _ in 1 2 3 4 5; do
    "$run" "$build/tests/qvauto.exe" close "$title" >/dev/null 2>&1 || break
    sleep 0.5
  done
  # The loading program's setup program outlives it: its windows end it.
  if [ -n "${setup_pid:-}" ] && [ -n "${installing:-}" ]; then
    "$run" "$build/tests/qvauto.exe" click "Setup needs the next disk" Cancel 1 >/dev/null 2>&1
    "$run" "$build/tests/qvauto.exe" click "Setup incomplete" Finish 10 >/dev/null 2>&1
    "$run" "$build/tests/qvauto.exe" click "$title" OK 5 >/dev/null 2>&1
  fi
  [ -n "${setup_pid:-}" ] && kill "$setup_pid" 2>/dev/null
  mountpoint -q "$drive" && umount "$drive"
  rm -f "$letter"
  [ -n "$saved_letter" ] && mv "$saved_letter" "$letter"
}
trap cleanup EXIT

mountpoint -q "$drive" 2>/dev/null && umount "$drive"
rm -rf "$work"
mkdir -p "$work/payload" "$work/setup" "$drive"

# Sets the drive to an empty disk of the given size in KiB.
new_disk() {
  mountpoint -q "$drive" && umount "$drive"
  mount -t tmpfs -o "size=${1}k" qvdisk "$drive" || { echo "SKIP: cannot mount a tmpfs"; exit 77; }
}

project() {
  cat <<EOF
object Form1: TForm1
  Caption = 'Disk Test Project'
  object psProgramFiles: TpsProgramFiles
  end
  object psContainerDestDir: TpsContainerDestDir
  end
  object psContainerArchiveFile: TpsContainerArchiveFile
  end
  object Install1: TInstall
    DestDir = '\\QvDisk Test'
    DestDirType = psProgramFiles
  end
  object Big: TInstallFile
    Container = Install1
    FileName = 'big.bin'
    DestName = 'big.bin'
    DestDirType = psContainerDestDir
    IncludeFromDir = '$(winpath "$work/payload")'
    ArchiveFileType = psContainerArchiveFile
  end
  object Notes: TInstallFile
    Container = Install1
    FileName = 'notes.txt'
    DestName = 'notes.txt'
    DestDirType = psContainerDestDir
    IncludeFromDir = '$(winpath "$work/payload")'
    ArchiveFileType = psContainerArchiveFile
  end
  object Tail: TInstallFile
    Container = Install1
    FileName = 'tail.bin'
    DestName = 'tail.bin'
    DestDirType = psContainerDestDir
    IncludeFromDir = '$(winpath "$work/payload")'
    ArchiveFileType = psContainerArchiveFile
  end
  object CopyDialogs: TDialogManager
    Container = Install1
    ManagerType = dmDuringCopyFiles
  end
  object ChangeDiskDialogs: TDialogManager
    Container = Install1
    ManagerType = dmChangeDisk
  end
  object GoodInstallDialogs: TDialogManager
    Container = Install1
    ManagerType = dmAfterGoodInstall
  end
  object BadInstallDialogs: TDialogManager
    Container = Install1
    ManagerType = dmAfterBadInstall
  end
end
EOF
}

# Builds the distribution into the folder (a Unix path); returns the exit
# code of the setup program.
build_into() {
  printf '%s\r\n' "$(winpath "$1")" > "$work/setup/BUILD.INF"
  "$run" "$work/setup/Setup.exe" -b
}

# The text of the message box of the program under test (empty: none).
box_text() {
  "$run" "$build/tests/qvauto.exe" text "$title" 2>/dev/null | tr -d '\r' |
    sed -n '2,$p' | sed 's/^  //' | grep -v -x -e '' -e 'OK' -e 'Cancel' || true
}

# Waits until the program shows a box; prints its text.  Fails when the
# program ends or nothing comes within a minute.
wait_box() {
  local i text
  for i in $(seq 1 120); do
    text=$(box_text)
    [ -n "$text" ] && { echo "$text"; return 0; }
    kill -0 "$setup_pid" 2>/dev/null || return 1
    sleep 0.5
  done
  return 1
}

press() { "$run" "$build/tests/qvauto.exe" click "$title" "$1" 20 >/dev/null || fail "cannot press $1"; }

# Waits for the box with the given text to close.
wait_closed() {
  local i
  for i in $(seq 1 60); do
    [ "$(box_text)" = "$1" ] || return 0
    sleep 0.25
  done
  fail "the box \"$1\" stayed open"
}

# Starts the self-extracting setup.exe as "setup.exe *TODISK".
start_transfer() {
  "$run" "$work/dist/setup.exe" '*TODISK' &
  setup_pid=$!
}

finish() {  # waits for the program; its exit code goes to $rc
  rc=0
  wait "$setup_pid" || rc=$?
  setup_pid=""
}

# Expects one message box with exactly this text, closes it and expects the
# program to end with exit code 1.
expect_failure() {
  local text
  text=$(wait_box) || fail "no message box; expected: $1"
  [ "$text" = "$1" ] || fail "message box: \"$text\"; expected: \"$1\""
  press OK
  finish
  [ "$rc" = 1 ] || fail "exit code $rc after \"$1\""
  say "   box: $text"
}

# The disks the user keeps on the shelf: disk N's files in $work/disks/N.
eject() { mkdir -p "$work/disks/$1"; find "$drive" -mindepth 1 -maxdepth 1 -exec mv {} "$work/disks/$1/" \;; }
insert() { [ -d "$work/disks/$1" ] && cp -p "$work/disks/$1"/. "$drive/" -r; true; }

# --- the setup program and its distribution --------------------------------

echo "small payload" > "$work/payload/notes.txt"
head -c 1000 /dev/urandom > "$work/payload/big.bin"
head -c 1000 /dev/urandom > "$work/payload/tail.bin"
project > "$work/project.dfm"
"$run" "$build/kit/qvc.exe" "$(winpath "$work/project.dfm")" "$(winpath "$work/setup/Setup.exe")" \
  --title "$title" >/dev/null || fail "the project does not compile"
"$run" reg add 'HKCU\Software\Borland\Delphi\4.0\Library' /v 'Search Path' /t REG_SZ \
  /d "$(winpath "$build/kit")" /f >/dev/null 2>&1 || fail "cannot register the kit directory"
build_into "$work/dist" || fail "the first build failed"

# The disk size: room for the loading program and setup.1 and 64 KiB more.
# The payload is random (it does not shrink) and one and a half disks long,
# so files.1 needs the rest of disk 1, all of disk 2 and part of disk 3.
loader=$(stat -c %s "$build/kit/QuorvaneLoadProgram.exe")
setup1=$(stat -c %s "$work/dist/setup.1")
disk=$(( $(kib "$loader") + $(kib "$setup1") + 64 ))
head -c $(( disk * 1024 * 3 / 2 )) /dev/urandom > "$work/payload/big.bin"
head -c 20000 /dev/urandom > "$work/payload/tail.bin"
rm -rf "$work/dist"
build_into "$work/dist" || fail "the build failed"
"$run" "$build/tools/qvarc.exe" verify "$(winpath "$work/dist/setup.exe")" >/dev/null || fail "setup.exe does not verify"
say "== disks of $disk KiB; loader $loader bytes, setup.1 $setup1, files.1 $(stat -c %s "$work/dist/files.1")"

# Drive A: is the folder of the small disks.
mkdir -p "$prefix/dosdevices"
if [ -e "$letter" ] || [ -L "$letter" ]; then
  saved_letter="$work/a-drive-before"
  mv "$letter" "$saved_letter"
fi
ln -s "$drive" "$letter"

# --- 1. three disks ----------------------------------------------------------
new_disk "$disk"
start_transfer
asked=""
in_drive=1
while text=$(wait_box); do
  [[ $text =~ ^Please\ insert\ disk\ ([0-9]+)$ ]] || fail "unexpected box: $text"
  n=${BASH_REMATCH[1]}
  asked="$asked $n"
  [ "$(echo "$asked" | wc -w)" -le 5 ] || fail "too many disk prompts:$asked"
  # Free space on the full disk is what ended it.
  eject "$in_drive"
  insert "$n"
  in_drive=$n
  press OK
  wait_closed "$text"
done
finish
[ "$rc" = 0 ] || fail "the transfer ended with exit code $rc"
eject "$in_drive"
[ "$asked" = " 2 3 1" ] || fail "the prompts asked for disks$asked, not 2 3 1"
say "== prompts for disks$asked"
[ -n "$verbose" ] && ls -l "$work/disks"/*

# Disk 1 starts the distribution: the loading program and setup.1 as they are
# in the self-extracting file; then the disk set.
[ "$(ls "$work/disks/1" | sort | tr '\n' ' ')" = "files.1 setup.1 setup.exe " ] || fail "disk 1 holds: $(ls "$work/disks/1")"
[ "$(ls "$work/disks/2")" = "files.2" ] || fail "disk 2 holds: $(ls "$work/disks/2")"
[ "$(ls "$work/disks/3")" = "files.3" ] || fail "disk 3 holds: $(ls "$work/disks/3")"
cmp -s "$work/disks/1/setup.exe" "$build/kit/QuorvaneLoadProgram.exe" || fail "setup.exe on disk 1 is not the loading program"
cmp -s "$work/disks/1/setup.1" "$work/dist/setup.1" || fail "setup.1 on disk 1 differs from the build's"
for n in 1 2 3; do
  used=$(cat "$work/disks/$n"/* | wc -c)
  [ "$used" -le $(( disk * 1024 )) ] || fail "disk $n holds $used bytes, more than fits"
done

# The disk set, gathered in one folder, holds the members of files.1.
mkdir -p "$work/set" "$work/out"
cp "$work/disks/1/files.1" "$work/disks/2/files.2" "$work/disks/3/files.3" "$work/set/"
members() { "$run" "$build/tools/qvarc.exe" list "$(winpath "$1")" | tr -d '\r' | awk 'NR > 1 && NF >= 7 { print $1, $2, $NF }'; }
[ "$(members "$work/set/files.1")" = "$(members "$work/dist/files.1")" ] || fail "the disk set lists other members"
listing=$("$run" "$build/tools/qvarc.exe" list "$(winpath "$work/set/files.1")" | tr -d '\r')
say "$listing"
grep -q 'disk set' <<<"$listing" || fail "files.1 on disk 1 is not marked as a disk set"
grep -q ' 1-3  .*big.bin$' <<<"$listing" || fail "big.bin does not run from disk 1 to disk 3"
"$run" "$build/tools/qvarc.exe" verify "$(winpath "$work/set/files.1")" >/dev/null || fail "the disk set does not verify"
"$run" "$build/tools/qvarc.exe" extract "$(winpath "$work/set/files.1")" "$(winpath "$work/out")" >/dev/null \
  || fail "the disk set does not extract"
for f in big.bin notes.txt tail.bin; do
  cmp -s "$work/out/$f" "$work/payload/$f" || fail "$f from the disk set differs from the original"
done

# --- 2. A user installs from the disks ---------------------------------------
# Drive A: is a plain folder from here on: the loading program runs from
# disk 1 while the disks change, and on a tmpfs its open file would keep its
# room when disk 2 comes in.
prompt="Setup needs the next disk"
copying="Copying installation files"
browser="Browse for Folder"
dest="$prefix/drive_c/Program Files/QvDisk Test"
disk3="$prefix/drive_c/disk3"
shots="$build/screenshots"
mkdir -p "$shots"
q() { "$run" "$build/tests/qvauto.exe" "$@" 2>&1 | tr -d '\r'; }
# The field of what qvauto state shows of a control (empty: no such control).
field() { q state "$1" "$2" | sed -n "s/^$3=//p"; }
bars() { echo "$(field "$copying" ProgressBar1 position) $(field "$copying" ProgressBar2 position)"; }
plain_drive() {
  mountpoint -q "$drive" && umount "$drive"
  rm -rf "$drive"
  mkdir -p "$drive"
}
change_to() { find "$drive" -mindepth 1 -delete; insert "$1"; }
start_install() {
  rm -rf "$dest"
  plain_drive
  insert 1
  "$run" 'A:\setup.exe' </dev/null >"$work/install.log" 2>&1 &
  setup_pid=$!
  installing=1
}
# Waits for the change-disk window to ask for disk $1; the copy window's
# bars, read meanwhile, go to $work/bars.log.
wait_prompt() {
  local i
  for i in $(seq 1 120); do
    q text "$prompt" | grep -qx "  Please insert disk number $1" && return 0
    kill -0 "$setup_pid" 2>/dev/null || fail "the setup ended before it asked for disk $1: $(cat "$work/install.log")"
    bars >>"$work/bars.log"
    sleep 0.2
  done
  fail "no prompt for disk $1"
}
# Presses the button of the last wizard page; the program ends with it.
finish_page() {
  q click "$1" Finish 60 >/dev/null || fail "no page \"$1\": $(q list)"
  finish
}

start_install
: >"$work/bars.log"
wait_prompt 2
[ "$(field "$prompt" PathEdit text)" = "A:" ] || fail "the disk 2 prompt looks in $(field "$prompt" PathEdit text)"
read -r file1 total1 < <(bars)
[ -n "$file1" ] || fail "no copy window beside the disk prompt: $(q list)"
q shot "$prompt" "$shots/disks-change-disk.png" >/dev/null
q shot "$copying" "$shots/disks-copy-file.png" >/dev/null
change_to 2
q click "$prompt" Proceed 20 >/dev/null || fail "cannot press Proceed"
wait_prompt 3
read -r file2 total2 < <(bars)
say "== bars at disk 2: $file1 $total1; meanwhile: $(grep -v '^ *$' "$work/bars.log" | paste -sd,); at disk 3: $file2 $total2"
[ "$file1" -lt "$file2" ] && [ "$total1" -lt "$total2" ] || fail "the bars did not move: $file1 $total1, then $file2 $total2"
for k in 1 2; do
  sort -n -c -k$k,$k <(grep -v '^ *$' "$work/bars.log") 2>/dev/null || fail "a bar went back: $(paste -sd, "$work/bars.log")"
done
[ "$file2" -lt 100 ] || fail "big.bin was done before its last disk"

# Disk 3 lies in a folder; the user browses to it.
rm -rf "$disk3"
mkdir -p "$disk3"
cp "$work/disks/3"/* "$disk3/"
q press "$prompt" BrowseBtn >/dev/null || fail "cannot press Browse"
q wait "$browser" 20 >/dev/null || fail "no folder browser"
[ -z "$(field "$browser" PathEdit text)" ] || fail "the folder browser has a path edit"
# My Computer, drive C: opened with the Right key, its folder disk3.
tree=SysTreeView32#1
q select "$browser" "$tree" " (C:)" >/dev/null || fail "no drive C: in the folder browser: $(q state "$browser" "$tree")"
q key "$browser" Right >/dev/null
for _ in $(seq 1 20); do
  q select "$browser" "$tree" disk3 >/dev/null && [ "$(field "$browser" "$tree" selected)" = disk3 ] && break
  sleep 0.3
done
[ "$(field "$browser" "$tree" selected)" = disk3 ] || fail "cannot select disk3 in the folder browser"
q click "$browser" OK 20 >/dev/null || fail "cannot confirm the folder browser"
q gone "$browser" 20 >/dev/null || fail "the folder browser stayed"
[ "$(field "$prompt" PathEdit text)" = 'C:\disk3' ] || fail "the browser gave $(field "$prompt" PathEdit text)"
q click "$prompt" Proceed 20 >/dev/null || fail "cannot press Proceed"
finish_page "Setup complete"
[ "$rc" = 0 ] || fail "the install from disks ended with exit code $rc: $(cat "$work/install.log")"
for f in big.bin notes.txt tail.bin; do
  cmp -s "$dest/$f" "$work/payload/$f" || fail "the installed $f differs from its source"
done
rm -rf "$disk3"
say "== installed from disks 1, 2 and C:\\disk3"

# --- 3. Cancel in the change-disk window --------------------------------------
start_install
wait_prompt 2
q click "$prompt" Cancel 20 >/dev/null || fail "cannot press Cancel"
finish_page "Setup incomplete"
[ "$rc" = 1 ] || fail "the cancelled install ended with exit code $rc"
# The run is undone: its folder goes with the files it had unpacked.
left=$({ find "$dest" 2>/dev/null || true; } | sed "s|^$dest/||" | paste -sd' ')
[ -z "$left" ] || fail "the cancelled install left: $left"
say "== Cancel at disk 2: the failure page, exit code $rc, nothing of the product left"

# --- 4. Cancel at the prompt ------------------------------------------------
rm -rf "$work/disks"
new_disk "$disk"
start_transfer
text=$(wait_box) || fail "no prompt for disk 2"
[ "$text" = "Please insert disk 2" ] || fail "first prompt: $text"
press Cancel
wait_closed "$text"
expect_failure "Aborted by user"
# What was written stays on the disk.
[ "$(ls "$drive" | sort | tr '\n' ' ')" = "files.1 setup.1 setup.exe " ] || fail "after Cancel the disk holds: $(ls "$drive")"

# --- 5. OK without changing the disk ---------------------------------------
new_disk "$disk"
start_transfer
text=$(wait_box) || fail "no prompt for disk 2"
press OK
wait_closed "$text"
expect_failure "There is too little space on this disk to operate"

# --- 6. Disks too small for the first files --------------------------------
new_disk 8
start_transfer
expect_failure "Cannot create setup.exe on the A drive. Probably not enough room"
new_disk $(( $(kib "$loader") + 8 ))
start_transfer
expect_failure "Cannot create setup.1 on the A drive. Probably not enough room"

# --- 7. Build folders on disks that fill up --------------------------------
rm -f "$letter"
new_disk 16
printf '%s\r\n' "$(winpath "$drive/dist")" > "$work/setup/BUILD.INF"
"$run" "$work/setup/Setup.exe" -b &
setup_pid=$!
expect_failure "The disk that you have specified has been determined to be either too full or is corrupt while trying to copy the SETUP.1 archive file. You should probably clear all files off of the drive. Minimally, you should leave enough space on the drive for the SETUP.1 archive file."
# Room for the loading program, setup.1 and files.1, not for the
# self-extracting file made of them.
files1=$(stat -c %s "$work/dist/files.1")
new_disk $(( $(kib "$loader") + $(kib "$setup1") + $(kib "$files1") + 32 ))
"$run" "$work/setup/Setup.exe" -b &
setup_pid=$!
expect_failure "Cannot create the self-extracting exe because $(winpath "$drive/dist")\\setup.1 could not be loaded onto $(winpath "$drive/dist")\\setup.exe"

# --- 8. An installation onto a disk that fills up ---------------------------
# big.bin goes into a group whose folder is a full path on the small drive,
# where it does not fit: the run stops at the full disk and is undone, the
# drive left as empty as it was.  The failure page comes first, then the
# message.
project | DEST="$(winpath "$drive")\\QvDisk Test" awk '
  /^  object Big: TInstallFile/ {
    print "  object OnDisk: TInstallFileGroup\n    Container = Install1"
    print "    ArchiveFileType = psContainerArchiveFile\n    DestDir = \047" ENVIRON["DEST"] "\047\n  end"
    big = 1
  }
  big && /Container = Install1/ { sub("Install1", "OnDisk"); big = 0 }
  { print }' > "$work/full.dfm"
mkdir -p "$work/full"
"$run" "$build/kit/qvc.exe" "$(winpath "$work/full.dfm")" "$(winpath "$work/full/Setup.exe")" \
  --title "$title" --build-dir "$(winpath "$work/fulldist")" >/dev/null || fail "the project on the small drive does not compile"
"$run" "$work/full/Setup.exe" -b || fail "the project on the small drive does not build"
new_disk 64
"$run" "$work/fulldist/setup.exe" &
setup_pid=$!
q click "Setup incomplete" Finish 120 >/dev/null || fail "no failure page for the full disk: $(q list)"
text=$(wait_box) || fail "no message about the full disk"
press OK
finish
[ "$rc" = 1 ] || fail "the install onto a full disk ended with exit code $rc"
grep -qi 'full' <<<"$text" || fail "the full disk was reported as: $text"
left=$(ls -A "$drive")
[ -z "$left" ] || fail "the full disk keeps: $left"
say "== A disk that fills up during the installation: \"$text\"; undone, the disk empty again"

echo "small disks: ok"
