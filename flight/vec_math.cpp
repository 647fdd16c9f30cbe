#include "flight/vec_math.h"

#include <cmath>

#include "flight/camera.h"

namespace vl {

void Normalize(Vec3& v) {
  const float length = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
  // A NaN length fails this test too and goes on to the multiplication.
  if (length < 0.000001f) {
    v = {1.0f, 0.0f, 0.0f};
    return;
  }
  const float inv = 1.0f / length;
  v.x *= inv;
  v.y *= inv;
  v.z *= inv;
}

float DeadZone(float v, float d) {
  const float w = v / (1.0f - d);
  if (w > 0) {
    const float r = w - d;
    return r < 0 ? 0.0f : r;
  }
  if (w < 0) {
    const float r = w + d;
    return r > 0 ? 0.0f : r;
  }
  return 0.0f;
}

void TransposeMatrix(float m[16]) {
  float copy[16];
  for (int i = 0; i < 16; ++i) copy[i] = m[i];
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 4; ++c) m[4 * r + c] = copy[4 * c + r];
}

void Orthonormalize(Camera& c) {
  // The cross products use forward as it stands; only the normalisation at
  // the end corrects its length.
  c.right = Cross(c.forward, c.up);
  c.up = Cross(c.right, c.forward);
  Normalize(c.forward);
  Normalize(c.right);
  Normalize(c.up);
}

}  // namespace vl
