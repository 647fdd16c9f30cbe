#include "input/window_proc.h"

#include <gtest/gtest.h>

#include <array>
#include <map>
#include <string>
#include <vector>

#include "input/input_state.h"
#include "shell/main_loop.h"
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

constexpr int kKey = 'K';

Msg KeyRepeat(int vk) { return {wm::KEYDOWN, static_cast<uintptr_t>(vk), 0x40000001}; }
Msg SysKeyDown(int vk) { return {wm::SYSKEYDOWN, static_cast<uintptr_t>(vk), 0x20000001}; }
Msg SysKeyUp(int vk) { return {wm::SYSKEYUP, static_cast<uintptr_t>(vk), static_cast<intptr_t>(0xE0000001u)}; }

struct KeyFlags {
  int pressed, held, released;
  bool operator==(const KeyFlags&) const = default;
};

std::ostream& operator<<(std::ostream& os, const KeyFlags& f) {
  return os << "pressed " << f.pressed << " held " << f.held << " released " << f.released;
}

// Runs the real main loop over a per-pass message script and records the
// key's flags as each game frame sees them (the wait for the frame tick
// happens right before the frame). Passes are numbered from 1; the first
// pass does not wait, so frames 2 onwards are seen.
std::map<int, KeyFlags> KeyFlagsPerFrame(GameHarness& h, int key) {
  std::map<int, KeyFlags> seen;
  h.loop.onPass = [&h](int) { h.loop.now += 1; };
  h.loop.onSleep = [&h, &seen, key](uint32_t ms) {
    if (ms == 0 && !seen.count(h.loop.passes))
      seen[h.loop.passes] = {keysPressed[key], keysHeld[key], keysReleased[key]};
  };
  WinMain();
  return seen;
}

