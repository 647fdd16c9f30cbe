// Earlier flights flown again beside the player as ghost aircraft.
#pragma once

#include "flight/recording_file.h"
#include "flight/vec3.h"

namespace vl {

// Draws every loaded recording that still has frames to show and moves
// each on by one frame. Leaves colorMultiplier at the last ghost's colour.
void DrawGhosts();

// The tint of the ghost in entry `index` of the recordings table: the same
// for the same entry in every frame, each channel between 0.42 and 0.82.
Vec3 GhostColour(int index);

// One aircraft in the pose of a recorded frame, tinted `colour`.
void DrawGhostAircraft(const FrameRecord& frame, Vec3 colour);

}  // namespace vl
