#!/usr/bin/env bash
# Builds the game and its Debian package, build-deb/vantaloop_VERSION_ARCH.deb,
# from the build folder that ./play.sh and ./test.sh use.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/deps.sh
source scripts/build_folder.sh
ensure_packages "${GAME_PACKAGES[@]}" "${PACKAGE_PACKAGES[@]}"
configure_build
cmake --build build -j"$(nproc)" --target vantaloop
cpack --config build/CPackConfig.cmake -B build-deb
rm -rf build-deb/_CPack_Packages
