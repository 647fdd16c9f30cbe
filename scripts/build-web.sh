#!/usr/bin/env bash
# Builds vantaloop as a web page with Emscripten:
#
#   scripts/build-web.sh      # build-web/vantaloop.html, .js, .wasm and vantaloop-1.0.0-web.zip
#
# The page needs no special server: any static host serves the folder or
# the ZIP as it is (try `python3 -m http.server -d build-web`). SDL2 comes
# from Debian's own source package of the SDL2 the Linux build uses, built
# for the web once with only what the game needs (video, events, joystick
# and game controller, timers) and kept in the cache outside the clone
# ($VANTALOOP_CACHE, by default ~/.cache/vantaloop), as the Windows build
# does.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/deps.sh
ensure_packages "${WEB_PACKAGES[@]}"
source scripts/web_env.sh
jobs=$(nproc)
cache=${VANTALOOP_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/vantaloop}
mkdir -p "$cache"

source scripts/sdl2_source.sh
sdl_prefix=$cache/sdl2-$sdl_version-emscripten

build_sdl2() {
  local work=$cache/sdl2-web-work
  rm -rf "$work" "$sdl_prefix"
  mkdir -p "$work"
  echo "== SDL2 $sdl_version for the web (once; kept in $sdl_prefix)"
  local src
  src=$(fetch_sdl2_source "$work")
  emcmake cmake -S "$src" -B "$work/build" -G "Unix Makefiles" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$sdl_prefix" \
    -DSDL_SHARED=OFF -DSDL_STATIC=ON -DSDL_TEST=OFF -DSDL_THREADS=OFF -DSDL_PTHREADS=OFF \
    -DSDL_AUDIO=OFF -DSDL_RENDER=OFF -DSDL_HAPTIC=OFF -DSDL_POWER=OFF -DSDL_SENSOR=OFF \
    -DSDL_LOCALE=OFF -DSDL_MISC=OFF -DSDL_FILESYSTEM=OFF -DSDL_LOADSO=OFF \
    >"$work/configure.log" 2>&1 || { cat "$work/configure.log" >&2; exit 1; }
  cmake --build "$work/build" -j"$jobs" >"$work/build.log" 2>&1 || { tail -n 50 "$work/build.log" >&2; exit 1; }
  cmake --install "$work/build" >/dev/null
  touch "$sdl_prefix/.complete"
  rm -rf "$work"
}

# One build of SDL2 at a time; a second caller waits and then finds it done.
exec 9>"$cache/.lock"
flock 9
[ -f "$sdl_prefix/.complete" ] || build_sdl2
flock -u 9

echo "== Build for the web"
cmake --preset web -DSDL2_DIR="$sdl_prefix/lib/cmake/SDL2" >/dev/null
cmake --build --preset web -j"$jobs"
rm -f build-web/vantaloop-*-web.zip
(cd build-web && zip -q -9 "vantaloop-$(sed -n 's/^project(vantaloop VERSION \([0-9.]*\).*/\1/p' ../CMakeLists.txt)-web.zip" \
  vantaloop.html vantaloop.js vantaloop.wasm)
echo "vantaloop for the web: build-web/vantaloop.html; for static hosts: $(ls build-web/vantaloop-*-web.zip)"
