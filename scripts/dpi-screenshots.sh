#!/usr/bin/env bash
# The sample's wizard at 100 %, 150 % and 200 % (Wine's LogPixels 96, 144
# and 192): the welcome and file group pages, shot from the real setup in a
# Wine prefix of their own, into docs/screens/dpi-<percent>-<page>.png.
# Not part of the tests; run it after a change to the forms' scaling.
#
#   scripts/dpi-screenshots.sh [BUILD_DIR]   (default build/win64)
set -euo pipefail
cd "$(dirname "$0")/.."
build_arg=${1:-build/win64}
cmake --build "$build_arg" -j2 --target sample kit qvauto
. tests/e2e/wine_env.sh "$build_arg"
shots="$build/screenshots/dpi"
export QV_WINEPREFIX="$shots/wineprefix"
prefix=$QV_WINEPREFIX
setup=
# A display of its own, large enough for the wizard at 200 %.
xvfb=
for n in $(seq 150 199); do
  [ -e "/tmp/.X$n-lock" ] && continue
  Xvfb ":$n" -screen 0 1600x1200x24 -nolisten tcp </dev/null >/dev/null 2>&1 &
  xvfb=$!
  for _ in $(seq 1 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
  export DISPLAY=":$n"
  break
done
finish() {
  set +e
  [ -n "$setup" ] && kill "$setup" 2>/dev/null
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
  WINEPREFIX="$prefix" wineserver -k 2>/dev/null
}
trap finish EXIT
qvauto() { "$run" "$build/tests/qvauto.exe" "$@" </dev/null 2>/dev/null | tr -d '\r'; }
wizard=BaseFormContainer
wait_page() {
  local i
  for i in $(seq 1 150); do
    [ "$(qvauto state $wizard Tabs | sed -n 's/^selected=//p')" = "$1" ] && { sleep 0.5; return 0; }
    sleep 0.2
  done
  fail "no page $1"
}

WINEPREFIX="$prefix" wineserver -k 2>/dev/null || true
rm -rf "$shots"; mkdir -p "$shots"
"$run" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null
bash scripts/register-kit.sh "$build" >/dev/null
work=$shots
. tests/e2e/sample_env.sh
build_sample_distribution

for dpi in 96 144 192; do
  percent=$((dpi * 100 / 96))
  # Read by each program at its start, once the server has it.
  "$run" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d $dpi /f >/dev/null
  WINEPREFIX="$prefix" wineserver -k 2>/dev/null || true
  "$run" "$shots/dist/setup.exe" </dev/null >/dev/null 2>&1 &
  setup=$!
  for page in TSelectLanguageForm: TWelcomeForm:welcome TLicenseForm: TReadmeForm: \
              TFileGroupSelectForm:components; do
    wait_page "${page%%:*}"
    name=${page#*:}
    if [ -n "$name" ]; then
      qvauto shot $wizard "$(winpath "$shots/dpi-$percent-$name.png")" >/dev/null || fail "cannot shoot $name"
      cp "$shots/dpi-$percent-$name.png" docs/screens/
      echo "docs/screens/dpi-$percent-$name.png"
    fi
    qvauto click $wizard ProceedBtn >/dev/null
  done
  kill "$setup" 2>/dev/null || true
  wait "$setup" 2>/dev/null || true
  setup=
done
