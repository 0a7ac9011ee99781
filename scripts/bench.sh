#!/usr/bin/env bash
# Builds and runs the benchmark programs under Wine (all, or those named: scripts/bench.sh
# bench_tree bench_outside); each prints its median figures. A benchmark that fails (a box it
# would have shown, a crash) is named at the end and the others still run. The run's output is
# kept in build/bench.log: scripts/bench-table.py makes the README's table from it.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$here/build}
mkdir -p "$build"
bash "$here/scripts/build.sh"
"$here/tools/wine-session" up "$build"
log="$build/bench.log"
echo "# $(date -u '+%Y-%m-%d %H:%M') UTC, load average $(cut -d' ' -f1-3 /proc/loadavg), $(nproc) cores" | tee "$log"
programs=()
if [ $# -gt 0 ]; then
  for name in "$@"; do programs+=("$build/bench/${name%.exe}.exe"); done
else
  programs=("$build"/bench/bench_*.exe)
fi
failed=()
for b in "${programs[@]}"; do
  [ -e "$b" ] || { failed+=("$(basename "$b" .exe)"); continue; }
  echo "== $(basename "$b" .exe)" | tee -a "$log"
  "$here/tools/wine-session" run "$build" "$b" 2>&1 | tee -a "$log" || failed+=("$(basename "$b" .exe)")
done
if [ ${#failed[@]} -gt 0 ]; then
  echo "bench: failed: ${failed[*]}" | tee -a "$log" >&2
  exit 1
fi
