#include "shell/window.h"

#include <gtest/gtest.h>

#include "shell/main_loop.h"

#include "tests/support/fakes.h"
#include "tests/support/gl_recorder.h"

namespace vl {
namespace {

using test::GameHarness;
using test::GlCall;
using test::GlOp;
using test::GlRecorder;

// The calls ResizeViewport must make for a client area of w x h.
void ExpectViewportStream(const std::vector<GlCall>& c, int w, int h) {
  ASSERT_EQ(c.size(), 6u);
  EXPECT_EQ(c[0].op, GlOp::Viewport);
  EXPECT_EQ(c[0].a[0], 0);
  EXPECT_EQ(c[0].a[1], 0);
  EXPECT_EQ(c[0].a[2], w);
  EXPECT_EQ(c[0].a[3], h);
  EXPECT_EQ(c[1].op, GlOp::MatrixMode);
  EXPECT_EQ(c[1].u(0), glc::PROJECTION);
  EXPECT_EQ(c[2].op, GlOp::LoadIdentity);
  ASSERT_EQ(c[3].op, GlOp::Ortho);
  // One unit per pixel, origin at the top-left corner, y growing downwards.
  EXPECT_EQ(c[3].a[0], 0);
  EXPECT_EQ(c[3].a[1], w);
  EXPECT_EQ(c[3].a[2], h);
  EXPECT_EQ(c[3].a[3], 0);
  EXPECT_EQ(c[3].a[4], 1);
  EXPECT_EQ(c[3].a[5], -1);
  EXPECT_EQ(c[4].op, GlOp::MatrixMode);
  EXPECT_EQ(c[4].u(0), glc::MODELVIEW);
  EXPECT_EQ(c[5].op, GlOp::LoadIdentity);
}

TEST(ResizeViewport, AcceptsSizesFromTenToBelowTwentyThousand) {
  GameHarness h;
  struct Case {
    int w, h;
    int expectW, expectH;
  } cases[] = {
      {9, 500, 800, 500},       // too narrow: the old size stays
      {800, 0, 800, 500},       // a height of 0 counts as 1: too low
      {19999, 10, 19999, 10},   // the largest accepted width
      {20000, 500, 800, 500},   // one too wide
      {640, 480, 640, 480},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.w) + "x" + std::to_string(c.h));
    windowSettings.width = 800;
    windowSettings.height = 500;
    GlRecorder rec;
    ResizeViewport(c.w, c.h);
    EXPECT_EQ(windowSettings.width, c.expectW);
    EXPECT_EQ(windowSettings.height, c.expectH);
    ExpectViewportStream(rec.calls(), c.expectW, c.expectH);
  }
}

TEST(SetupGLState, SetsTheDefaultStateInOrder) {
  GameHarness h;
  GlRecorder rec;
  EXPECT_TRUE(SetupGLState());
  std::vector<std::string> got;
  for (const auto& c : rec.calls()) got.push_back(c.ToString());
  const std::vector<std::string> want = {
      "Enable(3553)",   "ShadeModel(7425)", "ClearColor(0, 0, 0, 0)", "ClearDepth(1)",
      "DepthMask(0)",   "Disable(2929)",    "Hint(3152, 4354)",       "PolygonMode(1032, 6914)",
      "Disable(2884)",
  };
  EXPECT_EQ(got, want);
  EXPECT_EQ(h.window.log.back(), "DisableSwapWait");
}

TEST(CreateGLWindow, MakesTheWindowThenContextThenShowsIt) {
  GameHarness h;
  GlRecorder rec;
  ASSERT_TRUE(CreateGLWindow("vantaloop", 800, 500, 32, -1));
  const std::vector<std::string> want = {
      "LoadWindowIcon",        "MakeWindow vantaloop 100,50 800x500 bits=32 format=-1",
      "ChoosePixelFormat", "CreateContext", "ShowWindow", "SetForegroundAndFocus",
      "DisableSwapWait"};
  EXPECT_EQ(h.window.log, want);
  EXPECT_EQ(pixelFormatDescriptor.cDepthBits, 16);
  EXPECT_EQ(pixelFormatDescriptor.cStencilBits, 2);
  EXPECT_EQ(pixelFormatDescriptor.dwFlags, 0x25u);
  EXPECT_FALSE(resizePending);
  // The viewport follows the window's size before the default state is set.
  ASSERT_FALSE(rec.calls().empty());
  EXPECT_EQ(rec.calls()[0].op, GlOp::Viewport);
  EXPECT_TRUE(h.window.messages.empty());
}

