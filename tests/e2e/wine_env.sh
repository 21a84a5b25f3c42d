# What the end-to-end scripts share: the build's Wine runner and prefix,
# progress and failure messages, and Unix paths as Wine shows them (the Unix
# root is drive Z:).  Sourced with the script's arguments:
#   . wine_env.sh BUILD_DIR [--verbose]
build=$(cd "$1" && pwd)
verbose=${2:-}
run="$build/wine-run"
prefix="$build/wineprefix"
say() { [ -n "$verbose" ] && echo "$@" || true; }
fail() { echo "FAIL: $*" >&2; exit 1; }
winpath() { echo "Z:$1" | sed 's|/|\\|g'; }
