# What the sample product's end-to-end scripts share: its paths, keys and
# links on the user's machine, building its distribution, and the window
# driver pressing through its wizard.  Sourced after wine_env.sh, with $work
# set to the script's own folder.
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
payload="$source_dir/examples/sample/payload"
bin="$build/examples/sample/bin"
reg_has() { "$run" reg query "$@" >/dev/null 2>&1; }
qvauto="$build/tests/qvauto.exe"
# The wizard's pages, by the captions the wizard window takes from them, and
# the button that goes on from each: a user who accepts every default.
wizard_pages=("Select a language|Next >" "Welcome|Next >" "Software license agreement|Next >"
              "Readme information|Next >" "Select components to install|Next >"
              "Select folder in start menu|Next >"
              "Setup complete|Finish" "Setup incomplete|Finish" "Reboot windows|Finish")
# Presses through every page while the setup program (process $1) runs and
# prints what each page showed; the pages seen are in $work/pages.log.
press_through_wizard() {
  local setup=$1 row title button windows
  while kill -0 "$setup" 2>/dev/null; do
    windows=$("$run" "$qvauto" list 2>/dev/null | tr -d '\r' | grep -v '^ ' || true)
    for row in "${wizard_pages[@]}"; do
      title=${row%|*} button=${row#*|}
      grep -qxF "$title [QuorvaneWindow]" <<<"$windows" || continue
      echo "$title" >>"$work/pages.log"
      say "== Wizard page \"$title\""
      [ -n "$verbose" ] && { "$run" "$qvauto" text "$title" 2>/dev/null | tr -d '\r' | grep -v '^ *$' || true; }
      "$run" "$qvauto" click "$title" "$button" 10 >/dev/null 2>&1 || true
      "$run" "$qvauto" gone "$title" 5 >/dev/null 2>&1 || true
      break
    done
    sleep 0.3
  done
}
product='Quorvane Sample'
uninstall_key="HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$product"
vendor_key='HKLM\Software\Quorvane Example Co'
settings_key="HKCU\\Software\\$product"
shared_dlls='HKLM\Software\Microsoft\Windows\CurrentVersion\SharedDLLs'
help_key='HKLM\Software\Microsoft\Windows\Help'
clsid_key='HKCR\CLSID\{6D1F2C4A-9B3E-4E57-A0C2-51F7D3B8E914}'
progid_key='HKCR\QuorvaneSample.Component'
target="$prefix/drive_c/Program Files/$product"
system32="$prefix/drive_c/windows/system32"
shared_dll='C:\windows\system32\QvSampleShared.dll'
users="$prefix/drive_c/users/$(whoami)"
programs="$users/AppData/Roaming/Microsoft/Windows/Start Menu/Programs"
desktop="$users/Desktop"

# Nothing of an earlier run may help this one.
clean_machine() {
  local k
  # The install record too: a setup ended from outside (a failed test) leaves it.
  for k in "$uninstall_key" "$vendor_key" "$settings_key" "$clsid_key" "$progid_key" 'HKLM\Software\Quorvane\Install'; do
    "$run" reg delete "$k" /f >/dev/null 2>&1 || true
  done
  "$run" reg delete "$shared_dlls" /v "$shared_dll" /f >/dev/null 2>&1 || true
  "$run" reg delete "$help_key" /v QVSAMPLE.HLP /f >/dev/null 2>&1 || true
  rm -rf "$target" "$programs/$product" "$programs/$product Tools" "$system32/QvSampleShared.dll"
  rm -f "$desktop/$product.lnk" "$desktop/Quorvane on the Web.URL"
}

# Program Manager opens a window on each group it shows; it is closed once
# the setup program has ended.
close_group_windows() {
  local i
  for i in $(seq 1 10); do
    "$run" "$qvauto" wait "$product Tools" 0 >/dev/null 2>&1 || break
    "$run" "$qvauto" close "$product Tools" >/dev/null 2>&1
    sleep 0.3
  done
}

# The author's two steps: qvc compiles the project text into the setup
# program, -b builds the distribution into $work/dist.
build_sample_distribution() {
  mkdir -p "$work/stage"
  "$run" "$build/kit/qvc.exe" "$(winpath "$build/examples/sample/project.dfm")" \
    "$(winpath "$work/stage/QvSampleSetup.exe")" --build-dir "$(winpath "$work/dist")" >/dev/null \
    || fail "qvc did not compile the sample project"
  "$run" "$work/stage/QvSampleSetup.exe" -b || fail "-b did not build the sample distribution ($?)"
  local f
  for f in setup.exe setup.1 files.1; do [ -s "$work/dist/$f" ] || fail "the build made no $f"; done
}
