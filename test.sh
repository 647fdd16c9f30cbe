#!/usr/bin/env bash
# Builds vantaloop and runs every test: the logic and GL-stream tests, the
# headless rendering tests and the end-to-end tests of the real program
# under Xvfb first, then the logic tests again under AddressSanitizer and
# UndefinedBehaviorSanitizer, a short run of each fuzz target, the same
# tests of the Windows build under Wine, and the web page in headless
# Chromium. Each build folder is one of the presets in CMakePresets.json.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/deps.sh
stages=("${GAME_PACKAGES[@]}" "${TESTING_PACKAGES[@]}" "${TEST_PACKAGES[@]}")
[ -z "${VANTALOOP_SKIP_WINDOWS:-}" ] && stages+=("${WINDOWS_PACKAGES[@]}")
[ -z "${VANTALOOP_SKIP_WEB:-}" ] && stages+=("${WEB_PACKAGES[@]}")
# Everything is installed first: nothing later runs apt beside another apt.
ensure_packages "${stages[@]}"
jobs=$(nproc)
export VANTALOOP_NO_DIALOGS=1

# SDL2 for Windows and for the web is built once and kept; where it is not
# kept yet, it is built in the background at the lowest priority, on the
# time the Linux stages leave the processors idle. Each stage later takes
# the cache's lock and so waits for a build still running, or builds SDL2
# itself if the background one failed.
sdl_builds=()
[ -z "${VANTALOOP_SKIP_WINDOWS:-}" ] && sdl_builds+=("scripts/build-windows.sh --sdl2-only")
[ -z "${VANTALOOP_SKIP_WEB:-}" ] && sdl_builds+=("scripts/build-web.sh --sdl2-only")
if [ ${#sdl_builds[@]} -gt 0 ]; then
  sdl_log=$(mktemp /tmp/vantaloop-sdl2-builds.XXXXXX)
  setsid nice -n 19 bash -c "$(printf '%s && ' "${sdl_builds[@]}") true" >"$sdl_log" 2>&1 &
  sdl_pid=$!
  # A trap that fails would fail the run: the builds are usually over by then.
  trap 'kill -- -"$sdl_pid" 2>/dev/null || true; rm -f "$sdl_log"' EXIT
fi

echo "== Build"
cmake --preset default >/dev/null
cmake --build --preset default -j"$jobs"

echo "== Tests"
ctest --preset default -j"$jobs"

echo "== Build (sanitizers, logic only)"
cmake --preset sanitize >/dev/null
cmake --build --preset sanitize -j"$jobs"
echo "== Tests under AddressSanitizer and UndefinedBehaviorSanitizer"
ctest --preset sanitize -j"$jobs"

echo "== Fuzz targets (libFuzzer with clang), a fixed number of runs each"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j"$jobs"
fuzz/run.sh build-fuzz 20000

# Windows: the game cross-built with mingw-w64 and tested under Wine, the
# end-to-end scripts included (SDL2 is built once, then kept in
# ~/.cache/vantaloop). VANTALOOP_SKIP_WINDOWS=1 leaves it out of a quick
# local run; CI always runs it.
if [ -z "${VANTALOOP_SKIP_WINDOWS:-}" ]; then
  echo "== Windows (mingw-w64), tests under Wine"
  scripts/build-windows.sh
  ctest --preset windows -j"$jobs"
fi

# The web page: the game built with Emscripten, its unit tests under node
# and the page end to end in headless Chromium with software WebGL (SDL2
# is built for the web once, then kept in ~/.cache/vantaloop).
# VANTALOOP_SKIP_WEB=1 leaves it out of a quick local run; CI always runs it.
if [ -z "${VANTALOOP_SKIP_WEB:-}" ]; then
  echo "== Web page (Emscripten): unit tests under node, the page in headless Chromium"
  scripts/build-web.sh
  ctest --preset web -j"$jobs"
  tests/web/run.sh
fi
