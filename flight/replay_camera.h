// The replay's cameras: from the cockpit of the replayed flight, chasing an
// aircraft from behind and a little above, or high over it looking down at
// the city. Which aircraft is followed: the replayed flight, or one of the
// ghosts flying at the frame on screen.
#pragma once

#include <cstdint>
#include <vector>

#include "flight/camera.h"
#include "flight/recording_file.h"

namespace vl {

enum class ReplayView { Cockpit, Chase, Top };
constexpr int kReplayViewCount = 3;
const char* ReplayViewName(ReplayView v);
ReplayView NextReplayView(ReplayView v);

// The chase camera sits this far behind and above the followed aircraft (in
// world units; the aircraft is about 1.5 long), and the top camera this high
// above it.
constexpr float kChaseBehind = 3.0f;
constexpr float kChaseAbove = 0.8f;
constexpr float kTopHeight = 250.0f;
// The chase camera turns with the average of the aircraft's last frames,
// the latest weighing most, so that a roll does not shake it.
constexpr int32_t kChaseFrames = 40;
constexpr float kChaseFading = 0.9f;

// The camera in the pose a recorded frame holds (position and axes).
void TakeRecordedPose(const FrameRecord& f, Camera& c);
// Behind frame `frame` of an aircraft's frames [0, count). It depends on
// those frames alone, so a frame looks the same however it was reached.
void TakeChasePose(const FrameRecord* frames, int32_t count, int32_t frame, Camera& c);
// High above `below`, looking straight down with +z at the top of the
// picture and +x to the left, as the flight map is drawn.
void TakeTopPose(Vec3 below, Camera& c);

// The aircraft followed after Tab (by +1) or Shift+Tab (by -1): the next
// or previous of `flying` (ascending entry numbers, 0 for the replayed
// flight) after `current`, round and round. A current one that has stopped
// flying counts from where it would stand.
int32_t NextFollowed(int32_t current, int by, const std::vector<int32_t>& flying);

}  // namespace vl
