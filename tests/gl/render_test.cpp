// Real frames through the system's OpenGL on an offscreen SDL window: the
// marker lines, the bank indicator and the city land where the projection
// puts them, in the colours of the face palette.
#include <SDL.h>
#include <SDL_opengl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "flight/camera.h"
#include "flight/game_frame.h"
#include "flight/ghosts.h"
#include "flight/replay.h"
#include "platform/gl_functions.h"
#include "platform/sdl_window.h"
#include "render/face_lighting.h"
#include "render/gl_api.h"
#include "render/scene.h"
#include "shell/window.h"
#include "tests/support/fakes.h"
#include "tests/support/flight_files.h"
#include "tests/support/png_writer.h"

namespace vl {
namespace {

constexpr int kWidth = 800, kHeight = 500;

// Pictures go to the build folder; CTest runs the tests there, so the
// folder the process started in stands in when the variable is missing.
const std::string kStartDir = std::filesystem::current_path().string();

// An offscreen window with a compatibility-profile context, made current,
// and the real driver in the game's GL table for the life of the object.
class OffscreenGl {
 public:
  // The game's own window and context code makes them.
  OffscreenGl() : saved_(gl) {
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
      error_ = SDL_GetError();
      return;
    }
    PixelFormatDescriptor pfd;
    pfd.cColorBits = 32;
    pfd.cDepthBits = 16;
    pfd.cStencilBits = 2;
    if (!window_.MakeWindow("render test", 0, 0, kWidth, kHeight, pfd, -1) ||
        !window_.CreateContext()) {
      error_ = SDL_GetError();
      return;
    }
    InstallSystemGl();
  }
  ~OffscreenGl() {
    gl = saved_;
    if (window_.HasContext()) window_.DestroyContext();
    if (window_.HasWindow()) window_.DestroyWindow();
    SDL_Quit();
  }
  bool ok() const { return window_.HasContext(); }
  const std::string& error() const { return error_; }

 private:
  GlApi saved_;
  SdlWindowPlatform window_;
  std::string error_;
};

struct Rgb {
  int r, g, b;
};

// The frame as it is in the colour buffer, top row first.
class Picture {
 public:
  void Grab() {
    glFinish();
    std::vector<uint8_t> bottomUp(kWidth * kHeight * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, kWidth, kHeight, GL_RGB, GL_UNSIGNED_BYTE, bottomUp.data());
    rgb.assign(bottomUp.size(), 0);
    for (int y = 0; y < kHeight; ++y)
      std::copy_n(bottomUp.begin() + (kHeight - 1 - y) * kWidth * 3, kWidth * 3,
                  rgb.begin() + y * kWidth * 3);
  }
  Rgb At(int x, int y) const {
    const uint8_t* p = &rgb[(y * kWidth + x) * 3];
    return {p[0], p[1], p[2]};
  }
  void Save(const std::string& name) const {
    const char* dir = std::getenv("VANTALOOP_BUILD_DIR");
    const std::string path = (dir && *dir ? std::string(dir) : kStartDir) + "/" + name;
    EXPECT_TRUE(test::WritePng(path, kWidth, kHeight, rgb)) << path;
  }

  std::vector<uint8_t> rgb;
};

// Where a world point appears in the window, from the camera's pose and the
// game's 60-degree frustum (pi taken as 3.1415), in pixels from the top
// left.
struct Spot {
  double x, y, depth;
};
Spot Project(Vec3 p) {
  const Camera& c = camera;
  const Vec3 d = p - c.position;
  const double ex = Dot(d, c.right), ey = Dot(d, c.up), depth = Dot(d, c.forward);
  const double h = std::tan(60.0 * 3.1415 / 360.0);
  const double w = h * kWidth / kHeight;
  const double nx = ex / depth / w, ny = ey / depth / h;
  return {(nx + 1) * 0.5 * kWidth, (1 - ny) * 0.5 * kHeight, depth};
}

Rgb Expected(Vec3 colour) {
  const auto ch = [](float v) {
    return static_cast<int>(std::lround(std::fmin(std::fmax(v, 0.0f), 1.0f) * 255));
  };
  return {ch(colour.x), ch(colour.y), ch(colour.z)};
}

void ExpectColourAt(const Picture& pic, Vec3 world, Vec3 colour, const char* what) {
  const Spot s = Project(world);
  SCOPED_TRACE(what);
  ASSERT_GT(s.depth, 0.2);
  const int x = static_cast<int>(s.x), y = static_cast<int>(s.y);
  ASSERT_TRUE(x >= 0 && x < kWidth && y >= 0 && y < kHeight) << s.x << "," << s.y;
  const Rgb got = pic.At(x, y), want = Expected(colour);
  EXPECT_NEAR(got.r, want.r, 3) << "at " << x << "," << y;
  EXPECT_NEAR(got.g, want.g, 3) << "at " << x << "," << y;
  EXPECT_NEAR(got.b, want.b, 3) << "at " << x << "," << y;
}

bool IsBlack(Rgb c) { return c.r == 0 && c.g == 0 && c.b == 0; }
bool IsWhite(Rgb c) { return c.r == 255 && c.g == 255 && c.b == 255; }

class RealFrame : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(gl_.ok()) << gl_.error();
    // The window's state as start-up leaves it, then the game's own start.
    ResizeViewport(kWidth, kHeight);
    SetupGLState();
    inputDevices = std::make_unique<InputDevices>(std::make_unique<test::FakeDeviceBackend>());
    glkInit();
  }
  void Frame() {
    inputDevices->update();
    GameFrame();
  }

  test::GameHarness h_;
  OffscreenGl gl_;
};

