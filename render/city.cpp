#include "render/city.h"

#include <cmath>
#include <cstdlib>

#include "render/boxes.h"
#include "render/face_lighting.h"
#include "render/gl_api.h"

namespace vl {

bool cityListPending = true;
uint32_t cityList = 0;

namespace {

// The wave formula's constants are single-precision numbers worked in
// double precision.
constexpr double K(float v) { return static_cast<double>(v); }

void EmitBlock(int a, int b) {
  gl.PushMatrix();
  gl.Translatef(kBlockSpacing * static_cast<float>(a), 0.0f, kBlockSpacing * static_cast<float>(b));

  gl.Begin(glc::QUADS);
  DrawBox(kGroundSlab.corner, kGroundSlab.size);
  for (int j = 0; j < 30; ++j) {
    for (int i = 0; i < 30; ++i) {
      const int column = i % 8;
      if (column != 6 && column != 7) continue;
      DrawBox({static_cast<float>(i - 15), WaveHeight(i, j), static_cast<float>(j - 15)},
              {1.0f, 2.0f, 1.0f});
    }
  }
  gl.End();

  // The tower group is a little wider than its block's layout, so the beams
  // of neighbouring blocks overlap; the colours still follow the unscaled
  // corners.
  gl.Scalef(kTowerScale.x, kTowerScale.y, kTowerScale.z);
  gl.Begin(glc::QUADS);
  for (const CityBox& box : kTowerGroup) DrawBox(box.corner, box.size);
  gl.End();
  gl.PopMatrix();
}

void EmitOverheadGrid() {
  gl.Begin(glc::QUADS);
  for (int z = kPlateFirst; z < kPlateEnd; z += kPlateStep) {
    for (int x = kPlateFirst; x < kPlateEnd; x += kPlateStep) {
      const int ix = x / kPlateStep, iz = z / kPlateStep;
      // Highest along the diagonal ix = -iz, sinking 0.1 per step away from it.
      const float y = 30.0f - 0.1f * static_cast<float>(std::abs(ix + iz));
      DrawBox({static_cast<float>(x), y, static_cast<float>(z)}, kPlateSize);
    }
  }
  gl.End();
}

void EmitCity() {
  for (int a = -kBlockReach; a <= kBlockReach; ++a)
    for (int b = -kBlockReach; b <= kBlockReach; ++b) EmitBlock(a, b);
  EmitOverheadGrid();
}

}  // namespace

float WaveHeight(int i, int j) {
  const double di = i, dj = j;
  const float s1 = static_cast<float>(std::sin(K(0.3f) * (di + dj)));
  const float s2 =
      static_cast<float>(std::sin(K(1.5f) * (K(0.1f) * di - K(0.13f) * dj + K(0.8f))));
  const double p = s2 >= 0 ? std::pow(static_cast<double>(s2), K(2.5f))
                           : -std::pow(-static_cast<double>(s2), K(2.5f));
  const double c3 = std::cos(K(0.9f) * (di + K(0.7f) * dj));
  return static_cast<float>(K(1.3f) * ((K(0.6f) * c3 + K(2.8f) * p) + K(1.6f) * s1));
}

void CityStep() {
  if (cityListPending) {
    cityListPending = false;
    cityList = gl.GenLists(1);
    gl.NewList(cityList, glc::COMPILE);
    EmitCity();
    gl.EndList();
  } else {
    gl.CallList(cityList);
  }
  colorOffset = {0.0f, 0.0f, 0.0f};
}

}  // namespace vl
