# The window's close request ends the game cleanly, after it was moved and
# resized for real.
source "$(dirname "$0")/lib.sh"
e2e_init "$1"
e2e_start_xvfb

e2e_launch
e2e_window
sleep 0.5

xdotool windowmove "$WID" 40 30
xdotool windowsize "$WID" 640 400
sleep 0.3
xdotool windowsize "$WID" 3 2
sleep 0.3
xdotool windowsize "$WID" 900 560
sleep 0.3
kill -0 "$GAME_PID" 2>/dev/null || fail "the game ended while its window was moved and resized"

e2e_close
e2e_wait_exit 20
[ "$GAME_RC" = 0 ] || fail "exit status $GAME_RC"
hwnd=$(sed -n 5p "$WORK/log.txt")
e2e_expect_log "CreateGLWindow()" "load cursors" "numjoyaxes: 0" "glkInit()" "$hwnd" \
  "enter message loop ------------ USAGE START" "${SHUTDOWN_LINES[@]}"
[ ! -s "$WORK/stderr.txt" ] || fail "the game complained: $(cat "$WORK/stderr.txt")"
echo "PASS: closing the window ends the game"
