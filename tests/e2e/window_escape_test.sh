# The game in a real X window, ended by a real Escape key press.
source "$(dirname "$0")/lib.sh"
e2e_desktop "$1"

e2e_start
e2e_escape_and_exit
hwnd=$(sed -n 5p "$WORK/log.txt")
if e2e_under_wine; then
  # On Windows the logged handle is the window's HWND (Wine shows it nowhere
  # on the X side): a handle, not SDL's small window number.
  [[ "$hwnd" =~ ^hwnd=[0-9A-F]{8}$ ]] && [ $((16#${hwnd#hwnd=})) -gt 255 ] || fail "logged $hwnd, no HWND"
else
  # Under X11 the logged handle is the X window id, the one xdotool found.
  [ "$hwnd" = "$(printf 'hwnd=%08X' "$WID")" ] || fail "logged $hwnd for window $WID"
fi
e2e_expect_log "CreateGLWindow()" "load cursors" "numjoyaxes: 0" "glkInit()" "$hwnd" \
  "enter message loop ------------ USAGE START" "${SHUTDOWN_LINES[@]}"
echo "PASS: Escape in the real window ends the game"
