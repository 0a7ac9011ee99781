#!/usr/bin/env bash
# Random user sessions against a model of the archive (tests/soak): N sessions of M actions from
# seed S (seeds S, S+1, ...), each on a fresh copy of the default archive. Prints one line per
# divergence (seed, its kind and first line, the log with the session's actions), the time a
# session took, and last
#   soak: N sessions, M actions each, seed S: D divergences
# and exits 0 only when D is 0. N counts the sessions really compared: when a run dies, the line
# says "soak: C of N sessions compared, ..." and the exit is non-zero. Every kind of action is played; --avoid KINDS leaves kinds out (a
# comma list of close-typeahead, rename-at-close, keys-popup, blank-titles, named-tree, kill). Same seed, same session. --jobs K
# plays K runs of the seeds side by side, each in a Wine session of its own.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$here/build}
sessions=20 actions=40 seed=1 jobs=1 avoid=none
while [ $# -gt 0 ]; do
  case "$1" in
    --sessions) sessions=${2:?--sessions N}; shift 2 ;;
    --actions) actions=${2:?--actions M}; shift 2 ;;
    --seed) seed=${2:?--seed S}; shift 2 ;;
    --avoid) avoid=${2:?--avoid KINDS}; shift 2 ;;
    --jobs) jobs=${2:?--jobs K}; shift 2 ;;
    *) echo "soak: unknown argument $1" >&2; exit 2 ;;
  esac
done
# One soak at a time in a build dir: a second one would rebuild the program under the first one's
# runs and bring up the same Wine sessions, whose programs would take the first one's keys and
# windows (which then diverge). The lock is held by the runs themselves, so a run left over from
# a soak that was killed still holds it.
mkdir -p "$build/soak"
exec 8>"$build/soak/lock"
if ! flock -n 8; then
  echo "soak: another soak is running in $build (its lock: $build/soak/lock)" >&2
  exit 2
fi
bash "$here/scripts/build.sh" >&2 8>&-
# The sessions are shared out among the jobs in runs of consecutive seeds; each job plays its run
# in a Wine session of its own (build/soak/K: its own display and prefix).
[ "$jobs" -gt "$sessions" ] && jobs=$sessions
[ "$jobs" -lt 1 ] && jobs=1
dirs=() pids=()
stop() {
  local pid d
  for pid in ${pids[@]+"${pids[@]}"}; do kill -- -"$pid" 2>/dev/null || true; done
  for d in ${dirs[@]+"${dirs[@]}"}; do VELLORN_SESSION="$d" "$here/tools/wine-session" down "$build" >/dev/null 2>&1 8>&- || true; done
}
trap stop EXIT
first=$seed
for k in $(seq 1 "$jobs"); do
  count=$(( sessions / jobs + (k <= sessions % jobs ? 1 : 0) ))
  d="$build/soak/$k"
  mkdir -p "$d"
  dirs+=("$d")
  VELLORN_SESSION="$d" "$here/tools/wine-session" up "$build" >&2 8>&-
  SOAK_SESSIONS=$count SOAK_ACTIONS=$actions SOAK_SEED=$first SOAK_AVOID=$avoid VELLORN_TEST_LIMIT_MS=2000000000 \
    VELLORN_SESSION="$d" setsid "$here/tools/wine-session" run "$build" "$build/tests/test_soak.exe" >"$d/out" 2>&1 </dev/null &
  pids+=($!)
  first=$((first + count))
done
failed=0
for pid in "${pids[@]}"; do wait "$pid" || true; done
pids=()
total=0 compared=0 times=()
for d in "${dirs[@]}"; do
  # The program's texts are code page 1251.
  lines=$(iconv -f cp1251 -t utf-8 <"$d/out" | tr -d '\r' | grep '^soak: ' || true)
  summary=$(printf '%s\n' "$lines" | grep -E '^soak: [0-9]+ sessions, .* divergences$' || true)
  done_here=$(printf '%s\n' "$lines" | grep -E '^soak: seed [0-9]+ compared in ' || true)
  printf '%s\n' "$lines" | grep -v -E '^soak: ([0-9]+ sessions, |seed [0-9]+ compared in |[0-9.]+-[0-9.]+ s a session)' |
    grep -v '^$' || true
  if [ -n "$done_here" ]; then
    compared=$((compared + $(printf '%s\n' "$done_here" | wc -l)))
    total=$((total + $(printf '%s\n' "$done_here" | sed -E 's/.*: ([0-9]+) divergences.*/\1/' | awk '{ s += $1 } END { print s }')))
    times+=($(printf '%s\n' "$done_here" | sed -E 's/.* compared in ([0-9.]+) s.*/\1/'))
  fi
  if [ -z "$summary" ]; then
    # The run died (a crash, its watchdog): the sessions it did not compare are not counted.
    echo "soak: the run of $d ended before its summary (its output: $d/out; last lines:)"
    iconv -f cp1251 -t utf-8 <"$d/out" | tr -d '\r' | tail -n 5 | sed 's/^/  /'
    failed=1
  fi
done
if [ "${#times[@]}" -gt 0 ]; then
  printf '%s\n' "${times[@]}" | sort -n | awk -v jobs="$jobs" '
    { t[NR] = $1; sum += $1 }
    END { printf "soak: %.1f s a session on average (%.1f-%.1f s, median %.1f s), %d runs side by side\n",
          sum / NR, t[1], t[NR], t[int((NR + 1) / 2)], jobs }'
fi
if [ "$compared" -eq "$sessions" ] && [ "$failed" -eq 0 ]; then
  echo "soak: $sessions sessions, $actions actions each, seed $seed: $total divergences"
else
  echo "soak: $compared of $sessions sessions compared, $actions actions each, seed $seed: $total divergences"
  failed=1
fi
[ "$failed" -eq 0 ] && [ "$total" -eq 0 ]
