#include "render/face_lighting.h"

#include <gtest/gtest.h>

#include "flight/camera.h"
#include "flight/recordings.h"
#include "render/scene.h"
#include "tests/support/fakes.h"

namespace vl {
namespace {

using test::GameHarness;

void ExpectVec(Vec3 v, float x, float y, float z, float tol) {
  EXPECT_NEAR(v.x, x, tol);
  EXPECT_NEAR(v.y, y, tol);
  EXPECT_NEAR(v.z, z, tol);
}

TEST(FacePalette, MatchesTheLightFromTwoFiveThree) {
  GameHarness h;
  ComputeFacePalette();
  // Face order -x, +x, -y, +y, -z, +z; to the last bit, as every product
  // and sum is rounded to single precision in turn. Worked in double
  // precision, or with the light worked in float, or with the product and
  // the sum of a channel fused into one step, some of them differ.
  const float want[6][3] = {
      {0.158399716f, 0.34866643f, 0.429199874f}, {0.294665724f, 0.462221444f, 0.497332871f},
      {0.245999277f, 0.421666086f, 0.472999632f}, {0.586664259f, 0.705553532f, 0.643332124f},
      {0.18759957f, 0.372999668f, 0.443799794f}, {0.391998559f, 0.54333216f, 0.545999289f},
  };
  for (int f = 0; f < 6; ++f) {
    SCOPED_TRACE(f);
    ExpectVec(faceColors[f], want[f][0], want[f][1], want[f][2], 0);
  }
  // The top is the brightest face.
  for (int f = 0; f < 6; ++f) {
    if (f != 3) {
      EXPECT_LT(faceColors[f].x, faceColors[3].x);
    }
  }
}

TEST(ShadeFace, PerpendicularAndOppositeNormals) {
  GameHarness h;
  const Vec3 diffuse{0.6f, 0.5f, 0.3f}, base{0.1f, 0.3f, 0.4f};
  const Vec3 light{0, 1, 0};
  // Perpendicular: exactly the base colour.
  const Vec3 side = ShadeFace(light, {1, 0, 0}, diffuse, base);
  EXPECT_EQ(side.x, 0.1f);
  EXPECT_EQ(side.y, 0.3f);
  EXPECT_EQ(side.z, 0.4f);
  // Opposite: base plus 0.3 of the diffuse colour, not base alone.
  const Vec3 under = ShadeFace(light, {0, -1, 0}, diffuse, base);
  ExpectVec(under, 0.28f, 0.45f, 0.49f, 1e-6f);
  // Facing the light: base plus the full diffuse colour.
  const Vec3 top = ShadeFace(light, {0, 1, 0}, diffuse, base);
  ExpectVec(top, 0.7f, 0.8f, 0.7f, 1e-6f);
}

TEST(ShadeFace, AddsTheColourOffsetPerChannel) {
  GameHarness h;
  SetColorOffset(10, -20, 30);
  const Vec3 c = ShadeFace({0, 1, 0}, {1, 0, 0}, {0.6f, 0.5f, 0.3f}, {0.1f, 0.3f, 0.4f});
  ExpectVec(c, 0.2f, 0.1f, 0.7f, 1e-6f);
}

TEST(SetColorOffset, ScalesByOneHundredth) {
  GameHarness h;
  SetColorOffset(100, -50, 0);
  // 100 x 0.01f is 0.99999998 before rounding to single precision.
  EXPECT_EQ(colorOffset.x, 1.0f);
  EXPECT_EQ(colorOffset.y, -0.5f);
  EXPECT_EQ(colorOffset.z, 0.0f);
  SetColorOffset(-240, 7, 232);
  ExpectVec(colorOffset, -2.4f, 0.07f, 2.32f, 1e-6f);
}

TEST(GlkInit, PaletteAndInitialPose) {
  GameHarness h;
  camera.position = {1, 2, 3};
  camera.velocity = {4, 5, 6};
  camera.rollRate = 7;
  camera.pitchRate = 8;
  glkInit();
  EXPECT_NEAR(faceColors[3].y, 0.70555f, 1e-5f);
  ExpectVec(camera.position, 6, 6, -25, 0);
  ExpectVec(camera.velocity, 0, 0, 0, 0);
  EXPECT_EQ(camera.rollRate, 0.0f);
  EXPECT_EQ(camera.pitchRate, 0.0f);
  ExpectVec(camera.forward, 0, 0, 1, 0);
  ExpectVec(camera.up, 0, 1, 0, 0);
  // The stored recordings are loaded last: the live flight is ready.
  EXPECT_GE(recordingCount, 1);
}

}  // namespace
}  // namespace vl
