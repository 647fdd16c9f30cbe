#!/usr/bin/env bash
# Builds vantaloop (in build/, the default preset, which ./test.sh uses too)
# and starts it. The game keeps its log and its recorded flights in ./data
# (log.txt, mem.txt, recordings/).
set -euo pipefail
cd "$(dirname "$0")"
source scripts/deps.sh
ensure_packages "${GAME_PACKAGES[@]}" "${TESTING_PACKAGES[@]}"

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${SDL_VIDEODRIVER:-}" ]; then
  echo "vantaloop: no display found (DISPLAY and WAYLAND_DISPLAY are unset); run it on a desktop, or in a virtual one with: xvfb-run -s '-screen 0 1280x800x24' ./play.sh" >&2
  exit 1
fi

cmake --preset default >/dev/null
cmake --build --preset default -j"$(nproc)" --target vantaloop
mkdir -p data/recordings
cd data
exec ../build/vantaloop
