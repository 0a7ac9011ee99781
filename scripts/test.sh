#!/usr/bin/env bash
# Builds everything and runs the whole test suite under Wine (Xvfb display started and ended here).
# Extra arguments go to ctest, e.g.  scripts/test.sh -R runtime
#   --repeat N   runs the selected tests N times and counts the runs each test program failed
#   --load K     meanwhile runs K copies of the whole suite, each in a Wine session of its own
#                (build/load/K: its own display and prefix), as load beside the selected tests
# GoogleTest reads GTEST_FILTER from the environment, so one case can be repeated too:
#   GTEST_FILTER='WritingEndToEnd.*' scripts/test.sh -R app_extras_gui --repeat 20 --load 3
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$here/build}
repeat=0 load=0
args=()
while [ $# -gt 0 ]; do
  case "$1" in
    --repeat) repeat=${2:?--repeat N}; shift 2 ;;
    --load) load=${2:?--load K}; shift 2 ;;
    *) args+=("$1"); shift ;;
  esac
done
mkdir -p "$build"
bash "$here/scripts/build.sh"
jobs=${VELLORN_JOBS:-$(nproc)}

if [ "$repeat" -eq 0 ] && [ "$load" -eq 0 ]; then
  trap '"$here/tools/wine-session" down "$build"' EXIT
  cd "$build"
  exec ctest --output-on-failure -j"$jobs" ${args[@]+"${args[@]}"}
fi

# The load: each copy runs the suite over and over from a folder of its own (its ctest logs
# there, its Wine session there), until the selected runs are over.
loaders=()
stop_load() {
  local pid k
  for pid in ${loaders[@]+"${loaders[@]}"}; do kill -- -"$pid" 2>/dev/null || true; done
  for pid in ${loaders[@]+"${loaders[@]}"}; do wait "$pid" 2>/dev/null || true; done
  for k in $(seq 1 "$load"); do
    VELLORN_SESSION="$build/load/$k" "$here/tools/wine-session" down "$build"
  done
  "$here/tools/wine-session" down "$build"
}
trap stop_load EXIT
for k in $(seq 1 "$load"); do
  dir="$build/load/$k"
  mkdir -p "$dir"
  echo "subdirs(\"$build\")" >"$dir/CTestTestfile.cmake"
  VELLORN_SESSION="$dir" "$here/tools/wine-session" up "$build"
  VELLORN_SESSION="$dir" setsid bash -c 'cd "$1" && while :; do ctest --output-on-failure -j"$2" >last.log 2>&1 || cp last.log "failed-$(date +%s).log"; done' load "$dir" "$jobs" \
    </dev/null >/dev/null 2>&1 &
  loaders+=($!)
done
[ "$load" -gt 0 ] && echo "test: load of $load suites running ($build/load/1..$load)"

runs=$((repeat > 0 ? repeat : 1))
logs="$build/repeat"
rm -rf "$logs" && mkdir -p "$logs"
declare -A failures=()
passed=0
cd "$build"
for i in $(seq 1 "$runs"); do
  if ctest --output-on-failure -j"$jobs" ${args[@]+"${args[@]}"} >"$logs/run-$i.log" 2>&1; then
    passed=$((passed + 1))
    echo "run $i of $runs: passed"
  else
    # The failed programs, and the cases they name.
    failed=$(sed -n 's/^[[:space:]]*[0-9]* - \([^ ]*\) (.*/\1/p' "$logs/run-$i.log" | tr '\n' ' ')
    cases=$(sed -n 's/.*\[  FAILED  \] \([^ ,]*\.[^ ,]*\).*/\1/p' "$logs/run-$i.log" | sort -u | tr '\n' ' ')
    for t in $failed $cases; do failures[$t]=$((${failures[$t]:-0} + 1)); done
    echo "run $i of $runs: FAILED ${failed}${cases:+(${cases% }) }(log: $logs/run-$i.log)"
  fi
done
for t in "${!failures[@]}"; do echo "  $t failed in ${failures[$t]} of $runs runs"; done
echo "repeat: $passed passed, $((runs - passed)) failed"
[ "$passed" -eq "$runs" ]
