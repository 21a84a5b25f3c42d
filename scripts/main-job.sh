#!/usr/bin/env bash
# The main job: builds the kit and the sample product's setup program, builds
# its distribution with -b under Wine, installs it from the self-extracting
# setup.exe as a user would, and shows what was installed.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/bootstrap.sh

cmake --preset win64 >/dev/null
cmake --build --preset win64 --target sample kit qvarc qvauto
trap 'build/win64/wine-run --shutdown' EXIT
bash tests/e2e/sample_cycle.sh build/win64 --verbose
