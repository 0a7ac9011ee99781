#!/usr/bin/env bash
# Builds the program (and only what it needs, not the tests) and starts Vellorn under Wine on its
# default archive.
# With $DISPLAY set the program runs there in the foreground; without one it runs in a Wine
# session of its own (build/run-session: prefix, Xvfb display, server), apart from the one the
# tests use, and this script prints the path of a screenshot taken after start-up.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$here/build}
mkdir -p "$build"
bash "$here/scripts/build.sh" Vellorn
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
# The program's windows that are shown: the main window's title ends in "-VLN", and the splash,
# which closes itself after 3 s, is a window without a title.
shown_windows() {
  local id
  for id in $(xwininfo -root -tree 2>/dev/null | awk 'tolower($0) ~ /\("vellorn\.exe"/ {print $1}'); do
    if xwininfo -id "$id" 2>/dev/null | grep -q 'Map State: IsViewable'; then
      xwininfo -id "$id" 2>/dev/null | sed -n 's/^xwininfo: Window id: [^ ]* //p'
    fi
  done
}
# Started once the main window is the only one shown (a first start in a new prefix takes a while;
# a message the program shows at start keeps it waiting up to the limit, and the screenshot shows it).
for _ in $(seq 1 600); do
  windows=$(shown_windows)
  [ -n "$windows" ] && [ "$(printf '%s\n' "$windows" | wc -l)" -eq 1 ] && printf '%s' "$windows" | grep -q -- '-VLN"$' && break
  sleep 0.1
done
shot="$build/screenshot.png"
"$session" shot "$own" "$shot"
echo "Vellorn is running on the private display $DISPLAY."
echo "Screenshot: $shot"
echo "End it with: tools/wine-session down $own"
