#!/usr/bin/env bash
# Installs what is missing, then configures and builds everything into BUILD (default: build/).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$here/build}
bash "$here/scripts/setup.sh"
if [ ! -f "$build/build.ninja" ]; then
  cmake -S "$here" -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$here/cmake/mingw-i686.cmake" \
    >"$build.configure.log" 2>&1 || { cat "$build.configure.log"; exit 1; }
  rm -f "$build.configure.log"
fi
set +e
cmake --build "$build" -- -j"${VELLORN_JOBS:-$(nproc)}" "$@" | grep -vE '^(\[[0-9]+/[0-9]+\] |ninja: no work to do)'
status=${PIPESTATUS[0]}
exit "$status"
