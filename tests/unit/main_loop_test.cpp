#include "shell/main_loop.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "input/input_state.h"
#include "shell/tick_schedule.h"
#include "shell/window.h"
#include "tests/support/fakes.h"
#include "tests/support/gl_recorder.h"

namespace vl {
namespace {

using test::GameHarness;
using test::GlOp;
using test::GlRecorder;
using test::KeyDown;
using test::KeyUp;

const std::vector<std::string> kShutdownLines = {
    "leave message loop ------------ USAGE END", "glkFree()", "kill window",
    "end of WinMain() -> exit program"};

bool EndsWith(const std::vector<std::string>& lines, const std::vector<std::string>& tail) {
  return lines.size() >= tail.size() && std::equal(tail.begin(), tail.end(), lines.end() - tail.size());
}

int YieldCount(const test::FakeLoopPlatform& loop) {
  return static_cast<int>(std::count(loop.sleeps.begin(), loop.sleeps.end(), 0u));
}

TEST(BeginFrame, WaitsOutTheSixteenMillisecondTick) {
  struct Case {
    const char* name;
    uint32_t last, now;
    int yields;
    uint32_t newLast;
  } cases[] = {
      {"first pass", 0, 100000, 0, 100000},
      {"5 ms after", 1000, 1005, 11, 1016},
      {"20 ms after", 1000, 1020, 0, 1020},
      {"exactly 16 ms", 1000, 1016, 0, 1016},
      {"across the wrap", 0xFFFFFFF8u, 0xFFFFFFFDu, 11, 8},
      {"last frame just before the wrap, now after", 0xFFFFFFF0u, 3, 0, 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    GameHarness h;
    lastFrameTime = c.last;
    h.loop.now = c.now;
    EXPECT_TRUE(BeginFrame());
    EXPECT_EQ(YieldCount(h.loop), c.yields);
    EXPECT_EQ(lastFrameTime, c.newLast);
    // The wait yields; it never sleeps for a set time.
    EXPECT_EQ(h.loop.sleeps.size(), static_cast<size_t>(c.yields));
  }
}

TEST(BeginFrame, EscapeEndsTheLoopOnlyWhileActive) {
  GameHarness h;
  keysPressed[vk::ESCAPE] = 1;
  windowActive = false;
  EXPECT_TRUE(BeginFrame());
  windowActive = true;
  EXPECT_FALSE(BeginFrame());
}

TEST(PresentFrame, FinishesResetsAndSwaps) {
  GameHarness h;
  GlRecorder rec;
  PresentFrame();
  std::vector<std::string> got;
  for (const auto& c : rec.calls()) got.push_back(c.ToString());
  const std::vector<std::string> want = {"Finish()", "Disable(3089)", "Disable(3042)",
                                         "Color4f(1, 1, 1, 1)", "LoadIdentity()", "Flush()"};
  EXPECT_EQ(got, want);
  EXPECT_EQ(h.loop.swaps, 1);
}

TEST(WinMain, NormalRunLogsStartUpAndShutdownInOrder) {
  GameHarness h;
  h.loop.script = {{}, {}, {KeyDown(vk::ESCAPE)}};
  EXPECT_EQ(WinMain(), 0);
  const std::vector<std::string> want = {
      "CreateGLWindow()", "load cursors", "numjoyaxes: 0", "glkInit()", "hwnd=00001A2B",
      "enter message loop ------------ USAGE START", kShutdownLines[0], kShutdownLines[1],
      kShutdownLines[2], kShutdownLines[3]};
  EXPECT_EQ(h.ReadLines("log.txt"), want);
  EXPECT_EQ(h.loop.cursorIds, std::vector<int>({32512, 32515, 32646, 32514, 32648, 32513}));
  EXPECT_FALSE(h.window.HasWindow());
  EXPECT_FALSE(h.window.HasContext());
}

TEST(WinMain, EscapeEndsTheLoopInBeginFrameWithoutAGameFrame) {
  GameHarness h;
  h.loop.script = {{}, {}, {KeyDown(vk::ESCAPE)}};
  GlRecorder rec;
  WinMain();
  // Two passes ran their frames and presented; the third stopped in BeginFrame.
  EXPECT_EQ(h.loop.passes, 3);
  EXPECT_EQ(rec.Count(GlOp::Clear), 2u);
  EXPECT_EQ(h.loop.swaps, 2);
}

TEST(WinMain, CloseRequestEndsTheLoopBeforeTheWait) {
  GameHarness h;
  h.loop.script = {{}, {{wm::CLOSE, 0, 0}}};
  GlRecorder rec;
  WinMain();
  EXPECT_EQ(h.loop.passes, 2);
  EXPECT_EQ(rec.Count(GlOp::Clear), 1u);  // only the first pass's frame
  EXPECT_EQ(h.loop.swaps, 1);
  EXPECT_TRUE(EndsWith(h.ReadLines("log.txt"), kShutdownLines));
}

TEST(WinMain, QuitMessageLetsThePassFinish) {
  GameHarness h;
  h.loop.script = {{{wm::QUIT, 0, 0}, KeyDown('A')}};
  GlRecorder rec;
  WinMain();
  EXPECT_EQ(h.loop.passes, 1);
  EXPECT_EQ(rec.Count(GlOp::Clear), 1u);
  EXPECT_EQ(h.loop.swaps, 1);
  // The pump stops at the quit message: what follows it is not dispatched.
  EXPECT_EQ(keysHeld[int{'A'}], 0);
  EXPECT_TRUE(EndsWith(h.ReadLines("log.txt"), kShutdownLines));
}

TEST(WinMain, EscapeWhileInactiveDoesNotEndTheLoop) {
  GameHarness h;
  const Msg deactivate{wm::ACTIVATE, MakeWParam(wa::INACTIVE, 0), 0};
  h.loop.script = {{deactivate, KeyDown(vk::ESCAPE)}, {KeyUp(vk::ESCAPE)}, {}};
  GlRecorder rec;
  WinMain();
  // All three scripted passes ran a frame; the close after them ended it.
  EXPECT_EQ(h.loop.passes, 4);
  EXPECT_EQ(rec.Count(GlOp::Clear), 3u);
  // Inactive: no present, a 10 ms sleep after each frame instead.
  EXPECT_EQ(h.loop.swaps, 0);
  EXPECT_EQ(std::count(h.loop.sleeps.begin(), h.loop.sleeps.end(), 10u), 3);
}

// Every pass after the first is made to wait for its tick; the wait's
// yields then show the input state exactly as that pass's game frame sees
// it. Records it once per pass.
template <typename T, typename F>
std::map<int, T> StatePerFrame(GameHarness& h, F read) {
  std::map<int, T> seen;
  h.loop.onPass = [&h](int) { h.loop.now += 1; };
  h.loop.onSleep = [&h, &seen, read](uint32_t ms) {
    if (ms == 0 && !seen.count(h.loop.passes)) seen[h.loop.passes] = read();
  };
  WinMain();
  return seen;
}

TEST(WinMain, KeyTappedBetweenFramesIsSeenByExactlyOneFrame) {
  GameHarness h;
  h.loop.script = {{}, {}, {KeyDown('K'), KeyUp('K')}, {}};
  const auto seen = StatePerFrame<std::pair<int, int>>(
      h, [] { return std::make_pair(int(keysPressed[int{'K'}]), int(keysHeld[int{'K'}])); });
  // Passes are numbered from 1 here; pass 3 is the one after the tap.
  ASSERT_EQ(seen.size(), 3u);
  EXPECT_EQ(seen.at(2), std::make_pair(0, 0));
  EXPECT_EQ(seen.at(3), std::make_pair(1, 1));
  EXPECT_EQ(seen.at(4), std::make_pair(0, 0));
  EXPECT_EQ(keysReleased[int{'K'}], 0);
}

TEST(WinMain, ClickBetweenFramesIsSeenByOneFrameAtTheClickPosition) {
  GameHarness h;
  const Msg move1{wm::MOUSEMOVE, 0, MakeLParam(10, 20)};
  const Msg down{wm::LBUTTONDOWN, 1, MakeLParam(30, 40)};
  const Msg up{wm::LBUTTONUP, 0, MakeLParam(30, 40)};
  const Msg move2{wm::MOUSEMOVE, 0, MakeLParam(50, 60)};
  h.loop.script = {{}, {move1}, {down, up, move2}, {}};
  struct Seen {
    bool left;
    int x, y;
  };
  const auto seen = StatePerFrame<Seen>(h, [] { return Seen{mouseLeft, mouseX, mouseY}; });
  ASSERT_EQ(seen.size(), 3u);
  EXPECT_FALSE(seen.at(2).left);
  EXPECT_EQ(seen.at(2).x, 10);
  EXPECT_EQ(seen.at(2).y, 20);
  EXPECT_TRUE(seen.at(3).left);
  EXPECT_EQ(seen.at(3).x, 30);
  EXPECT_EQ(seen.at(3).y, 40);
  EXPECT_FALSE(seen.at(4).left);
  EXPECT_EQ(seen.at(4).x, 50);
  EXPECT_EQ(seen.at(4).y, 60);
}

TEST(WinMain, FailedWindowLeavesOnlyTheFirstLogLine) {
  GameHarness h;
  h.window.failCreate = true;
  EXPECT_EQ(WinMain(), 1);
  EXPECT_EQ(h.ReadLines("log.txt"), std::vector<std::string>({"CreateGLWindow()"}));
  EXPECT_EQ(h.loop.passes, 0);
  EXPECT_EQ(inputDevices, nullptr);
}

TEST(WinMain, MaximisedStateIsKeptAtShutdown) {
  GameHarness h;
  h.loop.zoomed = true;
  WinMain();
  EXPECT_TRUE(windowSettings.maximised);
}

TEST(WinMain, DeferredResizeIsAppliedAfterThePresent) {
  GameHarness h;
  windowSettings.sampleCount = 0;
  h.loop.script = {{}};
  h.loop.onPass = [&](int pass) {
    if (pass == 0) {
      resizePending = true;
      windowSettings.width = 640;
      windowSettings.height = 480;
    }
  };
  GlRecorder rec;
  WinMain();
  EXPECT_FALSE(resizePending);
  const auto viewports = rec.Only(GlOp::Viewport);
  ASSERT_FALSE(viewports.empty());
  EXPECT_EQ(viewports.back().a[2], 640);
  EXPECT_EQ(viewports.back().a[3], 480);
}

// A system that calls the game at its display frames (a web page): the
// ticks keep 62.5 a second whatever the display's rate, and a pause (a
// hidden tab) or a machine too slow for the picture slows the game down
// instead of making it race to catch up.
TEST(RunDueTicks, KeepsTheTickRateWithoutCatchingUp) {
  struct Case {
    const char* name;
    double displayMs;  // time between display frames
    uint32_t pauseAt, pauseMs;
    int ticks;  // in the 60 s of display frames (and the pause)
  } cases[] = {
      {"60 Hz display", 1000.0 / 60, 0, 0, 3750},
      {"144 Hz display", 1000.0 / 144, 0, 0, 3750},
      {"30 Hz display", 1000.0 / 30, 0, 0, 3750},
      // 5 s hidden: no frames then, and one tick on return, not 312.
      {"tab hidden for 5 s", 1000.0 / 60, 20000, 5000, 3750 - 312},
      {"10 frames a second", 100.0, 0, 0, 600},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    GameHarness h;
    h.loop.script.resize(5000);
    GlRecorder rec;
    ASSERT_TRUE(StartGame());
    const uint32_t origin = h.loop.now;
    for (int frame = 0;; ++frame) {
      const auto t = static_cast<uint32_t>(frame * c.displayMs);
      if (t >= 60000) break;
      if (c.pauseMs && t >= c.pauseAt && t < c.pauseAt + c.pauseMs) continue;
      h.loop.now = origin + t;
      const int before = h.loop.passes;
      ASSERT_TRUE(RunDueTicks());
      if (c.pauseMs && t >= c.pauseAt + c.pauseMs && t < c.pauseAt + c.pauseMs + c.displayMs) {
        EXPECT_EQ(h.loop.passes - before, 1) << "the first frame after the pause";
      }
    }
    EXPECT_NEAR(h.loop.passes, c.ticks, c.ticks / 100);
    EXPECT_TRUE(h.loop.sleeps.empty()) << "a web page never waits";
    EndGame();
  }
}

}  // namespace
}  // namespace vl
