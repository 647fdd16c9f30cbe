# Flying without a joystick: real key presses steer and brake the craft, and
# the saved flight shows it. Right held for two seconds' worth of frames
# banks the craft and bends its path to the right; Space held brakes it.
source "$(dirname "$0")/lib.sh"
e2e_desktop "$1"
command -v python3 >/dev/null || fail "python3 is not installed"

# One flight, counted in frames (62.5 a second at full speed): cruise for
# 125, Right held for 125, 125 more, Space held for 625, then on until the
# flight is long enough to be saved.
e2e_start
e2e_wait_frames 125                     # up to cruise speed, straight on
xdotool keydown Right; e2e_wait_frames +125; xdotool keyup Right
e2e_wait_frames +125
xdotool keydown space; e2e_wait_frames +625; xdotool keyup space
e2e_fly_long
e2e_escape_and_exit
[ -f "$WORK/recordings/rec0000.bin" ] || fail "the flight was not saved"

python3 - "$WORK/recordings/rec0000.bin" <<'PY' || fail "the recorded flight does not show the keys"
import math, struct, sys
data = open(sys.argv[1], "rb").read()
(count,) = struct.unpack_from("<i", data, 0)
frames = [struct.unpack_from("<19f", data, 4 + 76 * i) for i in range(count)]
# Each frame: position x, y, z, then the rotation, column-major: its first
# column is the right axis, its third the backward one.
pos = [f[0:3] for f in frames]
fwd0 = [-v for v in frames[0][11:14]]
lowest_wing = min(f[4] for f in frames)
# How far the nose turned to the right, seen from above (frame by frame, so
# more than a full circle still counts), and how far the craft ended up off
# the straight line it started on.
def heading(f):
    return math.atan2(-f[11], -f[13])  # of the forward axis, in the x-z plane
turned_right = 0.0
for a, b in zip(frames, frames[1:]):
    turned_right -= math.remainder(heading(b) - heading(a), math.tau)
turned_right = math.degrees(turned_right)
off = [p - q for p, q in zip(pos[-1], pos[0])]
along = sum(a * b for a, b in zip(off, fwd0))
off_line = math.sqrt(max(sum(v * v for v in off) - along * along, 0.0))
speed = [math.dist(pos[i], pos[i - 1]) for i in range(1, count)]
slowest = min(range(60, len(speed)), key=lambda i: speed[i])
top = max(speed[:slowest])
print(f"{count} frames; lowest right-axis y {lowest_wing:.3f}; turned right by {turned_right:.0f} degrees; "
      f"{off_line:.1f} units off the first line; speed {top:.3f} braked to {speed[slowest]:.4f}")
checks = [
    (lowest_wing < -0.1, "the right wing never dropped: no bank"),
    (turned_right > 5, "the nose did not swing to the right"),
    (off_line > 2.0, "the path did not bend"),
    (top > 0.15 and speed[slowest] < 0.5 * top, "holding Space did not brake"),
]
for ok, why in checks:
    if not ok:
        print(why)
sys.exit(0 if all(ok for ok, _ in checks) else 1)
PY
echo "PASS: the keyboard banks, turns and brakes the craft"
