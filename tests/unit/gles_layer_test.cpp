// The GL 1.1 layer's gathering, batching and display lists, through an ES
// table that keeps what it is asked to upload and draw.
#include "render/gles/gl_layer.h"

#include <gtest/gtest.h>

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
  std::vector<uint32_t> staticUploads;       // buffers given STATIC_DRAW data
  std::vector<std::vector<EsVertex>> data;  // every upload's vertices
} driver;

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
    es.BufferData = [](uint32_t, std::ptrdiff_t size, const void* p, uint32_t usage) {
      const auto* v = static_cast<const EsVertex*>(p);
      driver.data.emplace_back(v, v + size / static_cast<std::ptrdiff_t>(sizeof(EsVertex)));
      if (usage == esc::STATIC_DRAW) driver.staticUploads.push_back(driver.bound);
    };
    es.DrawArrays = [](uint32_t mode, int32_t first, int32_t count) {
      driver.draws.push_back({mode, driver.bound, first, count});
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
// glColor; a block's unfinished primitive is dropped.
TEST_F(LayerTest, BlocksBecomeWholePrimitivesInTheCurrentColour) {
  struct Row {
    uint32_t mode;
    int vertices;
    uint32_t drawnAs;
    std::vector<int> order;  // the given vertices each drawn one stands for
  };
  for (const Row& row : {Row{glc::QUADS, 11, esc::TRIANGLES, {0, 1, 2, 0, 2, 3, 4, 5, 6, 4, 6, 7}},
                         Row{glc::LINES, 5, glc::LINES, {0, 1, 2, 3}}}) {
    driver.data.clear();
    gl.Color3f(0.2f, 0.4f, 2.0f);
    gl.Begin(row.mode);
    for (int i = 0; i < row.vertices; ++i) gl.Vertex3f(static_cast<float>(i), 0, 0);
    gl.End();
    gl.Finish();
    ASSERT_EQ(driver.data.size(), 1u);
    const std::vector<EsVertex>& drawn = driver.data[0];
    ASSERT_EQ(drawn.size(), row.order.size());
    EXPECT_EQ(driver.draws.back().mode, row.drawnAs);
    for (size_t i = 0; i < drawn.size(); ++i) {
      EXPECT_EQ(drawn[i].position[0], static_cast<float>(row.order[i]));
      const uint8_t want[4] = {51, 102, 255, 255};  // channels above 1 clamped
      for (int c = 0; c < 4; ++c) EXPECT_EQ(drawn[i].colour[c], want[c]) << i;
    }
  }
}

// All the ghosts of a frame go out in one draw, across all their matrix
// changes; only a change of state starts another.
TEST_F(LayerTest, GhostsAreOneDraw) {
  glkInit();
  test::AddGhostFleet(50, kReplayStart + 2);
  DrawGhosts();
  gl.Enable(glc::BLEND);
  ASSERT_EQ(driver.draws.size(), 1u);
  EXPECT_EQ(driver.draws[0].count, 50 * 10 * 36);  // 10 boxes of 6 faces, 2 triangles each
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
    ASSERT_EQ(driver.draws.size(), 25u * 2 + 1);  // ground and towers per block, the plates
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
