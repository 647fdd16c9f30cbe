# The game without any desktop: SDL's offscreen driver, stopped by SIGTERM.
# It must shut down cleanly and leave the complete log. Without a display
# and without the driver named, the start-up fails and says so.
source "$(dirname "$0")/lib.sh"
e2e_unix_only "SDL's offscreen driver and SIGTERM are not Windows'"
e2e_init "$1"

e2e_launch SDL_VIDEODRIVER=offscreen
e2e_wait_frames 60
kill -TERM "$GAME_PID"
e2e_wait_exit 20
[ "$GAME_RC" = 0 ] || fail "exit status $GAME_RC"
hwnd=$(sed -n 5p "$WORK/log.txt")
[[ "$hwnd" =~ ^hwnd=[0-9A-F]{8}$ ]] || fail "bad window handle line: $hwnd"
e2e_expect_log "CreateGLWindow()" "load cursors" "numjoyaxes: 0" "glkInit()" "$hwnd" \
  "enter message loop ------------ USAGE START" "${SHUTDOWN_LINES[@]}"
echo "PASS: SIGTERM ends the headless game with the full log"

e2e_launch -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER
e2e_wait_exit 20
[ "$GAME_RC" != 0 ] || fail "no display, yet a successful exit"
grep -q "Could not create window" "$WORK/stderr.txt" || fail "no clear error without a display"
echo "PASS: without a display the start-up fails with a message"
