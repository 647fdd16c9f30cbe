// The small numeric routines under the flight model and the frame records.
#pragma once

#include "flight/vec3.h"

namespace vl {

struct Camera;

// Makes v unit length. A vector shorter than 1e-6 becomes (1, 0, 0).
void Normalize(Vec3& v);
// The stick response: v stretched by 1 / (1 - d), then pulled towards 0 by d.
float DeadZone(float v, float d);
// Transposes a 4x4 column-major matrix in place.
void TransposeMatrix(float m[16]);
// Rebuilds the camera's basis from `forward` and `up`: right = forward x up,
// up = right x forward, all three unit length. `forward` keeps its direction.
void Orthonormalize(Camera& c);

constexpr Vec3 Cross(Vec3 a, Vec3 b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

}  // namespace vl
