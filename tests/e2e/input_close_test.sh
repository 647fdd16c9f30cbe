# The window's close request ends the game cleanly, after it was moved and
# resized for real.
source "$(dirname "$0")/lib.sh"
e2e_desktop "$1"

e2e_start
# Each change is handled by the time a few more frames are drawn.
xdotool windowmove "$WID" 40 30
xdotool windowsize "$WID" 640 400
e2e_wait_frames +5
xdotool windowsize "$WID" 3 2
e2e_wait_frames +5
xdotool windowsize "$WID" 900 560
e2e_wait_frames +5
kill -0 "$GAME_PID" 2>/dev/null || fail "the game ended while its window was moved and resized"

e2e_close
e2e_wait_exit 20
[ "$GAME_RC" = 0 ] || fail "exit status $GAME_RC"
hwnd=$(sed -n 5p "$WORK/log.txt")
e2e_expect_log "CreateGLWindow()" "load cursors" "numjoyaxes: 0" "glkInit()" "$hwnd" \
  "enter message loop ------------ USAGE START" "${SHUTDOWN_LINES[@]}"
[ ! -s "$WORK/stderr.txt" ] || fail "the game complained: $(cat "$WORK/stderr.txt")"
echo "PASS: closing the window ends the game"
