#!/usr/bin/env bash
# The main job: builds the kit and the sample project's setup program, then
# runs the setup program under Wine on a virtual display, shows what it
# loaded from its own resource and saves a screenshot in out/.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/bootstrap.sh

cmake --preset win64 >/dev/null
cmake --build --preset win64 --target SampleSetup qvauto
run=build/win64/wine-run
setup=build/win64/examples/SampleSetup.exe
auto=build/win64/tests/qvauto.exe
mkdir -p out
trap '$run --shutdown' EXIT

title="Quorvane Sample Installation"
echo "== Starting $setup under Wine"
$run "$setup" &
pid=$!
$run "$auto" wait "$title" 60
sleep 1
display=$($run --display)
import -display "$display" -window root out/sample-loaded.png
echo "== Window texts"
$run "$auto" text "$title"
echo "== Screenshot: out/sample-loaded.png"
$run "$auto" close "$title"
wait $pid
echo "== The setup program ended with exit code $?"
