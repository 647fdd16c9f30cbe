#include "flight/vec_math.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "flight/camera.h"

namespace vl {
namespace {

void ExpectVec(Vec3 v, float x, float y, float z, float tol = 1e-7f) {
  EXPECT_NEAR(v.x, x, tol);
  EXPECT_NEAR(v.y, y, tol);
  EXPECT_NEAR(v.z, z, tol);
}

TEST(Normalize, TinyAndZeroVectorsBecomeUnitX) {
  Vec3 zero{0, 0, 0};
  Normalize(zero);
  ExpectVec(zero, 1, 0, 0, 0);
  Vec3 tiny{1e-7f, 0, 0};
  Normalize(tiny);
  ExpectVec(tiny, 1, 0, 0, 0);
  Vec3 tinyNegative{0, 0, -5e-7f};
  Normalize(tinyNegative);
  ExpectVec(tinyNegative, 1, 0, 0, 0);
  // Just above the floor the direction is kept.
  Vec3 small{0, 2e-6f, 0};
  Normalize(small);
  ExpectVec(small, 0, 1, 0, 1e-6f);
}

TEST(Normalize, ScalesToUnitLength) {
  Vec3 v{3, 0, 4};
  Normalize(v);
  ExpectVec(v, 0.6f, 0, 0.8f);
  Vec3 w{-2, 2, 1};
  Normalize(w);
  ExpectVec(w, -2.0f / 3, 2.0f / 3, 1.0f / 3);
}

TEST(Normalize, NotANumberIsNotTreatedAsShort) {
  Vec3 v{std::numeric_limits<float>::quiet_NaN(), 1, 0};
  Normalize(v);
  // The components are scaled by 1/NaN, not replaced by (1, 0, 0).
  EXPECT_TRUE(std::isnan(v.x));
  EXPECT_TRUE(std::isnan(v.y));
}

TEST(DeadZone, StretchesThenPullsTowardsZero) {
  EXPECT_FLOAT_EQ(DeadZone(0.5f, 0), 0.5f);
  EXPECT_FLOAT_EQ(DeadZone(-0.5f, 0), -0.5f);
  EXPECT_EQ(DeadZone(0, 0), 0.0f);
  EXPECT_EQ(DeadZone(0.1f, 0.2f), 0.0f);   // 0.125 - 0.2 < 0
  EXPECT_EQ(DeadZone(-0.1f, 0.2f), 0.0f);  // -0.125 + 0.2 > 0
  EXPECT_NEAR(DeadZone(1, 0.2f), 1.05f, 1e-6f);
  EXPECT_NEAR(DeadZone(-1, 0.2f), -1.05f, 1e-6f);
  EXPECT_NEAR(DeadZone(0.4f, 0.2f), 0.3f, 1e-6f);
}

TEST(TransposeMatrix, SwapsRowsAndColumns) {
  float m[16];
  for (int i = 0; i < 16; ++i) m[i] = static_cast<float>(i + 1);
  TransposeMatrix(m);
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 4; ++c) EXPECT_EQ(m[4 * c + r], static_cast<float>(4 * r + c + 1));
  TransposeMatrix(m);
  for (int i = 0; i < 16; ++i) EXPECT_EQ(m[i], static_cast<float>(i + 1));
}

TEST(Orthonormalize, DerivesRightFromForwardAndUp) {
  Camera c{};
  c.forward = {0, 0, 1};
  c.up = {0, 1, 0};
  c.right = {5, 6, 7};  // whatever was there is replaced
  Orthonormalize(c);
  ExpectVec(c.forward, 0, 0, 1);
  ExpectVec(c.right, -1, 0, 0);
  ExpectVec(c.up, 0, 1, 0);
}

TEST(Orthonormalize, StraightensAndShortens) {
  Camera c{};
  c.forward = {0, 0, 2};
  c.up = {0, 1, 1};
  Orthonormalize(c);
  ExpectVec(c.forward, 0, 0, 1);
  ExpectVec(c.right, -1, 0, 0);
  ExpectVec(c.up, 0, 1, 0);
}

TEST(Orthonormalize, KeepsForwardDirectionOfASkewedBasis) {
  Camera c{};
  c.forward = {1, 2, 2};
  c.up = {0.3f, 1, -0.2f};
  Orthonormalize(c);
  ExpectVec(c.forward, 1.0f / 3, 2.0f / 3, 2.0f / 3, 1e-6f);
  EXPECT_NEAR(Dot(c.up, c.forward), 0, 1e-6f);
  EXPECT_NEAR(Dot(c.right, c.forward), 0, 1e-6f);
  EXPECT_NEAR(Dot(c.right, c.up), 0, 1e-6f);
  EXPECT_NEAR(Dot(c.up, c.up), 1, 1e-6f);
  EXPECT_NEAR(Dot(c.right, c.right), 1, 1e-6f);
  // Up is the old up with its part along forward taken away.
  const Vec3 f{1.0f / 3, 2.0f / 3, 2.0f / 3}, u{0.3f, 1, -0.2f};
  Vec3 want = u - f * Dot(u, f);
  Normalize(want);
  ExpectVec(c.up, want.x, want.y, want.z, 1e-6f);
}

// Each product of the cross products is rounded to single precision before
// the difference: a fused multiply-add would give another right vector, and
// recorded flights would part from the ones flown elsewhere.
TEST(Orthonormalize, RoundsEachProductOfTheCrossProducts) {
  Camera c{};
  c.forward = {-0.8f, -0.2f, 0.7f};
  c.up = {-0.9f, -0.3f, -0.7f};
  Orthonormalize(c);
  ExpectVec(c.forward, -0.739600241f, -0.18490006f, 0.647150218f, 0);
  ExpectVec(c.right, 0.281836778f, -0.958245039f, 0.048314888f, 0);
  ExpectVec(c.up, -0.611195087f, -0.218124464f, -0.760829985f, 0);
}

TEST(Orthonormalize, UpAlongForwardCollapsesToUnitX) {
  Camera c{};
  c.forward = {0, 0, 3};
  c.up = {0, 0, 1};
  Orthonormalize(c);
  ExpectVec(c.forward, 0, 0, 1);
  ExpectVec(c.right, 1, 0, 0);
  ExpectVec(c.up, 1, 0, 0);
}

}  // namespace
}  // namespace vl
