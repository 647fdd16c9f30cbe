// The player's flying camera: where it is, how it moves and which way it
// faces. There is one, `camera`, for the whole run.
#pragma once

#include "flight/vec3.h"

namespace vl {

struct Camera {
  Vec3 position;   // eye position in world units
  Vec3 velocity;   // displacement per frame
  float rollRate;  // fed by stick X, damped every frame
  float pitchRate; // fed by stick Y, damped every frame
  Vec3 forward;    // unit: view direction and direction of thrust
  Vec3 right;      // unit: the camera's right
  Vec3 up;         // unit: the camera's top
};

extern Camera camera;

}  // namespace vl
