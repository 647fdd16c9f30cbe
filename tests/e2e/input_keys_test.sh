# Real key presses, pointer moves, clicks and wheel turns in the game's X
# window: none of them but Escape ends the game, and Escape does, cleanly.
source "$(dirname "$0")/lib.sh"
e2e_desktop "$1"

e2e_start

alive() {
  kill -0 "$GAME_PID" 2>/dev/null || fail "the game ended after $1"
}

# Letters, digits, modifiers, Alt combinations (system keys), F10, the
# keypad and the navigation block.
e2e_key a
for keys in "shift+b" "1" "ctrl+c" "alt+x" "F10" "KP_5" "KP_Enter" "Return" "Home" \
            "Delete" "semicolon" "Control_R" "Alt_R" "F1"; do
  xdotool key "$keys"
done
e2e_wait_frames +5
alive "ordinary keys"

# A key held down long enough to repeat, then let go.
xdotool keydown q
sleep 0.6
xdotool keyup q
e2e_wait_frames +5
alive "a held key"

# The pointer over the window, every button, the wheel both ways, and out
# of the window again with the left button down.
xdotool mousemove --window "$WID" 200 150
xdotool click 1 click 2 click 3 click 4 click 4 click 5
xdotool mousemove --window "$WID" 300 200 mousedown 1 mousemove 5 5 mouseup 1
e2e_wait_frames +5
alive "mouse input"

# The US layout has no AltGr: right Alt + keypad 1 with Num Lock on types
# '1' without making right Alt an AltGr, so right Alt + Escape stays a
# system key and does not end the game. Right Alt goes by key number (for
# Alt_R xdotool holds left Alt as well); for KP_1 xdotool turns Num Lock on.
RALT=$(xkbcomp -xkb "$DISPLAY" - 2>/dev/null | sed -n 's/^ *<RALT> *= *\([0-9]*\);.*/\1/p')
e2e_focus
xdotool keydown "$RALT" key KP_1 keyup "$RALT" keydown "$RALT" key Escape keyup "$RALT"
# Had it ended the game, no more frames would come.
e2e_wait_frames +30
! grep -q "leave message loop" "$WORK/log.txt" || fail "right Alt + Escape ended the game"

e2e_escape_and_exit
e2e_expect_log_tail "${SHUTDOWN_LINES[@]}"
[ ! -s "$WORK/stderr.txt" ] || fail "the game complained: $(cat "$WORK/stderr.txt")"
echo "PASS: only Escape ends the game"
