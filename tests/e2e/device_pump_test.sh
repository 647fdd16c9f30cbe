# The device layer reads the keyboard as it is at the moment of the read,
# not as it was when the window's events were last handled: a key pressed
# between two passes of the loop is down at the next device read.
source "$(dirname "$0")/lib.sh"
e2e_desktop "$1"
[ -x "${VANTALOOP_DEVICE_READ:-}" ] || fail "VANTALOOP_DEVICE_READ is not set"

reader=("$VANTALOOP_DEVICE_READ")
e2e_under_wine && reader=("$VANTALOOP_WINE" "$VANTALOOP_DEVICE_READ")
coproc READER { exec "${reader[@]}" 2>"$WORK/stderr.txt"; }
GAME_PID=$READER_PID
read_keys() {
  local answer
  echo read >&"${READER[1]}"
  read -r -t 10 answer <&"${READER[0]}" || fail "the reader did not answer"
  echo "${answer%$'\r'}"
}
read -r -t 20 ready <&"${READER[0]}" && [ "${ready%$'\r'}" = ready ] || fail "the reader did not start"
WID=$(xdotool search --sync --onlyvisible --name '^vantaloop-devices$' | head -n 1)
xdotool windowfocus --sync "$WID" 2>/dev/null || xdotool windowfocus "$WID"
sleep 0.3
read_keys >/dev/null
[ "$(read_keys)" = up ] || fail "Space reads down (or no focus) before it is pressed"

for pass in 1 2 3; do
  xdotool keydown space
  sleep 0.3
  got=$(read_keys)
  [ "$got" = down ] || fail "Space pressed before the read reads '$got' (pass $pass)"
  xdotool keyup space
  sleep 0.3
  got=$(read_keys)
  [ "$got" = up ] || fail "Space let go before the read reads '$got' (pass $pass)"
done
echo quit >&"${READER[1]}"
echo "PASS: the keyboard is read as it stands"
