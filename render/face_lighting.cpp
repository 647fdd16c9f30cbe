#include "render/face_lighting.h"

#include <cmath>

namespace vl {

Vec3 faceColors[6];
Vec3 colorOffset{0.0f, 0.0f, 0.0f};

void SetColorOffset(float x, float y, float z) {
  constexpr float k = 0.01f;
  colorOffset.x = x * k;
  colorOffset.y = y * k;
  colorOffset.z = z * k;
}

Vec3 ShadeFace(Vec3 light, Vec3 normal, Vec3 diffuse, Vec3 base) {
  float d = normal.z * light.z + normal.y * light.y + normal.x * light.x;
  // Faces turned away from the light keep a weak fill of 0.3 x |cosine|.
  if (d < 0) d = d * -0.3f;
  const float tr = diffuse.x * d, tg = diffuse.y * d, tb = diffuse.z * d;
  const float sr = tr + base.x, sg = tg + base.y, sb = tb + base.z;
  return {sr + colorOffset.x, sg + colorOffset.y, sb + colorOffset.z};
}

void ComputeFacePalette() {
  const double k = 1.0 / std::sqrt(38.0);
  const Vec3 light{static_cast<float>(k + k), static_cast<float>(5 * k), static_cast<float>(3 * k)};
  const Vec3 diffuse{0.6f, 0.5f, 0.3f};
  const Vec3 base{0.1f, 0.3f, 0.4f};
  const Vec3 normals[6] = {{-1, 0, 0}, {1, 0, 0}, {0, -1, 0}, {0, 1, 0}, {0, 0, -1}, {0, 0, 1}};
  for (int n = 0; n < 6; ++n) faceColors[n] = ShadeFace(light, normals[n], diffuse, base);
}

}  // namespace vl
