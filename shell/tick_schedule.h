// Where the game's 16 ms ticks fall when the system, not the game, decides
// when the program runs: a web page runs at the browser's display frames
// (about 60 a second, none while its tab is hidden) and may not wait in
// between. At each display frame the page runs the ticks that are due, and
// no more than kMaxTicksPerDisplayFrame.
#pragma once

#include <cstdint>

#include "shell/tick.h"

namespace vl {

constexpr int kMaxTicksPerDisplayFrame = 4;
// Further behind than this (a hidden tab, a machine too slow for the
// picture), the game does not catch up: it slows down, and counts its
// ticks afresh from the one that begins now.
constexpr uint32_t kMaxTickLagMs = kMaxTicksPerDisplayFrame * kTickMs;

// Whether a tick is due at `now` (the millisecond clock), the previous one
// having begun at `last`.
inline bool TickDue(uint32_t now, uint32_t last) { return static_cast<uint32_t>(now - last) >= kTickMs; }

// The time the tick that begins at `now` counts as begun at, the previous
// one at `last`: 16 ms after it while the game keeps up, so that display
// frames that do not fall on the tick make the game neither slower nor
// faster over time; `now` itself when it is more than kMaxTickLagMs late.
inline uint32_t TickStart(uint32_t now, uint32_t last) {
  const uint32_t due = last + kTickMs;
  return static_cast<uint32_t>(now - due) <= kMaxTickLagMs ? due : now;
}

}  // namespace vl

namespace vl {

// Runs the passes of the main loop that are due now, at a display frame of
// the system. False once the loop has ended.
bool RunDueTicks();

}  // namespace vl
