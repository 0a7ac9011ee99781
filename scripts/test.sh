#!/usr/bin/env bash
# Builds everything and runs the whole test suite under Wine (Xvfb display started and ended here).
# Extra arguments go to ctest, e.g.  scripts/test.sh -R runtime
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$here/build}
mkdir -p "$build"
bash "$here/scripts/build.sh"
trap '"$here/tools/wine-session" down "$build"' EXIT
cd "$build"
ctest --output-on-failure -j"${VELLORN_JOBS:-$(nproc)}" "$@"
