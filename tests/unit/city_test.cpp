#include "render/city.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>

#include "render/boxes.h"
#include "render/face_lighting.h"
#include "tests/support/fakes.h"
#include "tests/support/gl_recorder.h"

namespace vl {
namespace {

using test::GameHarness;
using test::GlCall;
using test::GlOp;
using test::GlRecorder;

struct Box {
  int block;  // 0..24 in emission order, -1 for the overhead grid
  Vec3 p, q;  // corner and far corner, in the block's own coordinates
  Vec3 colour[6];
};

// Splits the recorded list into boxes: six runs of one colour and four
// vertices each. Fails the test if anything else sits between them.
std::vector<Box> ParseBoxes(const std::vector<GlCall>& calls) {
  std::vector<Box> boxes;
  int block = -1, blocksSeen = 0;
  bool inBlock = false;
  size_t i = 0;
  while (i < calls.size()) {
    const GlCall& c = calls[i];
    if (c.op == GlOp::PushMatrix) {
      inBlock = true;
      block = blocksSeen++;
    } else if (c.op == GlOp::PopMatrix) {
      inBlock = false;
    }
    if (c.op != GlOp::Color3f) {
      ++i;
      continue;
    }
    Box b{};
    b.block = inBlock ? block : -1;
    for (int f = 0; f < 6; ++f) {
      const GlCall& col = calls.at(i + 5 * f);
      EXPECT_EQ(col.op, GlOp::Color3f);
      b.colour[f] = {col.f(0), col.f(1), col.f(2)};
      for (int v = 1; v <= 4; ++v) EXPECT_EQ(calls.at(i + 5 * f + v).op, GlOp::Vertex3f);
    }
    const GlCall& first = calls[i + 1];       // face 0, first vertex
    const GlCall& far = calls[i + 15 + 3];    // face 3, third vertex
    b.p = {first.f(0), first.f(1), first.f(2)};
    b.q = {far.f(0), far.f(1), far.f(2)};
    boxes.push_back(b);
    i += 30;
  }
  return boxes;
}

class CityList : public ::testing::Test {
 protected:
  void SetUp() override {
    ComputeFacePalette();
    rec_.SetNextListName(42);
    CityStep();
    const auto& calls = rec_.calls();
    ASSERT_GE(calls.size(), 3u);
    list_.assign(calls.begin() + 2, calls.end() - 1);
    boxes_ = ParseBoxes(list_);
  }

  const Box& BlockBox(int block, int index) const { return boxes_.at(block * 187 + index); }
  const Box& Plate(int ix, int iz) const {
    return boxes_.at(25 * 187 + (iz + 30) * 60 + (ix + 30));
  }

