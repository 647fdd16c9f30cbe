#!/usr/bin/env bash
# Cross-builds vantaloop for 64-bit Windows with mingw-w64:
#
#   scripts/build-windows.sh          # build-windows/vantaloop.exe, its tests and the ZIP
#
# SDL2 comes from Debian's own source package of the SDL2 the Linux build
# uses: fetched once with `apt-get source` through a private list of source
# entries (the system's own entries as deb-src), cross-built with only what
# the game needs (video, events, joystick and game controller, timers) and
# kept in a cache outside the clone ($VANTALOOP_CACHE, by default
# ~/.cache/vantaloop), so later builds need neither the network nor the
# minutes of that build. The game links SDL2 and the C++ runtime statically:
# vantaloop.exe is one file that runs as it is.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/deps.sh
ensure_packages "${WINDOWS_PACKAGES[@]}"
jobs=$(nproc)
toolchain=$PWD/cmake/mingw-w64-x86_64.cmake
cache=${VANTALOOP_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/vantaloop}
mkdir -p "$cache"

source scripts/sdl2_source.sh
sdl_prefix=$cache/sdl2-$sdl_version-mingw-w64

build_sdl2_once "Windows" cmake -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
  -DSDL2_DISABLE_SDL2MAIN=OFF -DSDL_VULKAN=OFF -DSDL_DIRECTX=ON -DSDL_RENDER_D3D=OFF
# --sdl2-only: only the cached SDL2 build, as test.sh starts it early.
[ "${1:-}" = --sdl2-only ] && exit 0

echo "== Build for Windows"
cmake --preset windows -DSDL2_DIR="$sdl_prefix/lib/cmake/SDL2" >/dev/null
cmake --build --preset windows -j"$jobs"
(cd build-windows && cpack -G ZIP >/dev/null)
echo "vantaloop for Windows: build-windows/vantaloop.exe; for players: $(ls build-windows/vantaloop-*-win64.zip)"