TEST(WndProcKeys, FlagsOverFrames) {
  struct Case {
    const char* name;
    std::vector<std::vector<Msg>> script;  // messages per pass, pass 1 first
    std::vector<KeyFlags> frames;          // as frames 2, 3, ... see the key
  } cases[] = {
      {"held key with auto-repeat",
       {{}, {KeyDown(kKey)}, {KeyRepeat(kKey)}, {KeyRepeat(kKey)}, {KeyUp(kKey)}, {}},
       {{1, 1, 0}, {0, 1, 0}, {0, 1, 0}, {0, 1, 1}, {0, 0, 0}}},
      {"press, release and press again inside one frame",
       {{}, {KeyDown(kKey), KeyUp(kKey), KeyDown(kKey)}, {}, {KeyRepeat(kKey)}, {}},
       // The release wins at the end of the frame; the next auto-repeat
       // counts as a fresh press.
       {{1, 1, 1}, {0, 0, 0}, {1, 1, 0}, {0, 1, 0}}},
      {"release arriving as a system key stays held",
       {{}, {KeyDown(kKey)}, {SysKeyUp(kKey)}, {}, {KeyUp(kKey)}, {}},
       {{1, 1, 0}, {0, 1, 0}, {0, 1, 0}, {0, 1, 1}, {0, 0, 0}}},
      {"keys pressed as system keys are not recorded",
       {{}, {SysKeyDown(kKey)}, {SysKeyUp(kKey)}, {}},
       {{0, 0, 0}, {0, 0, 0}, {0, 0, 0}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    GameHarness h;
    h.loop.script = c.script;
    const auto seen = KeyFlagsPerFrame(h, kKey);
    ASSERT_EQ(seen.size(), c.frames.size());
    for (size_t i = 0; i < c.frames.size(); ++i) {
      const int frame = static_cast<int>(i) + 2;
      EXPECT_EQ(seen.at(frame), c.frames[i]) << "frame " << frame;
    }
  }
}

TEST(WndProcKeys, VirtualKeyCodesIndexTheArraysWithoutFolding) {
  GameHarness h;
  // Shift and the letter are separate keys; codes above 255 have entries too.
  WndProc(KeyDown(0x10));
  WndProc(KeyDown('A'));
  WndProc(KeyDown(0x1234));
  EXPECT_EQ(keysPressed[0x10], 1);
  EXPECT_EQ(keysPressed[int{'A'}], 1);
  EXPECT_EQ(keysPressed[int{'a'}], 0);
  EXPECT_EQ(keysHeld[0x1234], 1);
  WndProc(KeyUp(0x1234));
  EXPECT_EQ(keysReleased[0x1234], 1);
}

// Messages that the window procedure leaves to the window's default
// handling, and those it answers itself.
class ResultOps : public test::FakeWindowOps {
 public:
  intptr_t DefaultWindowProc(const Msg& m) override {
    ++defaultCalls;
    seen.push_back(m.message);
    return 42;
  }
  std::vector<uint32_t> seen;
};

TEST(WndProc, DefaultHandlingAndResults) {
  GameHarness h;
  ResultOps ops;
  windowOps = &ops;
  GlRecorder rec;
  struct Case {
    Msg msg;
    intptr_t result;
    bool toDefault;
  } cases[] = {
      {SysKeyDown('X'), 0, false},
      {SysKeyUp('X'), 42, true},
      {{wm::SYSCHAR, 'x', 0}, 42, true},
      {{wm::DEADCHAR, '^', 0}, 42, true},
      {{0x0401, 0, 0}, 42, true},  // a message the game does not know
      {{wm::PAINT, 0, 0}, 42, true},
      {{wm::CLOSE, 0, 0}, 0, false},
      {KeyDown('A'), 0, false},
      {{wm::CHAR, 'a', 0}, 0, false},
      {{wm::MOUSEWHEEL, MakeWParam(0, 120), 0}, 0, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.msg.message);
    const int before = ops.defaultCalls;
    EXPECT_EQ(WndProc(c.msg), c.result);
    EXPECT_EQ(ops.defaultCalls - before, c.toDefault ? 1 : 0);
    if (c.toDefault) {
      EXPECT_EQ(ops.seen.back(), c.msg.message);
    }
  }
  windowOps = &h.ops;
}

TEST(WndProc, TypedCharacterFoldsOnlyLowerCaseLetters) {
  GameHarness h;
  const std::pair<uintptr_t, uint8_t> cases[] = {
      {'q', 'Q'}, {'a', 'A'}, {'z', 'Z'}, {'Q', 'Q'}, {'1', '1'}, {'`', '`'}, {'{', '{'},
      {0x80, 0x80}, {0xE4, 0xE4}, {0xFF, 0xFF},
      {0x171, 'Q'},  // only the low byte counts
  };
  for (const auto& [wParam, want] : cases) {
    WndProc({wm::CHAR, wParam, 0});
    EXPECT_EQ(typedChar, want) << "wParam " << wParam;
  }
}

TEST(WndProc, WheelCountsOneStepPerMessage) {
  GameHarness h;
  struct Step {
    int delta;
    int32_t wheelAfter;
  } steps[] = {
      {240, 1}, {-120, 0}, {-120, -1}, {0, -1}, {1, 0}, {-32768, 0}, {32767, 1}, {-1, 0},
  };
  for (const Step& s : steps) {
    WndProc({wm::MOUSEWHEEL, MakeWParam(0x0008, s.delta), MakeLParam(5, 5)});
    EXPECT_EQ(mouseWheel, s.wheelAfter) << "delta " << s.delta;
  }
}

TEST(WndProc, SizeKeepsTinyDimensionsAndAlwaysResizesTheViewport) {
  struct Case {
    int w, h;
    int32_t wantW, wantH;
  } cases[] = {
      {1024, 768, 1024, 768}, {0, 0, 800, 500}, {5, 600, 800, 600},
      {6, 5, 6, 500},  // 6 is taken, 5 is not
      {65535, 40000, 65535, 40000},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.w) + "x" + std::to_string(c.h));
    GameHarness h;
    GlRecorder rec;
    EXPECT_EQ(WndProc({wm::SIZE, 0, MakeLParam(c.w, c.h)}), 0);
    EXPECT_TRUE(sizeChanged);
    EXPECT_EQ(windowSettings.width, c.wantW);
    EXPECT_EQ(windowSettings.height, c.wantH);
    const auto viewports = rec.Only(GlOp::Viewport);
    ASSERT_EQ(viewports.size(), 1u);
    EXPECT_EQ(viewports[0].a[2], windowSettings.width);
    EXPECT_EQ(viewports[0].a[3], windowSettings.height);
  }
}

TEST(WndProc, MoveSubtractsTheFrameAndIgnoresFarNegativePositions) {
  // The fake window has 4-pixel frames and a 20-pixel caption.
  struct Case {
    const char* name;
    int x, y;
    int32_t wantX, wantY;
  } cases[] = {
      {"ordinary", 300, 200, 296, 176},
      {"slightly off screen", -50, -10, -54, -34},
      {"far below -3000 (minimised)", -32000, -32000, 100, 50},
      {"x at exactly -3000 after the frame", -2996, 100, 100, 76},
      {"just above -3000", -2995, -2975, -2999, -2999},
      {"largest coordinates", 32767, 32767, 32763, 32743},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    GameHarness h;
    EXPECT_EQ(WndProc({wm::MOVE, 0, MakeLParam(c.x, c.y)}), 0);
    EXPECT_EQ(windowSettings.posX, c.wantX);
    EXPECT_EQ(windowSettings.posY, c.wantY);
  }
}

