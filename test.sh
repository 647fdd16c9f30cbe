#!/usr/bin/env bash
# Builds vantaloop and runs every test: the logic and GL-stream tests, the
# headless rendering tests and the end-to-end tests of the real program
# under Xvfb first, then the logic tests again under AddressSanitizer and
# UndefinedBehaviorSanitizer, a short run of each fuzz target, and the same
# tests of the Windows build under Wine. Each build folder is one of the
# presets in CMakePresets.json.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/deps.sh
ensure_packages "${GAME_PACKAGES[@]}" "${TESTING_PACKAGES[@]}" "${TEST_PACKAGES[@]}"
jobs=$(nproc)
export VANTALOOP_NO_DIALOGS=1

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
