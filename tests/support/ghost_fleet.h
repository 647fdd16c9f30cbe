// Ghosts parked in front of the start position, for pictures and
// benchmarks that need many of them in view: rows of ten across and ten
// high, ten such walls deep, each ghost turned its own way.
#pragma once

#include <cmath>

#include "flight/recordings.h"

namespace vl::test {

// Adds `count` loaded flights of `frames` frames each, every frame the same
// pose, replaying from frame 60 as at a normal start.
inline void AddGhostFleet(int count, int frames) {
  for (int i = 0; i < count && recordingCount < kMaxRecordings; ++i) {
    Recording& r = recordings[recordingCount++];
    r.frameCount = frames;
    r.frames.reset(new FrameRecord[frames]);
    const float a = 0.7f * static_cast<float>(i), c = std::cos(a), s = std::sin(a);
    FrameRecord pose{{6.0f + 1.6f * static_cast<float>(i % 10 - 5),
                      6.0f + 0.9f * static_cast<float>(i / 10 % 10 - 5),
                      -14.0f + 2.0f * static_cast<float>(i / 100)},
                     {c, 0, -s, 0, 0, 1, 0, 0, s, 0, c, 0, 0, 0, 0, 1}};
    for (int f = 0; f < frames; ++f) r.frames[f] = pose;
    r.cursor = kReplayStart;
  }
}

}  // namespace vl::test
