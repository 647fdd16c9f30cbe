#include "render/boxes.h"

#include <gtest/gtest.h>

#include "render/face_lighting.h"
#include "tests/support/fakes.h"
#include "tests/support/gl_recorder.h"

namespace vl {
namespace {

using test::GameHarness;
using test::GlCall;
using test::GlOp;
using test::GlRecorder;

void ExpectColour(const GlCall& c, float r, float g, float b, float tol = 1e-5f) {
  ASSERT_EQ(c.op, GlOp::Color3f);
  EXPECT_NEAR(c.f(0), r, tol);
  EXPECT_NEAR(c.f(1), g, tol);
  EXPECT_NEAR(c.f(2), b, tol);
}

void ExpectVertex(const GlCall& c, float x, float y, float z) {
  ASSERT_EQ(c.op, GlOp::Vertex3f);
  EXPECT_EQ(c.f(0), x);
  EXPECT_EQ(c.f(1), y);
  EXPECT_EQ(c.f(2), z);
}

// Calls of face f within one box's 30 calls.
const GlCall& FaceColour(const std::vector<GlCall>& calls, int f) { return calls[5 * f]; }

TEST(DrawBox, SixColouredQuadsInTableOrder) {
  GameHarness h;
  ComputeFacePalette();
  GlRecorder rec;
  DrawBox({1, 2, 3}, {4, 5, 6});
  const auto& c = rec.calls();
  ASSERT_EQ(c.size(), 30u);
  const float P[3] = {1, 2, 3}, Q[3] = {5, 7, 9};
  // Per face: which corner (P or Q) each vertex takes on x, y, z.
  const char* pattern[6][4] = {
      {"PPP", "PQP", "PQQ", "PPQ"}, {"QPP", "QQP", "QQQ", "QPQ"},
      {"PPP", "QPP", "QPQ", "PPQ"}, {"PQP", "QQP", "QQQ", "PQQ"},
      {"PPP", "QPP", "QQP", "PQP"}, {"PPQ", "QPQ", "QQQ", "PQQ"},
  };
  for (int f = 0; f < 6; ++f) {
    SCOPED_TRACE(f);
    ExpectColour(c[5 * f], faceColors[f].x + 0.01f, faceColors[f].y + 0.02f,
                 faceColors[f].z + 0.03f);
    for (int v = 0; v < 4; ++v) {
      float xyz[3];
      for (int k = 0; k < 3; ++k) xyz[k] = pattern[f][v][k] == 'P' ? P[k] : Q[k];
      ExpectVertex(c[5 * f + 1 + v], xyz[0], xyz[1], xyz[2]);
    }
  }
  EXPECT_NEAR(colorOffset.x, 0.01f, 1e-7f);
  EXPECT_NEAR(colorOffset.y, 0.02f, 1e-7f);
  EXPECT_NEAR(colorOffset.z, 0.03f, 1e-7f);
}

TEST(DrawBox, TopColourFollowsTheCorner) {
  GameHarness h;
  ComputeFacePalette();
  GlRecorder rec;
  DrawBox({0, 0, 0}, {1, 1, 1});
  ExpectColour(FaceColour(rec.calls(), 3), 0.58666f, 0.70555f, 0.64333f);
  rec.Clear();
  DrawBox({10, 0, -20}, {1, 1, 1});
  ExpectColour(FaceColour(rec.calls(), 3), 0.68666f, 0.70555f, 0.44333f);
  EXPECT_NEAR(colorOffset.x, 0.1f, 1e-7f);
  EXPECT_EQ(colorOffset.y, 0.0f);
  EXPECT_NEAR(colorOffset.z, -0.2f, 1e-7f);
}

TEST(DrawBox, MultiplierScalesAfterTheOffset) {
  GameHarness h;
  ComputeFacePalette();
  colorMultiplier = {0.5f, 1, 1};
  GlRecorder rec;
  DrawBox({20, 0, 0}, {1, 1, 1});
  for (int f = 0; f < 6; ++f) {
    SCOPED_TRACE(f);
    ExpectColour(FaceColour(rec.calls(), f), (faceColors[f].x + 0.2f) * 0.5f, faceColors[f].y,
                 faceColors[f].z, 1e-6f);
  }
}

TEST(DrawBox, ZeroSizeStillEmitsTheWholeBox) {
  GameHarness h;
  ComputeFacePalette();
  GlRecorder rec;
  DrawBox({3, -4, 5}, {0, 0, 0});
  EXPECT_EQ(rec.calls().size(), 30u);
  EXPECT_EQ(rec.Count(GlOp::Color3f), 6u);
  const auto vertices = rec.Only(GlOp::Vertex3f);
  ASSERT_EQ(vertices.size(), 24u);
  for (const auto& v : vertices) ExpectVertex(v, 3, -4, 5);
}

TEST(DrawCenteredBox, OwnQuadsBlockAroundTheCentre) {
  GameHarness h;
  ComputeFacePalette();
  GlRecorder rec;
  DrawCenteredBox({0, 0, 0}, {2, 4, 6});
  const auto& c = rec.calls();
  ASSERT_EQ(c.size(), 32u);
  EXPECT_EQ(c.front().op, GlOp::Begin);
  EXPECT_EQ(c.front().u(0), glc::QUADS);
  EXPECT_EQ(c.back().op, GlOp::End);
  ExpectVertex(c[2], -1, -2, -3);   // face 0, first vertex: the corner
  ExpectVertex(c[1 + 5 * 3 + 3], 1, 2, 3);  // face 3, third vertex: the far corner
  EXPECT_NEAR(colorOffset.x, -0.01f, 1e-8f);
  EXPECT_NEAR(colorOffset.y, -0.02f, 1e-8f);
  EXPECT_NEAR(colorOffset.z, -0.03f, 1e-8f);
}

}  // namespace
}  // namespace vl
