#!/usr/bin/env bash
# The README's author workflow run line by line as it stands, in a Wine
# prefix of its own that has never seen the kit: "qvc --new" writes the
# starter project, "qvc ... --build" compiles and builds it (and, in two
# steps, qvc then "Setup.exe -b"), each build prints its files and summary.
# Then the starter's self-extracting setup.exe installs it through its
# wizard as a user accepting every default, the files, key and links are
# checked, and its uninstaller removes it all.
#
#   author_workflow.sh BUILD_DIR [--verbose]
set -euo pipefail
. "$(dirname "$0")/wine_env.sh"
work="$build/e2e-author"
. "$(dirname "$0")/sample_env.sh"
prefix="$work/prefix"
export QV_WINEPREFIX="$prefix"
rm -rf "$work"; mkdir -p "$work"
"$run" cmd /c ver </dev/null >/dev/null 2>&1 || fail "cannot make the Wine prefix $prefix"

# --- the README's lines ---------------------------------------------------------------
lines=$(awk '/^## The author.s workflow/ {on=1; next} on && /^```sh/ {code=1; next}
             code && /^```/ {exit} code && !/^#/ && NF' "$source_dir/README.md")
[ "$(wc -l <<<"$lines")" -ge 3 ] || fail "the README's workflow has no commands: $lines"
n=0
while IFS= read -r line; do
  n=$((n + 1))
  say "== README: $line"
  # The README's build tree is this one.
  command=${line//build\/win64/$build}
  (cd "$source_dir" && eval "$command") </dev/null >"$work/step$n.log" 2>&1 ||
    fail "the README's line \"$line\" failed ($?): $(cat "$work/step$n.log")"
  [ -n "$verbose" ] && cat "$work/step$n.log"
done <<<"$lines"

drive="$prefix/drive_c"
for dist in "$drive/MyProduct/setup/dist" "$drive/out/dist"; do
  for f in setup.exe setup.1 files.1; do [ -s "$dist/$f" ] || fail "the workflow made no $dist/$f"; done
done
# Each build said what it did: a line per file, the summary, the files written.
for log in "$work"/step*.log; do
  grep -q -- '-b$\|--build$' <<<"$(sed -n "$(basename "$log" .log | tr -dc 0-9)p" <<<"$lines")" || continue
  grep -q '^  \[5/5\] .*uninstall.exe  [0-9,]* -> [0-9,]* bytes$' "$log" || fail "no progress lines in $log: $(cat "$log")"
  grep -q '^Built .* in [0-9.]* s: 5 files, [0-9,]* bytes in, [0-9,]* bytes out ([0-9.]*%)$' "$log" ||
    fail "no summary in $log: $(cat "$log")"
  grep -q 'dist\\setup.exe  [0-9,]* bytes$' "$log" || fail "the summary does not name setup.exe: $(cat "$log")"
done

# --- the starter installed through its wizard, then removed -----------------------------
product='My Product'
target="$drive/Program Files/$product"
users="$drive/users/$(whoami)"
programs="$users/AppData/Roaming/Microsoft/Windows/Start Menu/Programs"
: >"$work/pages.log"
"$run" "$drive/MyProduct/setup/dist/setup.exe" </dev/null >>"$work/setup.log" 2>&1 &
setup=$!
press_through_wizard "$setup"
wait "$setup" || fail "the starter's setup failed: $(cat "$work/setup.log")"
seen=$(paste -sd '|' "$work/pages.log")
[ "$seen" = "Welcome|Software license agreement|Readme information|Select components to install|Select folder in start menu|Setup complete" ] ||
  fail "the wizard showed the pages $seen"
files="$drive/MyProduct/files"
for f in MyProduct.exe readme.txt; do cmp -s "$target/$f" "$files/$f" || fail "$f not installed"; done
cmp -s "$target/Docs/manual.txt" "$files/docs/manual.txt" || fail "the folder tree's manual not installed"
cmp -s "$target/Docs/examples/settings.ini" "$files/docs/examples/settings.ini" || fail "the tree's subfolder not installed"
cmp -s "$target/uninstall.exe" "$build/kit/uninstall.exe" || fail "the uninstaller not installed"
"$run" reg query 'HKCU\Software\My Company\My Product' /v InstallDir 2>/dev/null | tr -d '\r' |
  grep -qF "C:\\Program Files\\$product" || fail "the registry key does not name the folder"
for l in "$product" "Remove $product"; do [ -s "$programs/$product/$l.lnk" ] || fail "no link \"$l\""; done
say "== Installed: $(cd "$target" && find . -type f | sort | paste -sd ' ')"

"$run" "$target/uninstall.exe" /S "$product" >/dev/null || fail "the uninstaller reported a failure"
for i in $(seq 1 50); do [ -e "$target" ] || break; sleep 0.2; done
[ ! -e "$target" ] || fail "the product folder stayed: $(ls -R "$target")"
[ ! -e "$programs/$product" ] || fail "the program folder stayed"
"$run" reg query 'HKCU\Software\My Company\My Product' >/dev/null 2>&1 && fail "the registry key stayed"
WINEPREFIX="$prefix" wineserver -k 2>/dev/null || true
echo "author workflow: ok"
