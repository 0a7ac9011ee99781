#!/usr/bin/env bash
# Builds and runs every benchmark program under Wine; each prints its median figures. A benchmark
# that fails (a box it would have shown, a crash) is named at the end and the others still run.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$here/build}
mkdir -p "$build"
bash "$here/scripts/build.sh"
"$here/tools/wine-session" up "$build"
failed=()
for b in "$build"/bench/bench_*.exe; do
  [ -e "$b" ] || continue
  echo "== $(basename "$b" .exe)"
  "$here/tools/wine-session" run "$build" "$b" || failed+=("$(basename "$b" .exe)")
done
if [ ${#failed[@]} -gt 0 ]; then
  echo "bench: failed: ${failed[*]}" >&2
  exit 1
fi
