#include "render/projection.h"

#include <gtest/gtest.h>

#include <cmath>

#include "shell/window.h"
#include "tests/support/fakes.h"
#include "tests/support/gl_recorder.h"

namespace vl {
namespace {

using test::GameHarness;
using test::GlCall;
using test::GlOp;
using test::GlRecorder;

std::vector<GlOp> Ops(const GlRecorder& rec) {
  std::vector<GlOp> ops;
  for (const auto& c : rec.calls()) ops.push_back(c.op);
  return ops;
}

TEST(SetProjection, ThreeDModeAtTheDefaultWindow) {
  GameHarness h;
  GlRecorder rec;
  SetProjection(true);
  const std::vector<GlOp> want = {GlOp::Enable,     GlOp::MatrixMode, GlOp::LoadIdentity,
                                  GlOp::Frustum,    GlOp::MatrixMode, GlOp::LoadIdentity};
  ASSERT_EQ(Ops(rec), want);
  const auto& c = rec.calls();
  EXPECT_EQ(c[0].u(0), glc::DEPTH_TEST);
  EXPECT_EQ(c[1].u(0), glc::PROJECTION);
  EXPECT_EQ(c[4].u(0), glc::MODELVIEW);
  const GlCall& f = c[3];
  // Aspect 1.6; pi taken as 3.1415 makes the window slightly narrower than
  // a true 60 degrees would (0.1154701).
  EXPECT_NEAR(f.a[3], 0.1154659, 1e-7);
  EXPECT_NEAR(f.a[2], -0.1154659, 1e-7);
  EXPECT_NEAR(f.a[1], 0.1847455, 1e-7);
  EXPECT_NEAR(f.a[0], -0.1847455, 1e-7);
  EXPECT_NEAR(f.a[1] / f.a[3], 1.6, 1e-12);
  EXPECT_EQ(f.a[4], static_cast<double>(0.2f));
  EXPECT_EQ(f.a[5], 1000.0);
}

TEST(SetProjection, TwoDModeRunsDownFromTheTopCentre) {
  GameHarness h;
  GlRecorder rec;
  SetProjection(false);
  const std::vector<GlOp> want = {GlOp::MatrixMode, GlOp::LoadIdentity, GlOp::Ortho,
                                  GlOp::MatrixMode, GlOp::Disable,      GlOp::LoadIdentity};
  ASSERT_EQ(Ops(rec), want);
  const auto& c = rec.calls();
  EXPECT_EQ(c[0].u(0), glc::PROJECTION);
  EXPECT_EQ(c[3].u(0), glc::MODELVIEW);
  EXPECT_EQ(c[4].u(0), glc::DEPTH_TEST);
  const GlCall& o = c[2];
  EXPECT_DOUBLE_EQ(o.a[0], -0.8);
  EXPECT_DOUBLE_EQ(o.a[1], 0.8);
  EXPECT_EQ(o.a[2], 1.0);  // bottom
  EXPECT_EQ(o.a[3], 0.0);  // top
  EXPECT_EQ(o.a[4], -1.0);
  EXPECT_EQ(o.a[5], 1.0);
  // Where (0, 0) and (0, 1) land in normalised device y: top and bottom.
  const auto ndcY = [&](double y) { return 2 * (y - o.a[2]) / (o.a[3] - o.a[2]) - 1; };
  EXPECT_DOUBLE_EQ(ndcY(0), 1.0);
  EXPECT_DOUBLE_EQ(ndcY(1), -1.0);
}

TEST(SetProjection, FollowsTheWindowSizeAtEveryCall) {
  GameHarness h;
  GlRecorder rec;
  windowSettings.width = 640;
  windowSettings.height = 480;
  SetProjection(true);
  SetProjection(false);
  const auto frustum = rec.Only(GlOp::Frustum);
  const auto ortho = rec.Only(GlOp::Ortho);
  ASSERT_EQ(frustum.size(), 1u);
  ASSERT_EQ(ortho.size(), 1u);
  EXPECT_NEAR(frustum[0].a[1] / frustum[0].a[3], 640.0 / 480.0, 1e-12);
  EXPECT_DOUBLE_EQ(ortho[0].a[1], 0.5 * 640.0 / 480.0);
  windowSettings.width = 500;
  windowSettings.height = 500;
  rec.Clear();
  SetProjection(true);
  EXPECT_DOUBLE_EQ(rec.Only(GlOp::Frustum)[0].a[1], rec.Only(GlOp::Frustum)[0].a[3]);
}

TEST(SetPerspective, ShiftsMoveTheWindow) {
  GameHarness h;
  GlRecorder rec;
  SetPerspective(90.0, 2.0, 1.0, 10.0, 0.5, 0.25);
  ASSERT_EQ(rec.calls().size(), 1u);
  const GlCall& f = rec.calls()[0];
  ASSERT_EQ(f.op, GlOp::Frustum);
  const double hh = std::tan(90.0 * 3.1415 / 360.0);
  const double w = 2.0 * hh;
  EXPECT_NEAR(f.a[0], 0.0, 1e-12);
  EXPECT_NEAR(f.a[1], 2 * w, 1e-12);
  EXPECT_NEAR(f.a[2], -0.5 * hh, 1e-12);
  EXPECT_NEAR(f.a[3], 1.5 * hh, 1e-12);
  EXPECT_EQ(f.a[4], 1.0);
  EXPECT_EQ(f.a[5], 10.0);
}

}  // namespace
}  // namespace vl
