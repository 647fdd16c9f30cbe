#!/usr/bin/env bash
# The web page's end-to-end test (tests/web/page_test.js) in Debian's
# headless Chromium, against the native game's first frame:
#
#   tests/web/run.sh            # after the default build (build/) and scripts/build-web.sh
#
# The native frames come from build/vantaloop on SDL's offscreen driver,
# its back buffer read at its first buffer swaps (tests/e2e/tools/frame_grab.cpp):
# the first one that shows anything is the first game frame (a window shown
# may be painted once before it).
# Set VANTALOOP_WEB_SHOTS to a folder to keep the pictures.
set -euo pipefail
cd "$(dirname "$0")/../.."
source scripts/web_env.sh
[ -f build-web/vantaloop.html ] || { echo "FAIL: no build-web/vantaloop.html (run scripts/build-web.sh)" >&2; exit 1; }
grab=$(ls build/libframe_grab.so 2>/dev/null || true)
[ -x build/vantaloop ] && [ -n "$grab" ] || { echo "FAIL: no build/vantaloop and frame_grab (the default build)" >&2; exit 1; }
# The test's driver, at the version the lock file names. npm comes with
# node where node is not Debian's own.
command -v npm >/dev/null || { source scripts/deps.sh; ensure_packages npm; }
(cd tests/web && npm ci --no-audit --no-fund --loglevel=error >/dev/null)

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/native" "$work/grab"
root=$PWD
(cd "$work/native" && SDL_VIDEODRIVER=offscreen VANTALOOP_NO_DIALOGS=1 VANTALOOP_GRAB_DIR="$work/grab" \
  VANTALOOP_GRAB_SWAPS=3 LD_PRELOAD="$root/$grab" exec "$root/build/vantaloop" >/dev/null 2>&1) &
native=$!
# The pictures are written whole under their names. (The limit only stops
# a game that never starts.)
for _ in $(seq 1 1200); do [ -f "$work/grab/swap3.ppm" ] && break; sleep 0.1; done
kill "$native" 2>/dev/null || true
wait "$native" 2>/dev/null || true
[ -f "$work/grab/swap3.ppm" ] || { echo "FAIL: the native game drew no frames" >&2; exit 1; }
if [ -n "${VANTALOOP_WEB_SHOTS:-}" ]; then mkdir -p "$VANTALOOP_WEB_SHOTS" && cp "$work/grab"/swap*.ppm "$VANTALOOP_WEB_SHOTS/"; fi
NODE_PATH=tests/web/node_modules node tests/web/page_test.js build-web "$work/grab" "$work"
