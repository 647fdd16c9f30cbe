// The GL 1.1 layer's gathering, batching and display lists, through an ES
// table that keeps what it is asked to upload and draw.
#include "render/gles/gl_layer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "flight/ghosts.h"
#include "render/city.h"
#include "render/face_lighting.h"
#include "render/gl_api.h"
#include "render/gles/es_api.h"
#include "render/gles/matrix.h"
#include "render/gles/vertex_gather.h"
#include "render/scene.h"
#include "tests/support/fakes.h"
#include "tests/support/ghost_fleet.h"

namespace vl {
namespace {

using gles::EsVertex;

struct Draw {
  uint32_t mode, buffer;
  int32_t first, count;
};

// What the fake driver was asked to do.
struct Driver {
  uint32_t bound = 0, nextBuffer = 1;
  std::vector<Draw> draws;
  std::vector<uint32_t> staticUploads;       // vertex buffers given STATIC_DRAW data
  std::vector<std::vector<EsVertex>> data;  // every vertex upload's vertices
  std::vector<uint16_t> indices;
} driver;

void Keep(std::ptrdiff_t bytes, const void* p) {
  const auto* v = static_cast<const EsVertex*>(p);
  driver.data.emplace_back(v, v + bytes / static_cast<std::ptrdiff_t>(sizeof(EsVertex)));
}

class LayerTest : public ::testing::Test {
 protected:
  LayerTest() : savedGl_(gl), savedEs_(es) {
    driver = Driver{};
    es.CreateShader = [](uint32_t) -> uint32_t { return 1; };
    es.CreateProgram = []() -> uint32_t { return 1; };
    es.GetShaderiv = [](uint32_t, uint32_t, int32_t* v) { *v = 1; };
    es.GetProgramiv = [](uint32_t, uint32_t, int32_t* v) { *v = 1; };
    es.GenBuffers = [](int32_t, uint32_t* b) { *b = driver.nextBuffer++; };
    es.BindBuffer = [](uint32_t, uint32_t b) { driver.bound = b; };
    es.BufferData = [](uint32_t target, std::ptrdiff_t size, const void* p, uint32_t usage) {
      if (target == esc::ELEMENT_ARRAY_BUFFER) {
        const auto* i = static_cast<const uint16_t*>(p);
        driver.indices.assign(i, i + size / 2);
        return;
      }
      if (p) Keep(size, p);
      if (usage == esc::STATIC_DRAW) driver.staticUploads.push_back(driver.bound);
    };
    es.BufferSubData = [](uint32_t, std::ptrdiff_t, std::ptrdiff_t size, const void* p) { Keep(size, p); };
    es.DrawArrays = [](uint32_t mode, int32_t first, int32_t count) {
      driver.draws.push_back({mode, driver.bound, first, count});
    };
    es.DrawElements = [](uint32_t mode, int32_t count, uint32_t, const void*) {
      driver.draws.push_back({mode, driver.bound, 0, count});
    };
    EXPECT_TRUE(gles::StartLayer());
    gles::InstallLayer();
  }
  ~LayerTest() override {
    gl = savedGl_;
    es = savedEs_;
  }

  test::GameHarness harness_;
  GlApi savedGl_;
  EsApi savedEs_;
};

// Each vertex takes the colour current when it comes, also long after the
// glColor; a block's unfinished primitive is dropped, and quads are drawn
// as two triangles each.
TEST_F(LayerTest, BlocksBecomeWholePrimitivesInTheCurrentColour) {
  struct Row {
    uint32_t mode;
    int given, kept;
    uint32_t drawnAs;
    int drawn;
  };
  for (const Row& row : {Row{glc::QUADS, 11, 8, esc::TRIANGLES, 12}, Row{glc::LINES, 5, 4, glc::LINES, 4}}) {
    driver.data.clear();
    gl.Color3f(0.2f, 0.4f, 2.0f);
    gl.Begin(row.mode);
    for (int i = 0; i < row.given; ++i) gl.Vertex3f(static_cast<float>(i), 0, 0);
    gl.End();
    gl.Finish();
    ASSERT_EQ(driver.data.size(), 1u);
    const std::vector<EsVertex>& kept = driver.data[0];
    ASSERT_EQ(kept.size(), static_cast<size_t>(row.kept));
    EXPECT_EQ(driver.draws.back().mode, row.drawnAs);
    EXPECT_EQ(driver.draws.back().count, row.drawn);
    for (size_t i = 0; i < kept.size(); ++i) {
      EXPECT_EQ(kept[i].position[0], static_cast<float>(i));
      const uint8_t want[4] = {51, 102, 255, 255};  // channels above 1 clamped
      for (int c = 0; c < 4; ++c) EXPECT_EQ(kept[i].colour[c], want[c]) << i;
    }
  }
  const std::vector<uint16_t> twoQuads = {0, 1, 2, 0, 2, 3, 4, 5, 6, 4, 6, 7};
  EXPECT_TRUE(std::equal(twoQuads.begin(), twoQuads.end(), driver.indices.begin()));
}

// All the ghosts of a frame go out in one draw, across all their matrix
// changes; only a change of state starts another.
TEST_F(LayerTest, GhostsAreOneDraw) {
  glkInit();
  test::AddGhostFleet(50, kReplayStart + 2);
  DrawGhosts();
  gl.Enable(glc::BLEND);
  ASSERT_EQ(driver.draws.size(), 1u);
  EXPECT_EQ(driver.draws[0].count, 50 * 10 * 6 * 6);  // 10 boxes of 6 faces, 2 triangles each
  DrawGhosts();
  gl.Finish();
  EXPECT_EQ(driver.draws.size(), 2u);
}

// The city is uploaded once, when its list ends, and each call of the list
// draws each of its blocks from that buffer; the list's last colour is
// current after it, as GL 1.1 leaves it.
TEST_F(LayerTest, TheCityListIsOneStaticBufferReplayedBlockByBlock) {
  ComputeFacePalette();
  CityStep();
  EXPECT_TRUE(driver.draws.empty());
  ASSERT_EQ(driver.staticUploads.size(), 1u);
  const EsVertex last = driver.data[0].back();
  for (int call = 0; call < 2; ++call) {
    driver.draws.clear();
    CityStep();
    // Ground and towers per block, and the plates' 21,600 quads in two pieces.
    ASSERT_EQ(driver.draws.size(), 25u * 2 + 2);
    for (const Draw& d : driver.draws) EXPECT_EQ(d.buffer, driver.staticUploads[0]);
  }
  EXPECT_EQ(driver.staticUploads.size(), 1u);
  gl.Begin(glc::LINES);
  gl.Vertex3f(0, 0, 0);
  gl.Vertex3f(1, 0, 0);
  gl.End();
  gl.Finish();
  for (int c = 0; c < 4; ++c) EXPECT_EQ(driver.data.back()[0].colour[c], last.colour[c]);
}

// GL refuses a push onto a full stack and a pop of its last matrix.
TEST(GlesMatrixStack, RefusesOverflowAndUnderflow) {
  gles::MatrixStack stack(2);
  stack.Top()[12] = 5;
  EXPECT_TRUE(stack.Push());
  EXPECT_FALSE(stack.Push());
  EXPECT_TRUE(stack.Pop());
  EXPECT_FALSE(stack.Pop());
  EXPECT_EQ(stack.Top()[12], 5);
}

}  // namespace
}  // namespace vl
