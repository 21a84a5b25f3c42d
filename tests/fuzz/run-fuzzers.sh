#!/usr/bin/env bash
# Runs every fuzz target of a native clang build for a while each, two at a
# time (the machines have two cores).
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
targets=(fuzz_stream_reader fuzz_object_text fuzz_strings fuzz_language_table fuzz_archive_headers
         fuzz_archive_extract fuzz_distribution fuzz_file_list fuzz_uninstall_record)
for target in "${targets[@]}"; do
  if [ ! -x "$build/tests/fuzz/$target" ]; then
    echo "run-fuzzers: $build/tests/fuzz/$target not built" >&2
    exit 2
  fi
done

# Seeds the corpus of one target and runs it; its output goes to its log.
fuzz() {
  local target=$1 exe=$build/tests/fuzz/$1 corpus=$build/fuzz-corpus/$1 seeddir seed
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
  "$exe" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=16384 \
    -print_final_stats=1 -artifact_prefix="$build/fuzz-artifacts/$target-" \
    "$corpus" $seeddir >"$build/fuzz-artifacts/$target.log" 2>&1
}

# Two at a time; each pair's results printed in order once both have ended.
for ((i = 0; i < ${#targets[@]}; i += 2)); do
  pair=("${targets[@]:i:2}")
  pids=()
  for target in "${pair[@]}"; do
    fuzz "$target" &
    pids+=($!)
  done
  for j in "${!pair[@]}"; do
    target=${pair[$j]}
    echo "== $target ($seconds s)"
    if ! wait "${pids[$j]}"; then
      tail -40 "$build/fuzz-artifacts/$target.log"
      echo "run-fuzzers: $target FAILED (see $build/fuzz-artifacts)" >&2
      status=1
    else
      grep -E "stat::number_of_executed_units|cov:" "$build/fuzz-artifacts/$target.log" | tail -2
    fi
  done
done
exit $status
