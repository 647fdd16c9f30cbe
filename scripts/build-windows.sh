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

build_sdl2() {
  local work=$cache/sdl2-work
  rm -rf "$work" "$sdl_prefix"
  mkdir -p "$work"
  echo "== SDL2 $sdl_version for Windows (once; kept in $sdl_prefix)"
  local src
  src=$(fetch_sdl2_source "$work")
  cmake -S "$src" -B "$work/build" -G "Unix Makefiles" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$sdl_prefix" \
    -DSDL_SHARED=OFF -DSDL_STATIC=ON -DSDL_TEST=OFF -DSDL2_DISABLE_SDL2MAIN=OFF \
    -DSDL_AUDIO=OFF -DSDL_RENDER=OFF -DSDL_HAPTIC=OFF -DSDL_POWER=OFF -DSDL_SENSOR=OFF \
    -DSDL_LOCALE=OFF -DSDL_MISC=OFF -DSDL_VULKAN=OFF -DSDL_DIRECTX=ON -DSDL_RENDER_D3D=OFF \
    >"$work/configure.log" || { cat "$work/configure.log" >&2; exit 1; }
  cmake --build "$work/build" -j"$jobs" >"$work/build.log" || { tail -n 50 "$work/build.log" >&2; exit 1; }
  cmake --install "$work/build" >/dev/null
  touch "$sdl_prefix/.complete"
  rm -rf "$work"
}

# One build of SDL2 at a time; a second caller waits and then finds it done.
exec 9>"$cache/.lock"
flock 9
[ -f "$sdl_prefix/.complete" ] || build_sdl2
flock -u 9

echo "== Build for Windows"
cmake --preset windows -DSDL2_DIR="$sdl_prefix/lib/cmake/SDL2" >/dev/null
cmake --build --preset windows -j"$jobs"
(cd build-windows && cpack -G ZIP >/dev/null)
echo "vantaloop for Windows: build-windows/vantaloop.exe; for players: $(ls build-windows/vantaloop-*-win64.zip)"