TEST_F(RealFrame, FirstFrameShowsMarkerLinesAndTheLevelIndicatorOnly) {
  // The frame clears the depth buffer before it turns depth writes on, and
  // the window's set-up leaves them off: on the very first frame of a run
  // the clear does not reach the depth buffer, and what it holds is up to
  // the driver. Any earlier frame leaves depth writes on; so does this.
  glDepthMask(GL_TRUE);
  Frame();
  Picture pic;
  pic.Grab();
  pic.Save("render_first_frame.png");
  // The two far posts stand in view; the near ones are off to the sides.
  int lit = 0;
  for (auto [x, z] : {std::pair{-20.0f, 20.0f}, {20.0f, 20.0f}}) {
    const Spot s = Project({x, 0, z});
    const int row = static_cast<int>(s.y);
    bool white = false;
    for (int dx = -1; dx <= 1; ++dx) white |= IsWhite(pic.At(static_cast<int>(s.x) + dx, row));
    EXPECT_TRUE(white) << "post at " << x << "," << z << " expected near column " << s.x;
    EXPECT_TRUE(IsBlack(pic.At(static_cast<int>(s.x) + 6, row)));
    // The top end of the post, 20 units up.
    const Spot top = Project({x, 20, z});
    EXPECT_TRUE(IsBlack(pic.At(static_cast<int>(top.x), static_cast<int>(top.y) - 3)));
    for (int dx = -1; dx <= 1; ++dx)
      lit += IsWhite(pic.At(static_cast<int>(top.x) + dx, static_cast<int>(top.y) + 3));
  }
  EXPECT_GE(lit, 2);
  EXPECT_LT(Project({20, 0, -20}).x, 0);  // near posts are out of the picture
  EXPECT_GT(Project({-20, 0, -20}).x, kWidth);
  // Across one row below the indicator only the two posts are lit.
  int litInRow = 0;
  for (int x = 0; x < kWidth; ++x) litInRow += !IsBlack(pic.At(x, 350));
  EXPECT_GE(litInRow, 2);
  EXPECT_LE(litInRow, 4);
  // The level bank indicator: a translucent white line across the centre,
  // 0.2 units either side at 2 units in front.
  bool grey = false;
  for (int y = 248; y <= 251; ++y) {
    const Rgb c = pic.At(kWidth / 2 - 20, y);
    grey |= std::abs(c.r - 102) <= 2 && c.r == c.g && c.g == c.b;
  }
  EXPECT_TRUE(grey);
  const double halfWidth = 0.2 / 2 / (std::tan(60.0 * 3.1415 / 360.0) * 1.6) * kWidth / 2;
  EXPECT_TRUE(IsBlack(pic.At(static_cast<int>(kWidth / 2 + halfWidth + 3), 250)));
  EXPECT_TRUE(IsBlack(pic.At(static_cast<int>(kWidth / 2 + halfWidth + 3), 249)));
  // No city on the frame that builds it: the ground below is black.
  EXPECT_TRUE(IsBlack(pic.At(kWidth / 2, 450)));
}

