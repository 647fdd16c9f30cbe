#include "flight/replay_camera.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "flight/vec_math.h"

namespace vl {
namespace {

// Level flight along +x, rolling `bank` radians, right wing down for a
// positive one.
FrameRecord Pose(Vec3 at, float bank) {
  const Vec3 forward{1, 0, 0};
  const Vec3 up{0, std::cos(bank), std::sin(bank)};
  const Vec3 right = Cross(forward, up);
  FrameRecord f{};
  f.position = at;
  const float m[16] = {right.x, right.y, right.z, 0, up.x, up.y, up.z, 0, -forward.x, -forward.y, -forward.z, 0,
                       0,       0,       0,       1};
  for (int i = 0; i < 16; ++i) f.rotation[i] = m[i];
  return f;
}

TEST(ReplayCamera, ChaseSitsBehindAndAboveLookingAtTheAircraftAndRidesOutItsRolls) {
  // The aircraft rocks its wings 30 degrees either way every 8 frames.
  std::vector<FrameRecord> frames;
  for (int f = 0; f < 200; ++f) frames.push_back(Pose({0.5f * static_cast<float>(f), 10, 0}, (f / 8 % 2 ? 0.5f : -0.5f)));
  Camera c{};
  float sway = 0;
  Vec3 before{0, 0, 0};
  for (int f = 100; f < 140; ++f) {
    TakeChasePose(frames.data(), 200, f, c);
    const Vec3 to = frames[f].position - c.position;
    EXPECT_NEAR(Dot(to, c.forward), std::sqrt(Dot(to, to)), 1e-4);  // the aircraft in the middle
    EXPECT_NEAR(to.x, kChaseBehind, 0.1);
    EXPECT_GT(-to.y, 0.5f * kChaseAbove);
    if (f > 100) sway = std::fmax(sway, std::fabs(c.up.z - before.z));
    before = c.up;
  }
  // Frame to frame the aircraft's own up swings by sin 30 twice over.
  EXPECT_LT(sway, 0.1f);
  // Before the first frame the flight holds its first pose.
  TakeChasePose(frames.data(), 200, 0, c);
  EXPECT_NEAR(c.position.x, -kChaseBehind, 0.01);
}

TEST(ReplayCamera, TopLooksStraightDownWithNorthUpAsOnTheMap) {
  Camera c{};
  TakeTopPose({5, 10, -7}, c);
  EXPECT_EQ(c.position.y, 10 + kTopHeight);
  EXPECT_EQ(c.forward.y, -1.0f);
  EXPECT_EQ(c.up.z, 1.0f);
  EXPECT_EQ(c.right.x, -1.0f);
}

TEST(ReplayCamera, TabGoesRoundTheAircraftFlyingNow) {
  struct Row {
    int32_t current;
    int by;
    std::vector<int32_t> flying;
    int32_t next;
  };
  const Row rows[] = {
      {0, 1, {0, 2, 5}, 2}, {2, 1, {0, 2, 5}, 5}, {5, 1, {0, 2, 5}, 0}, {0, -1, {0, 2, 5}, 5},
      {5, -1, {0, 2, 5}, 2},
      // The followed ghost's flight has ended: on from where it stood.
      {3, 1, {0, 2, 5}, 5}, {3, -1, {0, 2, 5}, 2}, {7, 1, {0, 2, 5}, 0}, {7, -1, {0, 2, 5}, 5},
      {0, 1, {0}, 0},
  };
  for (const Row& r : rows)
    EXPECT_EQ(NextFollowed(r.current, r.by, r.flying), r.next) << r.current << " by " << r.by;
}

}  // namespace
}  // namespace vl
