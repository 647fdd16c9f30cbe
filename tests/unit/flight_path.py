#!/usr/bin/env python3
"""Writes flight_path.inc: a scripted flight and where the craft must be.

The flight model is worked here from its own definition, in single
precision: every stored product and sum is rounded to a 32-bit float (the
power curves are worked in double and rounded once). It shares no code with
the game. game_frame_test.cpp flies the same script through GameFrame and
compares.

    python3 tests/unit/flight_path.py > tests/unit/flight_path.inc
"""
import math
import struct


def f32(x):
    return struct.unpack("<f", struct.pack("<f", x))[0]


# The flight model's constants, all single precision.
EXPONENT = f32(1.3)
ROLL_GAIN, ROLL_DAMPING = f32(0.055), f32(0.96)
PITCH_GAIN, PITCH_DAMPING = f32(0.075), f32(0.91)
PITCH_STEP, ROLL_STEP, LEVEL_STEP = f32(0.05), f32(0.03), f32(0.03)
CRUISE = f32(0.24)
BASE_RESPONSE, ALIGNED_RESPONSE = f32(0.01), f32(0.015)
GROUND, RESTITUTION = f32(0.3), f32(-0.8)
AXIS_SCALE = f32(0.001)

# The script: (frames, stick X, stick Y, brake button) in the device's
# -1000..1000 units; button -1 for none.
SCRIPT = [
    (40, 1000, 0, -1),    # full right
    (20, 0, 0, -1),       # let go
    (40, -500, 0, -1),    # half left
    (20, 0, 0, -1),
    (40, -1000, 0, -1),   # full left
    (20, 0, 0, -1),
    (40, 500, 0, -1),     # half right
    (20, 0, 0, -1),
    (25, 0, 1000, -1),    # nose up
    (75, 0, -1000, -1),   # nose down, into the ground and off it again
    (30, 0, 0, -1),
    (20, 0, 0, 0),        # each brake button in turn
    (20, 0, 0, 1),
    (20, 0, 0, 2),
    (20, 0, 0, -1),
]
EVERY = 15  # frames between two compared states


def add(a, b):
    return [f32(a[i] + b[i]) for i in range(3)]


def sub(a, b):
    return [f32(a[i] - b[i]) for i in range(3)]


def scale(a, s):
    return [f32(a[i] * s) for i in range(3)]


def dot(a, b):
    return f32(f32(f32(a[0] * b[0]) + f32(a[1] * b[1])) + f32(a[2] * b[2]))


def cross(a, b):
    return [f32(f32(a[1] * b[2]) - f32(a[2] * b[1])),
            f32(f32(a[2] * b[0]) - f32(a[0] * b[2])),
            f32(f32(a[0] * b[1]) - f32(a[1] * b[0]))]


def normalize(v):
    length = f32(math.sqrt(f32(f32(f32(v[0] * v[0]) + f32(v[1] * v[1])) + f32(v[2] * v[2]))))
    if length < f32(1e-6):
        return [1.0, 0.0, 0.0]
    inv = f32(1.0 / length)
    return scale(v, inv)


def curve(v):
    if v > 0:
        return f32(math.pow(v, EXPONENT))
    if v < 0:
        return f32(-math.pow(-v, EXPONENT))
    return 0.0


class Craft:
    def __init__(self):
        self.position = [6.0, 6.0, -25.0]
        self.velocity = [0.0, 0.0, 0.0]
        self.roll = 0.0
        self.pitch = 0.0
        self.forward = [0.0, 0.0, 1.0]
        self.up = [0.0, 1.0, 0.0]
        self.right = [0.0, 0.0, 0.0]
        self.bounces = 0

    def orthonormalize(self):
        self.right = cross(self.forward, self.up)
        self.up = cross(self.right, self.forward)
        self.forward = normalize(self.forward)
        self.right = normalize(self.right)
        self.up = normalize(self.up)

    def frame(self, lx, ly, button):
        sy = curve(f32(ly * AXIS_SCALE))  # the dead zone is 0: no change
        sx = curve(f32(lx * AXIS_SCALE))
        self.roll = f32(f32(self.roll + f32(ROLL_GAIN * sx)) * ROLL_DAMPING)
        self.pitch = f32(self.pitch + f32(PITCH_GAIN * sy))
        self.pitch = f32(self.pitch * PITCH_DAMPING)

        self.forward = add(self.forward, scale(self.up, f32(self.pitch * PITCH_STEP)))
        self.orthonormalize()
        self.up = add(self.up, scale(self.right, f32(self.roll * ROLL_STEP)))
        self.orthonormalize()
        self.forward = add(self.forward, scale(self.right, f32(self.roll * ROLL_STEP)))
        self.orthonormalize()
        self.up = add(self.up, scale(self.right, f32(self.right[1] * LEVEL_STEP)))
        self.orthonormalize()

        a = dot(normalize(self.velocity), self.forward)
        a = max(a, 0.0)
        k = f32(math.pow(a, 1.5) * ALIGNED_RESPONSE + BASE_RESPONSE)
        s = 0.0 if button >= 0 else CRUISE
        self.velocity = add(self.velocity, scale(sub(scale(self.forward, s), self.velocity), k))
        self.position = add(self.position, self.velocity)
        if self.position[1] < GROUND:
            self.position[1] = GROUND
            if self.velocity[1] < 0:
                self.velocity[1] = f32(self.velocity[1] * RESTITUTION)
                self.bounces += 1

    def state(self):
        return self.position + self.velocity + self.forward + self.right + self.up


def main():
    craft = Craft()
    rows = []
    n = 0
    lowest = craft.position[1]
    for frames, lx, ly, button in SCRIPT:
        for _ in range(frames):
            craft.frame(lx, ly, button)
            lowest = min(lowest, craft.position[1])
            n += 1
            if n % EVERY == 0:
                rows.append((n, craft.state()))
    assert craft.bounces > 0, "the script must fly into the ground"
    print("// Written by flight_path.py beside this file; do not edit.")
    print(f"// {n} frames; {craft.bounces} bounces off the ground, lowest y {lowest}.")
    print("// The script: frames, stick X, stick Y, brake button (-1 for none).")
    print("constexpr FlightSegment kFlightScript[] = {")
    for frames, lx, ly, button in SCRIPT:
        print(f"    {{{frames}, {lx}, {ly}, {button}}},")
    print("};")
    print(f"constexpr int kFlightEvery = {EVERY};")
    print("// After every kFlightEvery frames: position, velocity, forward, right, up.")
    print("constexpr float kFlightStates[][15] = {")
    for frame, state in rows:
        values = ", ".join(f"{v:.9g}f" if v != int(v) else f"{int(v)}.0f" for v in state)
        print(f"    {{{values}}},  // frame {frame}")
    print("};")


if __name__ == "__main__":
    main()
