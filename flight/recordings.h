// Flight recordings: every flight kept frame by frame, long ones saved to
// numbered files, earlier ones loaded at start-up for the ghosts.
#pragma once

#include "flight/vec3.h"

namespace vl {

// Appends this frame's camera pose to the live flight.
void RecordFrame(Vec3 position, const float rotation[16]);
// Saves the live flight when the player leaves with Escape.
void EndOfFlightSave();
// Loads the stored recordings at start-up.
void LoadRecordings();

}  // namespace vl
