#!/usr/bin/env bash
# Installs what is missing, then configures and builds everything into BUILD (default: build/).
# Shows how far the build is: the files built out of the total (one updated line on a terminal,
# a line every tenth otherwise); the compiler's own messages pass through as they come.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$here/build}
bash "$here/scripts/setup.sh"
if [ ! -f "$build/build.ninja" ]; then
  echo "build: configuring $build" >&2
  mkdir -p "$build"
  cmake -S "$here" -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$here/cmake/mingw-i686.cmake" \
    >"$build.configure.log" 2>&1 || { cat "$build.configure.log"; exit 1; }
  rm -f "$build.configure.log"
fi
tty=0
[ -t 1 ] && tty=1
set +e
cmake --build "$build" -- -j"${VELLORN_JOBS:-$(nproc)}" "$@" | awk -v tty="$tty" '
  /^\[[0-9]+\/[0-9]+\] / {
    split(substr($1, 2, length($1) - 2), p, "/")
    done = p[1] + 0; total = p[2] + 0
    if (tty) { printf "\rbuild: %d of %d files", done, total; shown = 1 }
    else if (done == total || done - last >= total / 10) { printf "build: %d of %d files\n", done, total; last = done }
    fflush(); next
  }
  /^ninja: no work to do/ { next }
  { if (shown) { printf "\r\033[K"; shown = 0 } print; fflush() }
  END { if (shown) printf "\n" }'
status=${PIPESTATUS[0]}
exit "$status"
