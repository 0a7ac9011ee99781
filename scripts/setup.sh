#!/usr/bin/env bash
# Installs everything the build and the tests need on Debian 12 (root): the i386 architecture,
# source entries for apt-get source, the mingw-w64 toolchain, Wine, Xvfb, the ru_RU.UTF-8 locale,
# and libjpeg cross-built for i686 into a cache outside the source tree. Idempotent and quiet
# when everything is already in place.
set -euo pipefail

PKGS=(g++-mingw-w64-i686-posix wine wine32:i386 xvfb xauth fonts-wine ninja-build googletest
      dpkg-dev locales nasm procps imagemagick ccache x11-utils xdotool)

log() { echo "setup: $*" >&2; }
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"

need_update=0
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  log "adding the i386 architecture"
  $SUDO dpkg --add-architecture i386
  need_update=1
fi

# deb-src entries beside the deb ones, so that apt-get source works.
if ! grep -rqs 'deb-src' /etc/apt/sources.list /etc/apt/sources.list.d/ ; then
  log "adding source entries"
  if [ -f /etc/apt/sources.list.d/debian.sources ]; then
    sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources \
      | $SUDO tee /etc/apt/sources.list.d/vellorn-src.sources >/dev/null
  elif [ -f /etc/apt/sources.list ]; then
    grep '^deb ' /etc/apt/sources.list | sed 's/^deb /deb-src /' \
      | $SUDO tee /etc/apt/sources.list.d/vellorn-src.list >/dev/null
  fi
  need_update=1
fi

missing=()
for p in "${PKGS[@]}"; do
  name=${p%%:*}; arch=${p#*:}; [ "$arch" = "$p" ] && arch=""
  q=$name; [ -n "$arch" ] && q="$name:$arch"
  st=$(dpkg-query -W -f='${Status}' "$q" 2>/dev/null || true)
  [ "$st" = "install ok installed" ] || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  log "installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq >/dev/null
  need_update=0
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# The Russian locale, so that Cyrillic file names and arguments reach Wine intact.
if ! locale -a 2>/dev/null | grep -qi '^ru_RU\.utf-\?8$'; then
  log "generating the ru_RU.UTF-8 locale"
  $SUDO localedef -i ru_RU -f UTF-8 ru_RU.UTF-8 >/dev/null 2>&1 || true
fi

# libjpeg, cross-built once into a cache outside the source tree.
JPEG_PREFIX=${VELLORN_DEPS:-$HOME/.cache/vellorn}/libjpeg-i686
if [ ! -f "$JPEG_PREFIX/lib/libjpeg.a" ]; then
  log "building libjpeg for i686 into $JPEG_PREFIX"
  [ $need_update -eq 1 ] && $SUDO apt-get update -qq >/dev/null
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
  ( cd "$work" && apt-get source -qq --only-source libjpeg-turbo >/dev/null 2>&1 ) || {
    $SUDO apt-get update -qq >/dev/null
    ( cd "$work" && apt-get source -qq --only-source libjpeg-turbo >/dev/null )
  }
  src=$(find "$work" -maxdepth 1 -type d -name 'libjpeg-turbo-*' | head -n1)
  here=$(cd "$(dirname "$0")/.." && pwd)
  cmake -S "$src" -B "$work/build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$here/cmake/mingw-i686.cmake" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$JPEG_PREFIX" -DENABLE_SHARED=OFF -DENABLE_STATIC=ON \
    -DWITH_TURBOJPEG=OFF -DWITH_SIMD=ON -Wno-dev >"$work/log" 2>&1 || { cat "$work/log"; exit 1; }
  cmake --build "$work/build" >"$work/log" 2>&1 || { cat "$work/log"; exit 1; }
  cmake --install "$work/build" >"$work/log" 2>&1 || { cat "$work/log"; exit 1; }
fi
exit 0
