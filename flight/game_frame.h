// The game's work for one frame: one step of the flight model, the view
// from the player's camera, the city, the ghosts and the overlay lines.
#pragma once

namespace vl {

void GameFrame();

// The stick's response curve: sign(v) |v|^1.3.
float CurveStick(float v);

}  // namespace vl