TEST_F(RealFrame, SecondFrameShowsTheCity) {
  Frame();
  Frame();
  Picture pic;
  pic.Grab();
  pic.Save("render_city.png");

  // The ground slab's top straight ahead below the nose; slabs have the
  // same colours in every block.
  ExpectColourAt(pic, {6, 0, -12}, {0.4367f, 0.6956f, 0.4933f}, "ground slab top");
  // The tower base's +x side in the middle block, widened by 1 %.
  const Vec3 baseOffset{-0.02f, 0, -0.02f};
  ExpectColourAt(pic, {2.02f, 8, 0}, faceColors[1] + baseOffset, "tower base +x side");
  // Above: the underside of a plate of the overhead grid, and the black sky
  // through the gap beside it.
  ExpectColourAt(pic, {3, 29.8f, 19}, faceColors[2] + Vec3{0, 0.298f, 0.16f},
                 "overhead plate underside");
  ExpectColourAt(pic, {7, 29.8f, 19}, {0, 0, 0}, "sky between plates");
  // The top row shows both plates and sky.
  int sky = 0, plate = 0;
  for (int x = 0; x < kWidth; ++x) (IsBlack(pic.At(x, 2)) ? sky : plate)++;
  EXPECT_GT(sky, 50);
  EXPECT_GT(plate, 50);
}


// A replay of flight 3 seen from outside: flights 0 and 1 fly as ghosts
// beside it, all three level along +x above the plates, 20 units apart.
class ReplayViews : public RealFrame {
 protected:
  void SetUp() override {
    for (auto [number, z] : {std::pair{0, 0.0f}, {1, -20.0f}, {3, 20.0f}}) {
      std::vector<FrameRecord> frames(400);
      for (int f = 0; f < 400; ++f) {
        frames[f] = FrameRecord{{-60 + 0.5f * static_cast<float>(f), 50, z},
                                {0, 0, 1, 0, 0, 1, 0, 0, -1, 0, 0, 0, 0, 0, 0, 1}};
      }
      test::WriteFlightFile(number, frames);
    }
    std::string error;
    ASSERT_TRUE(StartReplay(3, error)) << error;
    RealFrame::SetUp();
  }
  // The second frame, the first with the city, following flight 0 (entry
  // 1): the replay shows frame 1, the ghost its frame 121.
  Picture Look(ReplayView view, const char* name) {
    SetReplayView(view, 1);
    Frame();
    Frame();
    Picture pic;
    pic.Grab();
    pic.Save(name);
    return pic;
  }
};

// A pixel of an aircraft tinted `tint`: some face colour of the palette,
// moved by at most 0.05 for its box's corner, times the tint.
bool AircraftColour(Rgb got, Vec3 tint) {
  for (const Vec3& face : faceColors) {
    const auto within = [](int px, float palette, float t) {
      return std::fabs(static_cast<float>(px) / 255.0f - palette * t) <= 0.05f * t + 3.0f / 255.0f;
    };
    if (within(got.r, face.x, tint.x) && within(got.g, face.y, tint.y) && within(got.b, face.z, tint.z)) return true;
  }
  return false;
}

TEST_F(ReplayViews, ChaseShowsTheFollowedAircraftInItsOwnColourInTheMiddle) {
  const Picture pic = Look(ReplayView::Chase, "replay_chase.png");
  const Rgb middle = pic.At(kWidth / 2, kHeight / 2);
  EXPECT_TRUE(AircraftColour(middle, GhostColour(1))) << middle.r << "," << middle.g << "," << middle.b;
  EXPECT_FALSE(AircraftColour(middle, GhostColour(2)));
  EXPECT_FALSE(AircraftColour(middle, GhostColour(4)));
}

TEST_F(ReplayViews, TopShowsTheFollowedTrackRunningFromUnderTheCamera) {
  const Picture pic = Look(ReplayView::Top, "replay_top.png");
  // Flown from x = -60 to 0.5 so far: with +x to the left on screen it runs
  // from the middle to the right, about 1.7 pixels a unit from 250 up.
  const Rgb track = Expected(GhostColour(1));
  const auto onTrack = [&](int x) {
    for (int y : {kHeight / 2 - 1, kHeight / 2}) {
      const Rgb c = pic.At(x, y);
      if (std::abs(c.r - track.r) <= 3 && std::abs(c.g - track.g) <= 3 && std::abs(c.b - track.b) <= 3) return true;
    }
    return false;
  };
  for (int dx : {5, 30, 60, 90}) EXPECT_TRUE(onTrack(kWidth / 2 + dx)) << dx;
  EXPECT_FALSE(onTrack(kWidth / 2 + 120));  // where it has not flown yet
  EXPECT_FALSE(onTrack(kWidth / 2 - 30));
}

}  // namespace
}  // namespace vl
