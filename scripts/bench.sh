#!/usr/bin/env bash
# Builds and runs every benchmark program under Wine; each prints its median figures.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$here/build}
mkdir -p "$build"
bash "$here/scripts/build.sh"
"$here/tools/wine-session" up "$build"
for b in "$build"/bench/bench_*.exe; do
  [ -e "$b" ] || continue
  echo "== $(basename "$b" .exe)"
  "$here/tools/wine-session" run "$build" "$b"
done
