# A player whose keyboard layout makes the Caps Lock key type Escape (the
# common XKB option caps:escape) ends the game with that key, and a flight
# of more than 600 frames is saved, as with Escape itself.
source "$(dirname "$0")/lib.sh"
e2e_init "$1"
command -v setxkbmap >/dev/null || fail "setxkbmap is not installed"
e2e_start_xvfb
setxkbmap -option caps:escape || fail "could not set the keyboard option caps:escape"

# The physical Caps Lock key by its X key code: xdotool's name Caps_Lock
# would look for a key that types Caps Lock, which this layout no longer has.
caps=$(xkbcomp -xkb "$DISPLAY" - 2>/dev/null | sed -n 's/^ *<CAPS> *= *\([0-9]*\);.*/\1/p')
[ -n "$caps" ] || fail "no Caps Lock key in the X keymap"

# More than 600 frames at most 62.5 frames a second: at least 9.6 s. A busy
# machine renders slower; a flight that came out too short is flown again
# for twice as long.
FLIGHT_S=${VANTALOOP_E2E_FLIGHT_S:-16}
for seconds in "$FLIGHT_S" $((2 * FLIGHT_S)); do
  e2e_launch
  e2e_window
  sleep "$seconds"
  e2e_key "$caps"
  e2e_wait_exit 20
  [ "$GAME_RC" = 0 ] || fail "exit status $GAME_RC"
  e2e_expect_log_tail "${SHUTDOWN_LINES[@]}"
  [ -f "$WORK/recordings/rec0000.bin" ] && break
  [ -f "$WORK/mem.txt" ] && fail "mem.txt written but no recording saved"
  echo "note: fewer than 601 frames in $seconds s; flying again" >&2
done
[ -f "$WORK/recordings/rec0000.bin" ] || fail "the flight ended with Caps Lock was not saved"
[ "$(cat "$WORK/mem.txt")" = 0 ] || fail "mem.txt holds '$(cat "$WORK/mem.txt")', not 0"
echo "PASS: the key the layout makes Escape ends the game and saves the flight"
