#!/usr/bin/env bash
# Random user sessions against a model of the archive (tests/soak): N sessions of M actions from
# seed S (seeds S, S+1, ...), each on a fresh copy of the default archive. Prints one line per
# divergence (seed, first difference, the log with the session's actions) and last
#   soak: N sessions, M actions each, seed S: D divergences
# and exits 0 only when D is 0. --avoid KINDS leaves out kinds of action (a comma list of
# close-typeahead, rename-at-close, keys-popup; without --avoid all three);
# --avoid none plays every kind. Same seed, same session.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$here/build}
sessions=20 actions=40 seed=1 avoid=close-typeahead,rename-at-close,keys-popup
while [ $# -gt 0 ]; do
  case "$1" in
    --sessions) sessions=${2:?--sessions N}; shift 2 ;;
    --actions) actions=${2:?--actions M}; shift 2 ;;
    --seed) seed=${2:?--seed S}; shift 2 ;;
    --avoid) avoid=${2:?--avoid KINDS}; shift 2 ;;
    *) echo "soak: unknown argument $1" >&2; exit 2 ;;
  esac
done
bash "$here/scripts/build.sh" >&2
"$here/tools/wine-session" up "$build" >&2
trap '"$here/tools/wine-session" down "$build"' EXIT
out=$(mktemp)
SOAK_SESSIONS=$sessions SOAK_ACTIONS=$actions SOAK_SEED=$seed SOAK_AVOID=$avoid VELLORN_TEST_LIMIT_MS=2000000000 \
  "$here/tools/wine-session" run "$build" "$build/tests/test_soak.exe" >"$out" 2>&1 || true
# The program's texts are code page 1251.
lines=$(iconv -f cp1251 -t utf-8 <"$out" | tr -d '\r' | grep '^soak: ' || true)
rm -f "$out"
summary=$(printf '%s\n' "$lines" | grep -E '^soak: [0-9]+ sessions, .* divergences$' || true)
if [ -z "$summary" ]; then
  printf '%s\n' "$lines"
  echo "soak: $sessions sessions, $actions actions each, seed $seed: the run ended before its summary"
  exit 1
fi
printf '%s\n' "$lines" | grep -v -E '^soak: [0-9]+ sessions, ' || true
echo "$summary"
[ "$(echo "$summary" | sed -E 's/.*: ([0-9]+) divergences$/\1/')" -eq 0 ]
