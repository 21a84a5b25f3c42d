#!/bin/sh
# Runs every fuzz target of a native clang build for a while each.
#   tests/fuzz/run-fuzzers.sh SECONDS [BUILD_DIR]
# Corpora live in BUILD_DIR/fuzz-corpus/<target>; crashes are written to
# BUILD_DIR/fuzz-artifacts/.  Exits non-zero when a target finds a failure.
set -eu
seconds=${1:?usage: run-fuzzers.sh SECONDS [BUILD_DIR]}
here=$(cd "$(dirname "$0")" && pwd)
build=${2:-$here/../../build/native}
seeds=$here/seeds
status=0
mkdir -p "$build/fuzz-artifacts"
for target in fuzz_stream_reader fuzz_object_text fuzz_strings fuzz_language_table fuzz_archive_headers fuzz_archive_extract fuzz_distribution \
              fuzz_file_list fuzz_uninstall_record; do
  exe=$build/tests/fuzz/$target
  if [ ! -x "$exe" ]; then
    echo "run-fuzzers: $exe not built" >&2
    exit 2
  fi
  corpus=$build/fuzz-corpus/$target
  mkdir -p "$corpus"
  # Seeds are kept as text forms; the binary reader gets them compiled.
  if [ "$target" = fuzz_stream_reader ]; then
    for seed in "$seeds/$target"/*.dfm; do
      "$build/tools/qvform" tobin "$seed" "$corpus/seed-$(basename "$seed" .dfm).bin"
    done
    seeddir=
  elif ls "$seeds/$target"/*.hex >/dev/null 2>&1; then
    # Seeds of a binary format are commented hex dumps ('#' to the end of
    # a line); the target gets their bytes.
    for seed in "$seeds/$target"/*.hex; do
      python3 -c 'import re, sys
text = open(sys.argv[1]).read()
sys.stdout.buffer.write(bytes.fromhex("".join(re.sub(r"#.*", "", l) for l in text.splitlines()).replace(" ", "")))' \
        "$seed" >"$corpus/seed-$(basename "$seed" .hex).bin"
    done
    seeddir=
  elif [ -d "$seeds/$target" ]; then
    seeddir=$seeds/$target
  else
    seeddir=
  fi
  echo "== $target ($seconds s)"
  if ! "$exe" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=16384 \
      -print_final_stats=1 -artifact_prefix="$build/fuzz-artifacts/$target-" \
      "$corpus" $seeddir >"$build/fuzz-artifacts/$target.log" 2>&1; then
    tail -40 "$build/fuzz-artifacts/$target.log"
    echo "run-fuzzers: $target FAILED (see $build/fuzz-artifacts)" >&2
    status=1
  else
    grep -E "stat::number_of_executed_units|cov:" "$build/fuzz-artifacts/$target.log" | tail -2
  fi
done
exit $status
