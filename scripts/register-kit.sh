#!/usr/bin/env bash
# Puts the kit directory of a build on the library search path in that
# build's Wine prefix.  A setup program started with -b looks there for the
# loading program (and the uninstaller) to build a distribution:
#   HKEY_CURRENT_USER\Software\Borland\Delphi\4.0\Library, value "Search Path"
# (folders separated by ";").  The kit folder goes first; folders already
# listed stay behind it.
#
#   scripts/register-kit.sh build/win64
set -euo pipefail

[ $# -eq 1 ] || { echo "usage: $0 BUILD_DIR" >&2; exit 2; }
build=$(cd "$1" && pwd)
run="$build/wine-run"
[ -x "$run" ] || { echo "register-kit: $run not found (configure a Windows build first)" >&2; exit 1; }
[ -f "$build/kit/Q32V35.TXT" ] ||
  { echo "register-kit: $build/kit has no Q32V35.TXT (build the kit target first)" >&2; exit 1; }

key='HKCU\Software\Borland\Delphi\4.0\Library'
# Wine shows the Unix root as drive Z:.
kit="Z:${build//\//\\}\\kit"

old=$("$run" reg query "$key" /v "Search Path" </dev/null 2>/dev/null | tr -d '\r' |
      sed -n 's/^ *Search Path *REG_SZ *//p' || true)
new="$kit"
IFS=';' read -ra entries <<<"$old"
for e in "${entries[@]}"; do
  [ -n "$e" ] && [ "${e,,}" != "${kit,,}" ] && new="$new;$e"
done
"$run" reg add "$key" /v "Search Path" /t REG_SZ /d "$new" /f </dev/null >/dev/null
echo "register-kit: Search Path = $new"
