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

build_sdl2_once "the web" emcmake cmake -DSDL_THREADS=OFF -DSDL_PTHREADS=OFF \
  -DSDL_FILESYSTEM=OFF -DSDL_LOADSO=OFF
# --sdl2-only: only the cached SDL2 build, as test.sh starts it early.
[ "${1:-}" = --sdl2-only ] && exit 0

echo "== Build for the web"
cmake --preset web -DSDL2_DIR="$sdl_prefix/lib/cmake/SDL2" >/dev/null
cmake --build --preset web -j"$jobs"
rm -f build-web/vantaloop-*-web.zip
(cd build-web && zip -q -9 "vantaloop-$(sed -n 's/^project(vantaloop VERSION \([0-9.]*\).*/\1/p' ../CMakeLists.txt)-web.zip" \
  vantaloop.html vantaloop.js vantaloop.wasm)
echo "vantaloop for the web: build-web/vantaloop.html; for static hosts: $(ls build-web/vantaloop-*-web.zip)"
