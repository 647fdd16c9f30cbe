#!/usr/bin/env bash
# Builds vantaloop and runs every test: the logic and GL-stream tests (also
# under AddressSanitizer and UndefinedBehaviorSanitizer), the headless
# rendering tests, the end-to-end tests of the real program under Xvfb, a
# short run of each fuzz target, and the same tests of the Windows build under
# Wine.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/deps.sh
source scripts/build_folder.sh
ensure_packages "${GAME_PACKAGES[@]}" "${TEST_PACKAGES[@]}"
jobs=$(nproc)

echo "== Build"
configure_build
cmake --build build -j"$jobs"

echo "== Build (sanitizers, logic only)"
cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=Debug -DVANTALOOP_CORE_ONLY=ON -DVANTALOOP_SANITIZE=ON >/dev/null
cmake --build build-sanitize -j"$jobs"

export VANTALOOP_NO_DIALOGS=1
echo "== Tests under AddressSanitizer and UndefinedBehaviorSanitizer"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir build-sanitize -j"$jobs" --output-on-failure

echo "== Fuzz targets (libFuzzer with clang), a fixed number of runs each"
cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ -DVANTALOOP_FUZZ=ON >/dev/null
cmake --build build-fuzz -j"$jobs"
fuzz/run.sh build-fuzz 20000

# Windows: the game cross-built with mingw-w64 and tested under Wine, the
# end-to-end scripts included (SDL2 is built once, then kept in
# ~/.cache/vantaloop). VANTALOOP_SKIP_WINDOWS=1 leaves it out of a quick
# local run; CI always runs it.
if [ -z "${VANTALOOP_SKIP_WINDOWS:-}" ]; then
  echo "== Windows (mingw-w64), tests under Wine"
  scripts/build-windows.sh
  VANTALOOP_X11_CLOSE=$PWD/build/x11_close ctest --test-dir build-windows -j"$jobs" --output-on-failure --no-tests=error
fi

echo "== All tests"
ctest --test-dir build -j"$jobs" --output-on-failure

