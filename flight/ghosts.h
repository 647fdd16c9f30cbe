// Earlier flights flown again beside the player as ghost aircraft.
#pragma once

namespace vl {

// Draws every loaded recording that still has frames to show and moves
// each on by one frame.
void DrawGhosts();

}  // namespace vl
