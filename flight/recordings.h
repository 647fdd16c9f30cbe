// Flight recordings: every flight kept frame by frame, long ones saved to
// numbered files, earlier ones loaded at start-up for the ghosts.
#pragma once

namespace vl {

// Saves the live flight when the player leaves with Escape.
void EndOfFlightSave();
// Loads the stored recordings at start-up.
void LoadRecordings();

}  // namespace vl