  GameHarness h_;
  GlRecorder rec_;
  std::vector<GlCall> list_;
  std::vector<Box> boxes_;
};

void ExpectVec(Vec3 v, float x, float y, float z, float tol) {
  EXPECT_NEAR(v.x, x, tol);
  EXPECT_NEAR(v.y, y, tol);
  EXPECT_NEAR(v.z, z, tol);
}

Vec3 Clamped(Vec3 c) {
  return {std::clamp(c.x, 0.0f, 1.0f), std::clamp(c.y, 0.0f, 1.0f), std::clamp(c.z, 0.0f, 1.0f)};
}

TEST_F(CityList, FirstStepBuildsOneListWithoutDrawingIt) {
  const auto& calls = rec_.calls();
  EXPECT_EQ(calls.front().op, GlOp::GenLists);
  EXPECT_EQ(calls.front().a[0], 1);
  EXPECT_EQ(calls[1].op, GlOp::NewList);
  EXPECT_EQ(calls[1].u(0), 42u);
  EXPECT_EQ(calls[1].u(1), glc::COMPILE);
  EXPECT_EQ(calls.back().op, GlOp::EndList);
  EXPECT_EQ(rec_.Count(GlOp::GenLists), 1u);
  EXPECT_EQ(rec_.Count(GlOp::NewList), 1u);
  EXPECT_EQ(rec_.Count(GlOp::EndList), 1u);
  EXPECT_EQ(rec_.Count(GlOp::CallList), 0u);
  EXPECT_FALSE(cityListPending);
  EXPECT_EQ(cityList, 42u);
}

TEST_F(CityList, HoldsExactlyTheCitysBoxes) {
  EXPECT_EQ(boxes_.size(), 8275u);
  EXPECT_EQ(rec_.Count(GlOp::Color3f), 49650u);
  EXPECT_EQ(rec_.Count(GlOp::Vertex3f), 198600u);
  // Only matrix pushes, pops, translations, one scale per block, quads
  // blocks, colours and vertices.
  for (const auto& c : list_) {
    switch (c.op) {
      case GlOp::PushMatrix: case GlOp::PopMatrix: case GlOp::Translatef: case GlOp::Scalef:
      case GlOp::Begin: case GlOp::End: case GlOp::Color3f: case GlOp::Vertex3f:
        break;
      default:
        ADD_FAILURE() << "unexpected call in the city list: " << c.ToString();
    }
  }
  EXPECT_EQ(rec_.Count(GlOp::PushMatrix), 25u);
  EXPECT_EQ(rec_.Count(GlOp::PopMatrix), 25u);
  const auto begins = rec_.Only(GlOp::Begin);
  ASSERT_EQ(begins.size(), 51u);
  for (const auto& b : begins) EXPECT_EQ(b.u(0), glc::QUADS);
  EXPECT_EQ(rec_.Count(GlOp::End), 51u);
}

TEST_F(CityList, BlocksAreLaidOutOnAThirtyUnitGrid) {
  const auto translations = rec_.Only(GlOp::Translatef);
  const auto scales = rec_.Only(GlOp::Scalef);
  ASSERT_EQ(translations.size(), 25u);
  ASSERT_EQ(scales.size(), 25u);
  int n = 0;
  for (int a = -2; a <= 2; ++a) {
    for (int b = -2; b <= 2; ++b, ++n) {
      EXPECT_EQ(translations[n].f(0), static_cast<float>(30 * a));
      EXPECT_EQ(translations[n].f(1), 0.0f);
      EXPECT_EQ(translations[n].f(2), static_cast<float>(30 * b));
      EXPECT_EQ(scales[n].f(0), 1.01f);
      EXPECT_EQ(scales[n].f(1), 1.0f);
      EXPECT_EQ(scales[n].f(2), 1.01f);
    }
  }
  // Per block: push, translate, quads (slab and wave rows), scale, quads
  // (towers), pop.
  std::vector<GlOp> shape;
  for (const auto& c : list_)
    if (c.op != GlOp::Color3f && c.op != GlOp::Vertex3f) shape.push_back(c.op);
  const std::vector<GlOp> block = {GlOp::PushMatrix, GlOp::Translatef, GlOp::Begin, GlOp::End,
                                   GlOp::Scalef,     GlOp::Begin,      GlOp::End,   GlOp::PopMatrix};
  ASSERT_EQ(shape.size(), 25 * block.size() + 2);
  for (size_t i = 0; i < 25 * block.size(); ++i) EXPECT_EQ(shape[i], block[i % block.size()]);
  // The scale comes after the wave rows: 181 boxes then 6 tower boxes.
  int before = 0;
  for (const auto& c : list_) {
    if (c.op == GlOp::Scalef) break;
    before += c.op == GlOp::Color3f;
  }
  EXPECT_EQ(before, 181 * 6);
}

TEST_F(CityList, GroundSlabAndItsTopColour) {
  const Box& slab = BlockBox(0, 0);
  ExpectVec(slab.p, -15, -1, -15, 0);
  ExpectVec(slab.q, 15, 0, 15, 0);
  ExpectVec(slab.colour[3], 0.4367f, 0.6956f, 0.4933f, 6e-5f);
}

TEST_F(CityList, WaveRowsFollowTheHeightFormula) {
  // Row j = 0: columns 6, 7, 14, 15, 22, 23. The heights hold to the last
  // bit: single-precision constants worked in double precision, with the
  // two sines and the height rounded to single precision. Worked all in
  // float or all in double, most of them come out a bit or two away.
  const int columns[6] = {6, 7, 14, 15, 22, 23};
  const float heights[6] = {5.04061222f, 4.51916933f, -1.06929326f,
                            -1.7540009f, -2.33751893f, -2.63445878f};
  for (int k = 0; k < 6; ++k) {
    SCOPED_TRACE(columns[k]);
    const Box& b = BlockBox(0, 1 + k);
    ExpectVec(b.p, static_cast<float>(columns[k] - 15), heights[k], -15, 0);
    EXPECT_FLOAT_EQ(b.q.y - b.p.y, 2.0f);
    EXPECT_EQ(b.q.x - b.p.x, 1.0f);
    EXPECT_EQ(b.q.z - b.p.z, 1.0f);
  }
  // Column 14 (third of its row), row 15; column 15, row 10, the highest.
  ExpectVec(BlockBox(0, 1 + 15 * 6 + 2).p, -1, 0.895863354f, 0, 0);
  ExpectVec(BlockBox(0, 1 + 10 * 6 + 3).p, 0, 6.0217185f, -5, 0);
  // Only the six columns, 30 rows each, in every block.
  for (int block = 0; block < 25; ++block) {
    std::multiset<float> xs;
    for (int k = 1; k <= 180; ++k) xs.insert(BlockBox(block, k).p.x);
    for (float x : {-9.0f, -8.0f, -1.0f, 0.0f, 7.0f, 8.0f}) EXPECT_EQ(xs.count(x), 30u);
  }
  // The extremes of the formula.
  float lo = 100, hi = -100;
  for (int k = 1; k <= 180; ++k) {
    lo = std::min(lo, BlockBox(0, k).p.y);
    hi = std::max(hi, BlockBox(0, k).p.y);
  }
  EXPECT_NEAR(lo, -6.05f, 0.01f);
  EXPECT_NEAR(hi, 6.02f, 0.01f);
}

TEST_F(CityList, TowerGroup) {
  const float want[6][6] = {
      {-2, 0, -2, 4, 10, 4},  {-2, 12, -2, 4, 3, 4},    {-2, 10, -2, 4, 2, 0.5f},
      {-2, 10, 1.5f, 4, 2, 0.5f}, {-2, 16, -2, 4, 1, 4}, {-15, 12, -0.5f, 30, 3, 1},
  };
  for (int k = 0; k < 6; ++k) {
    SCOPED_TRACE(k);
    const Box& b = BlockBox(12, 181 + k);
    ExpectVec(b.p, want[k][0], want[k][1], want[k][2], 0);
    ExpectVec(b.q, want[k][0] + want[k][3], want[k][1] + want[k][4], want[k][2] + want[k][5], 0);
  }
}

TEST_F(CityList, EveryBlockHasTheSameColours) {
  for (int block = 1; block < 25; ++block) {
    for (int k = 0; k < 187; ++k) {
      for (int f = 0; f < 6; ++f) {
        const Vec3 a = BlockBox(0, k).colour[f], b = BlockBox(block, k).colour[f];
        ASSERT_EQ(a.x, b.x);
        ASSERT_EQ(a.y, b.y);
        ASSERT_EQ(a.z, b.z);
      }
    }
  }
}

TEST_F(CityList, OverheadPlates) {
  const Box& centre = Plate(0, 0);
  ExpectVec(centre.p, 0, 30, 0, 0);
  ExpectVec(centre.q, 6, 30.2f, 6, 1e-6f);
  const Box& low = Plate(-30, -30);
  ExpectVec(low.p, -240, 24.0f, -240, 1e-5f);
  ExpectVec(Clamped(low.colour[3]), 0, 0.9455f, 0, 6e-5f);
  const Box& high = Plate(29, 29);
  ExpectVec(high.p, 232, 24.2f, 232, 1e-5f);
  ExpectVec(Clamped(high.colour[3]), 1, 0.9475f, 1, 6e-5f);
  // Highest along the diagonal ix = -iz, 0.1 lower per step away from it.
  EXPECT_EQ(Plate(-5, 5).p.y, 30.0f);
  EXPECT_NEAR(Plate(3, 4).p.y, 29.3f, 1e-5f);
  EXPECT_NEAR(Plate(-3, -4).p.y, 29.3f, 1e-5f);
  // Grid order: x inner, z outer, 8 apart.
  EXPECT_EQ(Plate(-29, -30).p.x, -232.0f);
  EXPECT_EQ(Plate(-30, -29).p.z, -232.0f);
  for (size_t k = 25 * 187; k < boxes_.size(); ++k) ASSERT_EQ(boxes_[k].block, -1);
}

TEST(CityStep, LaterFramesCallTheListOnce) {
  GameHarness h;
  ComputeFacePalette();
  GlRecorder rec;
  rec.SetNextListName(5);
  CityStep();
  EXPECT_EQ(colorOffset.x, 0.0f);
  EXPECT_EQ(colorOffset.y, 0.0f);
  EXPECT_EQ(colorOffset.z, 0.0f);
  for (int frame = 2; frame <= 3; ++frame) {
    rec.Clear();
    colorOffset = {1, 2, 3};
    CityStep();
    ASSERT_EQ(rec.calls().size(), 1u);
    EXPECT_EQ(rec.calls()[0].op, GlOp::CallList);
    EXPECT_EQ(rec.calls()[0].u(0), 5u);
    EXPECT_EQ(colorOffset.x, 0.0f);
    EXPECT_EQ(colorOffset.y, 0.0f);
    EXPECT_EQ(colorOffset.z, 0.0f);
  }
}

}  // namespace
}  // namespace vl