TEST(CreateGLWindow, SecondCallKeepsTheFirstColourDepth) {
  GameHarness h;
  ASSERT_TRUE(CreateGLWindow("vantaloop", 800, 500, 32, -1));
  DestroyGLWindow();
  ASSERT_TRUE(CreateGLWindow("vantaloop", 800, 500, 16, -1));
  EXPECT_EQ(pixelFormatDescriptor.cColorBits, 32);
}

TEST(CreateGLWindow, FailureTearsDownAndSaysSo) {
  struct Case {
    const char* what;
    bool noWindow, noContext;
    int32_t samples;  // a multisampled window whose remake fails
    const char* message;
  } cases[] = {
      {"no window", true, false, 0, "ERROR: Could not create window"},
      {"no context", false, true, 0, "ERROR: OpenGL initialization failed"},
      {"no multisampled window", false, false, 4, "ERROR: Could not create window"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    GameHarness h;
    h.window.failCreate = c.noWindow;
    h.window.failContext = c.noContext;
    windowSettings.sampleCount = c.samples;
    h.window.multisampleFormat = 1004;
    if (c.samples) h.window.windowsBeforeFailure = 1;
    EXPECT_FALSE(CreateGLWindow("vantaloop", 800, 500, 32, -1));
    EXPECT_EQ(h.window.messages, std::vector<std::string>{c.message});
    EXPECT_FALSE(h.window.HasWindow());
    EXPECT_FALSE(h.window.HasContext());
    // Nothing is shown or set up on a window that is not there.
    for (const auto& call : h.window.log) EXPECT_TRUE(call != "ShowWindow" && call != "DisableSwapWait") << call;
    // And the program ends with a failure status.
    EXPECT_EQ(WinMain(), 1);
  }
}

TEST(CreateGLWindow, NoMultisamplingIsAskedForWithZeroSamples) {
  GameHarness h;
  h.window.multisampleFormat = 1004;
  ASSERT_TRUE(CreateGLWindow("vantaloop", 800, 500, 32, -1));
  for (const auto& call : h.window.log) EXPECT_NE(call, "ChooseMultisampleFormat");
  EXPECT_FALSE(resizePending);
}

TEST(CreateGLWindow, MultisamplingRemakesTheWindowWithTheChosenFormat) {
  GameHarness h;
  windowSettings.sampleCount = 4;
  h.window.multisampleFormat = 1004;
  ASSERT_TRUE(CreateGLWindow("vantaloop", 800, 500, 32, -1));
  const std::vector<int32_t> attrs = {0x2001, 1,  0x2010, 1, 0x2003, 0x2027, 0x2014, 24,
                                      0x201B, 8,  0x2022, 16, 0x2023, 2,     0x2011, 1,
                                      0x2041, 1,  0x2042, 4, 0,      0};
  EXPECT_EQ(h.window.lastAttributes, attrs);
  // The first window goes; the second one is made with the chosen format and
  // does not try multisampling again.
  int creates = 0, chooses = 0;
  for (const auto& call : h.window.log) {
    creates += call.rfind("MakeWindow", 0) == 0;
    chooses += call == "ChooseMultisampleFormat";
  }
  EXPECT_EQ(creates, 2);
  EXPECT_EQ(chooses, 1);
  EXPECT_NE(std::find(h.window.log.begin(), h.window.log.end(),
                      "MakeWindow vantaloop 100,50 800x500 bits=32 format=1004"),
            h.window.log.end());
  EXPECT_TRUE(resizePending);
  EXPECT_TRUE(h.window.HasWindow());
}

TEST(CreateGLWindow, FailedMultisampleChoiceKeepsTheFirstWindow) {
  GameHarness h;
  windowSettings.sampleCount = 2;
  h.window.multisampleFormat = 0;
  ASSERT_TRUE(CreateGLWindow("vantaloop", 800, 500, 32, -1));
  ASSERT_EQ(h.window.messages.size(), 1u);
  EXPECT_EQ(h.window.messages[0], "ERROR: Multisampling failed to initialise.");
  EXPECT_FALSE(resizePending);
  EXPECT_TRUE(h.window.HasWindow());
}

TEST(CreateGLWindow, MaximisesWhenTheSettingsSaySo) {
  GameHarness h;
  windowSettings.maximised = true;
  ASSERT_TRUE(CreateGLWindow("vantaloop", 800, 500, 32, -1));
  EXPECT_NE(std::find(h.window.log.begin(), h.window.log.end(), "MaximiseWindow"), h.window.log.end());
}

}  // namespace
}  // namespace vl
