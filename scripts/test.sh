#!/usr/bin/env bash
# Runs every test: the native build (portable libraries under sanitizers, a
# short run of each fuzz target), the win64 build with its tests under 64-bit
# Wine, and the win32 release build (compiled and linked; 32-bit programs
# cannot run here).  Ends with one summary line.
set -uo pipefail
cd "$(dirname "$0")/.."
bash scripts/bootstrap.sh || exit 1

log=$(mktemp -d)
trap 'rm -rf "$log"; [ -x build/win64/wine-run ] && build/win64/wine-run --shutdown' EXIT
passed=0
failed=0
status=0

count() {  # adds the figures of a ctest closing line to the totals
  local line total nfail
  line=$(grep -E 'tests passed, [0-9]+ tests? failed out of [0-9]+' "$1" | tail -1)
  if [ -z "$line" ]; then failed=$((failed + 1)); status=1; return; fi
  total=$(sed -E 's/.*out of ([0-9]+).*/\1/' <<<"$line")
  nfail=$(sed -E 's/.*passed, ([0-9]+) tests? failed.*/\1/' <<<"$line")
  passed=$((passed + total - nfail))
  failed=$((failed + nfail))
  [ "$nfail" -eq 0 ] || status=1
}

step() { echo; echo "=== $*"; }

step "native: configure and build"
cmake --preset native >/dev/null && cmake --build --preset native || { status=1; failed=$((failed+1)); }
step "native: tests"
ctest --preset native 2>&1 | tee "$log/native.txt"
count "$log/native.txt"
if [ -x tests/fuzz/run-fuzzers.sh ]; then
  step "native: fuzz targets, ${QV_FUZZ_SECONDS:-15} s each"
  if tests/fuzz/run-fuzzers.sh "${QV_FUZZ_SECONDS:-15}" build/native; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1)); status=1
  fi
fi

step "win32: release build"
if cmake --preset win32 >/dev/null && cmake --build --preset win32; then
  passed=$((passed + 1))
else
  failed=$((failed + 1)); status=1
fi

step "win64: configure and build"
cmake --preset win64 >/dev/null && cmake --build --preset win64 || { status=1; failed=$((failed+1)); }
step "win64: tests under Wine"
# A program under Wine that still runs after this long is ended, and what
# was on the screen is shown and saved (build/win64/screenshots/timeout-*).
export QV_TEST_TIMEOUT=${QV_TEST_TIMEOUT:-450}
ctest --preset win64 2>&1 | tee "$log/win64.txt"
count "$log/win64.txt"

echo
echo "all: $passed passed, $failed failed"
exit $status
