#!/usr/bin/env bash
# Builds everything and starts Vellorn under Wine on its default archive.
# With $DISPLAY set the program runs there in the foreground; without one it runs in a Wine
# session of its own (build/run-session: prefix, Xvfb display, server), apart from the one the
# tests use, and this script prints the path of a screenshot taken after start-up.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$here/build}
mkdir -p "$build"
bash "$here/scripts/build.sh"
bin="$build/app"

# The default archive goes beside the program when it has none; a user's archive is never touched.
for d in FILES Skins; do
  if [ -d "$here/app/defaults/$d" ] && [ ! -e "$bin/$d" ]; then
    cp -r "$here/app/defaults/$d" "$bin/$d"
  fi
done

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  export WINEPREFIX="$build/wineprefix-desktop" WINEARCH=win32 WINEDEBUG=-all,err+module
  export WINEDLLOVERRIDES="mscoree,mshtml=" LC_ALL=ru_RU.UTF-8 LANG=ru_RU.UTF-8
  if [ ! -d "$WINEPREFIX" ]; then
    wineboot -i >/dev/null 2>&1; wineserver -w
    cp -n /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
  fi
  cd "$bin" && exec wine ./Vellorn.exe "$@"
fi

# Not the tests' session: a program running there would cover their windows and take the focus,
# and the end of a test run would end the program.
session="$here/tools/wine-session"
own="$build/run-session"
mkdir -p "$own"
"$session" up "$own"
( cd "$bin" && exec setsid "$session" run "$own" ./Vellorn.exe "$@" ) </dev/null >/dev/null 2>&1 &
eval "$("$session" env "$own")"
for _ in $(seq 1 100); do
  xwininfo -root -tree 2>/dev/null | grep -q '"Vellorn' && break
  sleep 0.1
done
sleep 5  # the splash closes itself after 3 s
shot="$build/screenshot.png"
"$session" shot "$own" "$shot"
echo "Vellorn is running on the private display $DISPLAY."
echo "Screenshot: $shot"
echo "End it with: tools/wine-session down $own"