TEST(WndProc, ActivationFollowsStateAndMinimisedWord) {
  struct Case {
    const char* name;
    int state, minimised;
    bool wantActive, wantChanged;
  } cases[] = {
      {"active", static_cast<int>(wa::ACTIVE), 0, true, true},
      {"click-active", static_cast<int>(wa::CLICKACTIVE), 0, true, true},
      {"active but minimised", static_cast<int>(wa::ACTIVE), 1, false, true},
      {"click-active, other non-zero minimised word", static_cast<int>(wa::CLICKACTIVE), 0x8000, false, true},
      {"inactive", static_cast<int>(wa::INACTIVE), 0, false, true},
      {"inactive and minimised", static_cast<int>(wa::INACTIVE), 1, false, true},
      {"unknown state changes nothing", 3, 0, true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    for (bool activeBefore : {false, true}) {
      GameHarness h;
      windowActive = activeBefore;
      activationChanged = false;
      EXPECT_EQ(WndProc({wm::ACTIVATE, MakeWParam(c.state, c.minimised), 0}), 0);
      EXPECT_EQ(activationChanged, c.wantChanged);
      EXPECT_EQ(windowActive, c.wantChanged ? c.wantActive : activeBefore);
    }
  }
}

TEST(WndProc, CloseOnlyRequests) {
  GameHarness h;
  h.window.window = true;
  EXPECT_EQ(WndProc({wm::CLOSE, 0, 0}), 0);
  EXPECT_TRUE(closeRequested);
  EXPECT_TRUE(h.window.HasWindow());
  EXPECT_TRUE(h.window.log.empty());
  EXPECT_EQ(h.ops.defaultCalls, 0);
}

TEST(WndProc, ThirdPaintSincePresentPresentsAgain) {
  GameHarness h;
  GlRecorder rec;
  for (int i = 1; i <= 4; ++i) {
    WndProc({wm::PAINT, 0, 0});
    EXPECT_EQ(paintCount, i);
    EXPECT_EQ(h.loop.swaps, i < 3 ? 0 : i - 2) << "paint " << i;
    EXPECT_EQ(h.ops.defaultCalls, i);
  }
  EXPECT_EQ(rec.Count(GlOp::Finish), 2u);
}

TEST(WndProcMouse, ButtonsAndLeaveTracking) {
  GameHarness h;
  const Msg move{wm::MOUSEMOVE, 0, MakeLParam(10, 10)};
  WndProc(move);
  EXPECT_TRUE(mouseInside);
  EXPECT_EQ(h.ops.leaveRequests, 1);
  WndProc(move);
  EXPECT_EQ(h.ops.leaveRequests, 1);  // armed once per visit

  WndProc({wm::LBUTTONDOWN, 1, MakeLParam(12, 13)});
  WndProc({wm::RBUTTONDOWN, 2, MakeLParam(12, 13)});
  WndProc({wm::MBUTTONDOWN, 0x10, MakeLParam(12, 13)});
  EXPECT_TRUE(mouseLeft);
  EXPECT_TRUE(mouseRight);
  EXPECT_TRUE(mouseMiddle);
  EXPECT_TRUE(clickPending);
  EXPECT_EQ(clickX, 12);
  EXPECT_EQ(clickY, 13);

  WndProc({wm::RBUTTONUP, 0, MakeLParam(12, 13)});
  WndProc({wm::MBUTTONUP, 0, MakeLParam(12, 13)});
  EXPECT_TRUE(mouseLeft);
  EXPECT_FALSE(mouseRight);
  EXPECT_FALSE(mouseMiddle);

  // Leaving with the buttons down lets them go.
  WndProc({wm::RBUTTONDOWN, 2, MakeLParam(12, 13)});
  WndProc({wm::MOUSELEAVE, 0, 0});
  EXPECT_FALSE(mouseLeft);
  EXPECT_FALSE(mouseRight);
  EXPECT_FALSE(mouseMiddle);
  EXPECT_FALSE(mouseInside);

  // Coming back arms the leave notification again.
  WndProc(move);
  EXPECT_EQ(h.ops.leaveRequests, 2);
  WndProc({wm::LBUTTONDOWN, 1, MakeLParam(1, 1)});
  WndProc({wm::LBUTTONUP, 0, MakeLParam(1, 1)});
  EXPECT_FALSE(mouseLeft);
}

TEST(WndProcMouse, ScaledPosition) {
  struct Case {
    const char* name;
    int32_t clientW, clientH;    // what GetClientRect reports
    int32_t settingsW, settingsH;
    int x, y;
    int32_t wantX, wantY;
  } cases[] = {
      {"client as recorded", 800, 500, 800, 500, 123, 456, 123, 456},
      {"half-size client", 400, 250, 800, 500, 100, 50, 200, 100},
      {"ties go to the even neighbour", 400, 400, 200, 200, 5, 3, 2, 2},
      {"ties go to the even neighbour (down)", 400, 400, 200, 200, 1, 9, 0, 4},
      {"divide first, then multiply", 6, 6, 15, 15, 25, 199, 63, 497},
      {"coordinates are unsigned 16-bit", 800, 500, 800, 500, -1, 0, 65535, 0},
      {"zero-width client keeps x", 0, 500, 800, 500, 10, 20, 77, 20},
      {"zero-height client keeps y", 800, 0, 800, 500, 10, 20, 10, 88},
      {"empty client keeps both", 0, 0, 800, 500, 10, 20, 77, 88},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    GameHarness h;
    h.ops.clientW = c.clientW;
    h.ops.clientH = c.clientH;
    windowSettings.width = c.settingsW;
    windowSettings.height = c.settingsH;
    mouseX = clickX = 77;
    mouseY = clickY = 88;
    WndProc({wm::MOUSEMOVE, 0, MakeLParam(c.x, c.y)});
    EXPECT_EQ(mouseX, c.wantX);
    EXPECT_EQ(mouseY, c.wantY);
    WndProc({wm::LBUTTONDOWN, 1, MakeLParam(c.x, c.y)});
    EXPECT_EQ(clickX, c.wantX);
    EXPECT_EQ(clickY, c.wantY);
  }
}

TEST(WndProcMouse, ScaledPositionStaysInRangeForATinyClient) {
  GameHarness h;
  h.ops.clientW = 1;
  h.ops.clientH = 1;
  windowSettings.width = 65535;
  windowSettings.height = 40000;
  WndProc({wm::MOUSEMOVE, 0, MakeLParam(65535, 2)});
  EXPECT_EQ(mouseX, 2147483647);
  EXPECT_EQ(mouseY, 80000);
}

class CursorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (int i = 0; i < 6; ++i) cursorTable[i] = &handles_[i];
    // Window at (100, 50), 4-pixel frame, 20-pixel caption: the client
    // area's corner is (104, 74) and it is 800 x 500.
    h_.ops.cursorX = 500;
    h_.ops.cursorY = 300;
  }
  GameHarness h_;
  std::array<int, 6> handles_{};
};

