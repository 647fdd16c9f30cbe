// The GL 1.1 layer over OpenGL ES 2 draws the game's frames as the system's
// OpenGL 1.1 draws them: the same frame is drawn both ways, each in a fresh
// offscreen window, and the two pictures may differ only in single pixels
// along the edges of what is drawn, where the two ways round differently.
#include <SDL.h>
#include <SDL_opengl.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

#include "flight/game_frame.h"
#include "platform/gl_functions.h"
#include "platform/sdl_window.h"
#include "render/gl_api.h"
#include "render/scene.h"
#include "shell/window.h"
#include "tests/support/fakes.h"
#include "tests/support/ghost_fleet.h"
#include "tests/support/png_writer.h"

namespace vl {
namespace {

constexpr int kWidth = 800, kHeight = 500;
using Pixels = std::vector<uint32_t>;  // RGBA, bottom row first

// Frame `frames` of a flight without input, with `ghosts` ghosts in view,
// drawn through the layer or through OpenGL 1.1. Empty when no context of
// that kind could be made.
Pixels DrawFrame(bool gles, int frames, int ghosts) {
  test::GameHarness harness;
  const GlApi saved = gl;
  Pixels pixels;
  SdlWindowPlatform window;
  window.gles = gles;
  PixelFormatDescriptor pfd;
  pfd.cColorBits = 32;
  pfd.cDepthBits = 16;
  pfd.cStencilBits = 2;
  if (SDL_Init(SDL_INIT_VIDEO) == 0 &&
      window.MakeWindow("layer test", 0, 0, kWidth, kHeight, pfd, -1) && window.CreateContext()) {
    if (!gles) InstallSystemGl();
    ResizeViewport(kWidth, kHeight);
    SetupGLState();
    inputDevices = std::make_unique<InputDevices>(std::make_unique<test::FakeDeviceBackend>());
    glkInit();
    test::AddGhostFleet(ghosts, kReplayStart + frames);
    // The first frame's clear reaches the depth buffer only with depth
    // writes on, as every later frame leaves them.
    gl.DepthMask(glc::TRUE_);
    for (int f = 0; f < frames; ++f) {
      inputDevices->update();
      GameFrame();
    }
    gl.Finish();
    pixels.resize(kWidth * kHeight);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glReadPixels(0, 0, kWidth, kHeight, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
  } else {
    std::fprintf(stderr, "no %s context: %s\n", gles ? "ES 2" : "OpenGL", SDL_GetError());
  }
  inputDevices.reset();
  if (window.HasContext()) window.DestroyContext();
  if (window.HasWindow()) window.DestroyWindow();
  SDL_Quit();
  gl = saved;
  return pixels;
}

void Save(const Pixels& pixels, const char* name) {
  std::vector<uint8_t> rgb;
  for (int y = kHeight - 1; y >= 0; --y)
    for (int x = 0; x < kWidth; ++x)
      for (int c = 0; c < 3; ++c) rgb.push_back(static_cast<uint8_t>(pixels[y * kWidth + x] >> (8 * c)));
  const char* dir = std::getenv("VANTALOOP_BUILD_DIR");
  EXPECT_TRUE(test::WritePng(std::string(dir ? dir : ".") + "/" + name, kWidth, kHeight, rgb));
}

// A pixel on an edge of the picture: one of its four neighbours differs.
bool OnEdge(const Pixels& p, int x, int y) {
  const uint32_t c = p[y * kWidth + x] & 0xFFFFFF;
  const int d[4][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
  for (const auto& o : d) {
    const int nx = x + o[0], ny = y + o[1];
    if (nx >= 0 && nx < kWidth && ny >= 0 && ny < kHeight && (p[ny * kWidth + nx] & 0xFFFFFF) != c)
      return true;
  }
  return false;
}

struct Scene {
  const char* name;
  int frames, ghosts;
};

TEST(GlesLayer, DrawsTheGameFramesAsOpenGl11Does) {
  for (const Scene& scene : {Scene{"first_frame", 1, 0}, Scene{"city", 2, 0},
                             Scene{"ghosts", 2, 40}}) {
    SCOPED_TRACE(scene.name);
    const Pixels native = DrawFrame(false, scene.frames, scene.ghosts);
    const Pixels layered = DrawFrame(true, scene.frames, scene.ghosts);
    ASSERT_FALSE(native.empty());
#ifdef _WIN32
    if (layered.empty()) GTEST_SKIP() << "no OpenGL ES 2 context under this system's OpenGL";
#endif
    ASSERT_FALSE(layered.empty());
    Save(native, (std::string("layer_") + scene.name + "_native.png").c_str());
    Save(layered, (std::string("layer_") + scene.name + "_gles.png").c_str());
    long same = 0, lit = 0, offEdge = 0;
    for (int y = 0; y < kHeight; ++y)
      for (int x = 0; x < kWidth; ++x) {
        const uint32_t a = native[y * kWidth + x] & 0xFFFFFF, b = layered[y * kWidth + x] & 0xFFFFFF;
        lit += a != 0;
        if (a == b) ++same;
        else if (!OnEdge(native, x, y) && !OnEdge(layered, x, y)) ++offEdge;
      }
    const double share = static_cast<double>(same) / (kWidth * kHeight);
    std::printf("%s: %.4f %% of pixels identical, %ld lit natively\n", scene.name, 100 * share, lit);
    EXPECT_GT(lit, scene.frames == 1 ? 500 : 100000);  // a blank picture proves nothing
    EXPECT_EQ(offEdge, 0);
    EXPECT_GT(share, 0.999);
  }
}

}  // namespace
}  // namespace vl
