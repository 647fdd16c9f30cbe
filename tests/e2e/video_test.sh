# --replay N --video FILE: the video is written under a temporary name and
# gets its name only when it is whole, so a kill during the encode leaves no
# file under the name; a video name the encoder does not know is refused.
source "$(dirname "$0")/lib.sh"
e2e_unix_only "the Windows build has no video"
e2e_init "$1"
if "$GAME" --help | grep -q "^This build has no --video"; then
  echo "SKIP: this build has no video (FFmpeg's libraries were missing)"
  exit 77
fi
# A long flight, so that the encode is still under way when it is killed.
python3 - "$WORK/recordings/rec0000.bin" <<'PY'
import math, struct, sys
n = 3000
with open(sys.argv[1], "wb") as out:
    out.write(struct.pack("<i", n))
    for f in range(n):
        a = 0.004 * f
        out.write(struct.pack("<19f", 40 * math.cos(a), 8, 40 * math.sin(a),
                              -math.cos(a), 0, -math.sin(a), 0, 0, 1, 0, 0, math.sin(a), 0, -math.cos(a), 0, 0, 0, 0, 1))
PY

e2e_launch -- --replay 0 --video flight.mp4 --size 160x90
for (( i = 0; ; i++ )); do
  temp=$(find "$WORK" -maxdepth 1 -name 'flight.mp4.*.tmp' -size +0 | head -n 1)
  [ -n "$temp" ] && break
  kill -0 "$GAME_PID" 2>/dev/null || fail "the game ended before its video was under way"
  [ "$i" -lt 1200 ] || fail "no video was under way after 2 minutes"
  sleep 0.1
done
kill -KILL "$GAME_PID"
e2e_wait_exit 20
[ ! -e "$WORK/flight.mp4" ] || fail "a killed encode left $WORK/flight.mp4"

e2e_game --replay 0 --video flight.avi >/dev/null 2>"$WORK/avi.err" && fail "--video flight.avi was accepted"
grep -q "makes .webm (VP9) or .mp4 (H.264) files" "$WORK/avi.err" || fail "no reason given: $(cat "$WORK/avi.err")"
echo "PASS: a killed encode leaves no video under its name"
