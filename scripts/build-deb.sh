#!/usr/bin/env bash
# Builds the game alone and its Debian package,
# build-deb/vantaloop_VERSION_ARCH.deb (the deb preset: no tests, so it
# needs only what building the game needs).
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/deps.sh
ensure_packages "${GAME_PACKAGES[@]}" "${PACKAGE_PACKAGES[@]}"
cmake --preset deb >/dev/null
cmake --build --preset deb -j"$(nproc)"
cpack --preset deb
rm -rf build-deb/_CPack_Packages