TEST_F(CursorTest, CursorInClientUsesTheClientArea) {
  struct Case {
    int32_t x, y;
    bool inside;
  } cases[] = {
      {104, 74, true}, {103, 74, false}, {104, 73, false}, {903, 573, true},
      {904, 573, false}, {903, 574, false}, {100, 50, false},
  };
  for (const Case& c : cases) {
    h_.ops.cursorX = c.x;
    h_.ops.cursorY = c.y;
    EXPECT_EQ(CursorInClient(), c.inside) << c.x << "," << c.y;
  }
}

TEST_F(CursorTest, UpdateCursorPicksFromTheTable) {
  mouseInside = true;
  struct Case {
    int32_t shape;
    bool hidden;
    std::vector<CursorHandle> set;
  } cases[] = {
      {0, false, {&handles_[0]}}, {1, false, {nullptr}},       {2, false, {&handles_[2]}},
      {3, false, {&handles_[3]}}, {4, false, {&handles_[4]}}, {5, false, {&handles_[5]}},
      {6, false, {}},             {0, true, {nullptr}},       {6, true, {nullptr}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.shape) + (c.hidden ? " hidden" : ""));
    cursorShape = c.shape;
    cursorHidden = c.hidden;
    h_.ops.cursorsSet.clear();
    EXPECT_TRUE(UpdateCursor());
    EXPECT_EQ(h_.ops.cursorsSet, c.set);
  }
}

TEST_F(CursorTest, DefaultCursorOutsideTheClientOrBeforeTheFirstMove) {
  // Before any move over the window the default handling runs.
  EXPECT_FALSE(UpdateCursor());
  const Msg setCursor{wm::SETCURSOR, 0, MakeLParam(1, static_cast<int>(wm::MOUSEMOVE))};
  EXPECT_EQ(WndProc(setCursor), 0);
  EXPECT_EQ(h_.ops.defaultCalls, 1);

  WndProc({wm::MOUSEMOVE, 0, MakeLParam(396, 226)});
  EXPECT_EQ(WndProc(setCursor), 0);
  EXPECT_EQ(h_.ops.defaultCalls, 1);
  EXPECT_EQ(h_.ops.cursorsSet, std::vector<CursorHandle>({&handles_[0]}));

  // The pointer over the frame, not the client area.
  h_.ops.cursorX = 101;
  EXPECT_FALSE(UpdateCursor());
  WndProc(setCursor);
  EXPECT_EQ(h_.ops.defaultCalls, 2);
  EXPECT_EQ(h_.ops.cursorsSet.size(), 1u);
}

}  // namespace
}  // namespace vl
