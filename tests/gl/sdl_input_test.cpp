// The SDL back end of the input: SDL events turned into window messages,
// the key tables, and the device object reading SDL's virtual joystick.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstring>
#include <deque>
#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "input/input_devices.h"
#include "input/input_state.h"
#include "input/window_proc.h"
#include "platform/sdl_devices.h"
#include "platform/sdl_events.h"
#include "platform/sdl_fullscreen.h"
#include "platform/sdl_keys.h"
#include "platform/sdl_loop.h"
#include "platform/sdl_window.h"
#include "shell/main_loop.h"
#include "shell/window.h"
#include "tests/support/fakes.h"
#include "tests/support/gl_recorder.h"

namespace vl {

bool operator==(const Msg& a, const Msg& b) {
  return a.message == b.message && a.wParam == b.wParam && a.lParam == b.lParam;
}
void PrintTo(const Msg& m, std::ostream* os) {
  *os << "{0x" << std::hex << m.message << ", 0x" << m.wParam << ", 0x"
      << static_cast<uint32_t>(m.lParam) << std::dec << "}";
}

namespace {

constexpr uint32_t kWin = 4242;  // an id no real window of these tests has

SDL_Event Key(uint32_t type, SDL_Scancode sc, SDL_Keycode sym, uint16_t mod = KMOD_NONE,
              uint8_t repeat = 0, uint32_t window = kWin) {
  SDL_Event e{};
  e.type = type;
  e.key.windowID = window;
  e.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
  e.key.repeat = repeat;
  e.key.keysym.scancode = sc;
  e.key.keysym.sym = sym;
  e.key.keysym.mod = mod;
  return e;
}

SDL_Event Window(SDL_WindowEventID what, int data1 = 0, int data2 = 0, uint32_t window = kWin) {
  SDL_Event e{};
  e.type = SDL_WINDOWEVENT;
  e.window.windowID = window;
  e.window.event = static_cast<uint8_t>(what);
  e.window.data1 = data1;
  e.window.data2 = data2;
  return e;
}

SDL_Event Motion(int x, int y, uint32_t state = 0) {
  SDL_Event e{};
  e.type = SDL_MOUSEMOTION;
  e.motion.windowID = kWin;
  e.motion.x = x;
  e.motion.y = y;
  e.motion.state = state;
  return e;
}

SDL_Event Button(uint32_t type, uint8_t button, int x, int y) {
  SDL_Event e{};
  e.type = type;
  e.button.windowID = kWin;
  e.button.button = button;
  e.button.state = type == SDL_MOUSEBUTTONDOWN ? SDL_PRESSED : SDL_RELEASED;
  e.button.x = x;
  e.button.y = y;
  return e;
}

SDL_Event Wheel(int x, int y, uint32_t direction = SDL_MOUSEWHEEL_NORMAL) {
  SDL_Event e{};
  e.type = SDL_MOUSEWHEEL;
  e.wheel.windowID = kWin;
  e.wheel.x = x;
  e.wheel.y = y;
  e.wheel.preciseX = static_cast<float>(x);
  e.wheel.preciseY = static_cast<float>(y);
  e.wheel.direction = direction;
  e.wheel.mouseX = 30;
  e.wheel.mouseY = 40;
  return e;
}

SDL_Event Text(const char* utf8) {
  SDL_Event e{};
  e.type = SDL_TEXTINPUT;
  e.text.windowID = kWin;
  std::strncpy(e.text.text, utf8, sizeof e.text.text - 1);
  return e;
}

SDL_Event Quit() {
  SDL_Event e{};
  e.type = SDL_QUIT;
  return e;
}

Msg M(uint32_t message, uintptr_t wParam, uint32_t lParam) {
  return {message, wParam, static_cast<intptr_t>(static_cast<int32_t>(lParam))};
}

std::vector<Msg> Translate(const SDL_Event& e, EventContext& ctx) {
  std::deque<Msg> out;
  TranslateEvent(e, ctx, out);
  return {out.begin(), out.end()};
}

TEST(TranslateEvent, KeysBecomeWindowsKeyMessages) {
  using namespace wm;
  const uint32_t up = 0xC0000000u;  // previous state and transition bits
  struct Case {
    const char* name;
    SDL_Event event;
    std::vector<Msg> want;
  } cases[] = {
      {"Escape down also types ESC", Key(SDL_KEYDOWN, SDL_SCANCODE_ESCAPE, SDLK_ESCAPE),
       {M(KEYDOWN, 27, 0x00010001), M(CHAR, 27, 0x00010001)}},
      {"Escape up", Key(SDL_KEYUP, SDL_SCANCODE_ESCAPE, SDLK_ESCAPE), {M(KEYUP, 27, up | 0x00010001)}},
      {"A", Key(SDL_KEYDOWN, SDL_SCANCODE_A, 'a'), {M(KEYDOWN, 'A', 0x001E0001)}},
      {"A auto-repeat", Key(SDL_KEYDOWN, SDL_SCANCODE_A, 'a', KMOD_NONE, 1),
       {M(KEYDOWN, 'A', 0x401E0001)}},
      {"the key typing 'q' on a French layout is VK 'Q'", Key(SDL_KEYDOWN, SDL_SCANCODE_A, 'q'),
       {M(KEYDOWN, 'Q', 0x001E0001)}},
      {"1", Key(SDL_KEYDOWN, SDL_SCANCODE_1, '1'), {M(KEYDOWN, '1', 0x00020001)}},
      {"1 on a French layout types '&'", Key(SDL_KEYDOWN, SDL_SCANCODE_1, '&'),
       {M(KEYDOWN, '1', 0x00020001)}},
      {"F1", Key(SDL_KEYDOWN, SDL_SCANCODE_F1, SDLK_F1), {M(KEYDOWN, 0x70, 0x003B0001)}},
      {"F24", Key(SDL_KEYDOWN, SDL_SCANCODE_F24, SDLK_F24), {M(KEYDOWN, 0x87, 0x00760001)}},
      {"left Shift", Key(SDL_KEYDOWN, SDL_SCANCODE_LSHIFT, SDLK_LSHIFT, KMOD_LSHIFT),
       {M(KEYDOWN, 0x10, 0x002A0001)}},
      {"right Shift", Key(SDL_KEYDOWN, SDL_SCANCODE_RSHIFT, SDLK_RSHIFT, KMOD_RSHIFT),
       {M(KEYDOWN, 0x10, 0x00360001)}},
      {"right Control is extended", Key(SDL_KEYDOWN, SDL_SCANCODE_RCTRL, SDLK_RCTRL, KMOD_RCTRL),
       {M(KEYDOWN, 0x11, 0x011D0001)}},
      {"right Control up", Key(SDL_KEYUP, SDL_SCANCODE_RCTRL, SDLK_RCTRL),
       {M(KEYUP, 0x11, up | 0x011D0001)}},
      {"keypad 5 with Num Lock", Key(SDL_KEYDOWN, SDL_SCANCODE_KP_5, SDLK_KP_5, KMOD_NUM),
       {M(KEYDOWN, 0x65, 0x004C0001)}},
      {"keypad 5 without Num Lock", Key(SDL_KEYDOWN, SDL_SCANCODE_KP_5, SDLK_KP_5),
       {M(KEYDOWN, 0x0C, 0x004C0001)}},
      {"keypad 7 without Num Lock is Home, not extended", Key(SDL_KEYDOWN, SDL_SCANCODE_KP_7, SDLK_KP_7),
       {M(KEYDOWN, 0x24, 0x00470001)}},
      {"Home is extended", Key(SDL_KEYDOWN, SDL_SCANCODE_HOME, SDLK_HOME), {M(KEYDOWN, 0x24, 0x01470001)}},
      {"keypad multiply", Key(SDL_KEYDOWN, SDL_SCANCODE_KP_MULTIPLY, SDLK_KP_MULTIPLY, KMOD_NUM),
       {M(KEYDOWN, 0x6A, 0x00370001)}},
      {"keypad divide", Key(SDL_KEYDOWN, SDL_SCANCODE_KP_DIVIDE, SDLK_KP_DIVIDE, KMOD_NUM),
       {M(KEYDOWN, 0x6F, 0x01350001)}},
      {"keypad Enter is an extended Return", Key(SDL_KEYDOWN, SDL_SCANCODE_KP_ENTER, SDLK_KP_ENTER),
       {M(KEYDOWN, 0x0D, 0x011C0001), M(CHAR, '\r', 0x011C0001)}},
      {"Left arrow", Key(SDL_KEYDOWN, SDL_SCANCODE_LEFT, SDLK_LEFT), {M(KEYDOWN, 0x25, 0x014B0001)}},
      {"Delete", Key(SDL_KEYDOWN, SDL_SCANCODE_DELETE, SDLK_DELETE), {M(KEYDOWN, 0x2E, 0x01530001)}},
      {"semicolon is VK_OEM_1", Key(SDL_KEYDOWN, SDL_SCANCODE_SEMICOLON, ';'),
       {M(KEYDOWN, 0xBA, 0x00270001)}},
      {"slash is VK_OEM_2", Key(SDL_KEYDOWN, SDL_SCANCODE_SLASH, '/'), {M(KEYDOWN, 0xBF, 0x00350001)}},
      {"the extra key left of Z", Key(SDL_KEYDOWN, SDL_SCANCODE_NONUSBACKSLASH, '<'),
       {M(KEYDOWN, 0xE2, 0x00560001)}},
      {"Alt itself is a system key", Key(SDL_KEYDOWN, SDL_SCANCODE_LALT, SDLK_LALT, KMOD_LALT),
       {M(SYSKEYDOWN, 0x12, 0x20380001)}},
      {"so is its release", Key(SDL_KEYUP, SDL_SCANCODE_LALT, SDLK_LALT),
       {M(SYSKEYUP, 0x12, up | 0x20380001)}},
      {"right Alt is extended", Key(SDL_KEYDOWN, SDL_SCANCODE_RALT, SDLK_RALT, KMOD_RALT),
       {M(SYSKEYDOWN, 0x12, 0x21380001)}},
      {"Alt+X", Key(SDL_KEYDOWN, SDL_SCANCODE_X, 'x', KMOD_LALT), {M(SYSKEYDOWN, 'X', 0x202D0001)}},
      {"X released while Alt is held", Key(SDL_KEYUP, SDL_SCANCODE_X, 'x', KMOD_LALT),
       {M(SYSKEYUP, 'X', up | 0x202D0001)}},
      {"Control+Alt+X is not a system key", Key(SDL_KEYDOWN, SDL_SCANCODE_X, 'x', KMOD_LALT | KMOD_LCTRL),
       {M(KEYDOWN, 'X', 0x002D0001)}},
      {"Control+C types ETX", Key(SDL_KEYDOWN, SDL_SCANCODE_C, 'c', KMOD_LCTRL),
       {M(KEYDOWN, 'C', 0x002E0001), M(CHAR, 3, 0x002E0001)}},
      {"F10 is a system key", Key(SDL_KEYDOWN, SDL_SCANCODE_F10, SDLK_F10), {M(SYSKEYDOWN, 0x79, 0x00440001)}},
      {"F10 up", Key(SDL_KEYUP, SDL_SCANCODE_F10, SDLK_F10), {M(SYSKEYUP, 0x79, up | 0x00440001)}},
      {"Tab types HT", Key(SDL_KEYDOWN, SDL_SCANCODE_TAB, SDLK_TAB),
       {M(KEYDOWN, 0x09, 0x000F0001), M(CHAR, '\t', 0x000F0001)}},
      {"Pause", Key(SDL_KEYDOWN, SDL_SCANCODE_PAUSE, SDLK_PAUSE), {M(KEYDOWN, 0x13, 0x00450001)}},
      {"Num Lock is extended", Key(SDL_KEYDOWN, SDL_SCANCODE_NUMLOCKCLEAR, SDLK_NUMLOCKCLEAR, KMOD_NUM),
       {M(KEYDOWN, 0x90, 0x01450001)}},
      {"a key Windows has no code for", Key(SDL_KEYDOWN, SDL_SCANCODE_UNKNOWN, SDLK_UNKNOWN), {}},
      {"a key for another window", Key(SDL_KEYDOWN, SDL_SCANCODE_ESCAPE, SDLK_ESCAPE, 0, 0, kWin + 1), {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EventContext ctx;
    ctx.windowId = kWin;
    EXPECT_EQ(Translate(c.event, ctx), c.want);
  }
}

TEST(TranslateEvent, TypedTextBecomesWindows1252Characters) {
  using wm::CHAR;
  struct Case {
    const char* text;
    std::vector<Msg> want;
  } cases[] = {
      {"q", {M(CHAR, 'q', 1)}},
      {"Ab", {M(CHAR, 'A', 1), M(CHAR, 'b', 1)}},
      {"\xC3\xA4", {M(CHAR, 0xE4, 1)}},      // a with diaeresis
      {"\xE2\x82\xAC", {M(CHAR, 0x80, 1)}},  // euro sign
      {"\xE6\x97\xA5", {M(CHAR, '?', 1)}},   // not in the code page
      {"\xF0\x9F\x98\x80", {M(CHAR, '?', 1)}},
      {"\xC3", {M(CHAR, '?', 1)}},  // cut short
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EventContext ctx;
    ctx.windowId = kWin;
    EXPECT_EQ(Translate(Text(c.text), ctx), c.want);
  }
}

TEST(TranslateEvent, TextTypedWithAltIsASystemCharacter) {
  EventContext ctx;
  ctx.windowId = kWin;
  std::deque<Msg> out;
  TranslateEvent(Key(SDL_KEYDOWN, SDL_SCANCODE_X, 'x', KMOD_LALT), ctx, out);
  TranslateEvent(Text("x"), ctx, out);
  TranslateEvent(Key(SDL_KEYDOWN, SDL_SCANCODE_Y, 'y'), ctx, out);
  TranslateEvent(Text("y"), ctx, out);
  const std::vector<Msg> want = {M(wm::SYSKEYDOWN, 'X', 0x202D0001), M(wm::SYSCHAR, 'x', 1),
                                 M(wm::KEYDOWN, 'Y', 0x00150001), M(wm::CHAR, 'y', 1)};
  EXPECT_EQ(std::vector<Msg>(out.begin(), out.end()), want);
}

TEST(TranslateEvent, MouseAndWindowEvents) {
  using namespace wm;
  const uint32_t setCursor = MakeLParam(ht::CLIENT, static_cast<int>(MOUSEMOVE));
  struct Case {
    const char* name;
    SDL_Event event;
    float pixelsPerPoint;
    std::vector<Msg> want;
  } cases[] = {
      {"motion: cursor first, then the move", Motion(10, 20, SDL_BUTTON_LMASK), 1,
       {M(SETCURSOR, kWin, setCursor), M(MOUSEMOVE, 0x01, 0x0014000A)}},
      {"motion outside the client area", Motion(-3, 5), 1, {}},
      {"left down", Button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 7, 8), 1, {M(LBUTTONDOWN, 0x01, 0x00080007)}},
      {"left up", Button(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT, 7, 8), 1, {M(LBUTTONUP, 0, 0x00080007)}},
      {"right down", Button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_RIGHT, 1, 2), 1, {M(RBUTTONDOWN, 0x02, 0x00020001)}},
      {"middle down", Button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_MIDDLE, 1, 2), 1, {M(MBUTTONDOWN, 0x10, 0x00020001)}},
      {"middle up", Button(SDL_MOUSEBUTTONUP, SDL_BUTTON_MIDDLE, 1, 2), 1, {M(MBUTTONUP, 0, 0x00020001)}},
      {"side button", Button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_X1, 1, 2), 1, {}},
      {"wheel up", Wheel(0, 1), 1, {M(MOUSEWHEEL, MakeWParam(0, 120), 0x0028001E)}},
      {"wheel down", Wheel(0, -1), 1, {M(MOUSEWHEEL, MakeWParam(0, -120), 0x0028001E)}},
      {"two notches at once", Wheel(0, 2), 1, {M(MOUSEWHEEL, MakeWParam(0, 240), 0x0028001E)}},
      {"flipped wheel", Wheel(0, 1, SDL_MOUSEWHEEL_FLIPPED), 1,
       {M(MOUSEWHEEL, MakeWParam(0, -120), 0x0028001E)}},
      {"sideways only", Wheel(1, 0), 1, {}},
      {"resize", Window(SDL_WINDOWEVENT_SIZE_CHANGED, 640, 400), 1, {M(SIZE, 0, 0x01900280)}},
      {"resize on a high-DPI display", Window(SDL_WINDOWEVENT_SIZE_CHANGED, 640, 400), 2,
       {M(SIZE, 0, 0x03200500)}},
      {"moved", Window(SDL_WINDOWEVENT_MOVED, 300, 200), 1, {M(MOVE, 0, 0x00C8012C)}},
      {"moved off the left edge", Window(SDL_WINDOWEVENT_MOVED, -10, -20), 1, {M(MOVE, 0, 0xFFECFFF6)}},
      {"focus lost", Window(SDL_WINDOWEVENT_FOCUS_LOST), 1, {M(ACTIVATE, MakeWParam(0, 0), 0)}},
      {"focus gained", Window(SDL_WINDOWEVENT_FOCUS_GAINED), 1, {M(ACTIVATE, MakeWParam(1, 0), 0)}},
      {"minimised", Window(SDL_WINDOWEVENT_MINIMIZED), 1,
       {M(ACTIVATE, MakeWParam(0, 1), 0), M(SIZE, 1, 0)}},
      {"restored", Window(SDL_WINDOWEVENT_RESTORED), 1, {M(ACTIVATE, MakeWParam(1, 0), 0)}},
      {"exposed", Window(SDL_WINDOWEVENT_EXPOSED), 1, {M(PAINT, 0, 0)}},
      {"close button", Window(SDL_WINDOWEVENT_CLOSE), 1, {M(CLOSE, 0, 0)}},
      {"another window's close button", Window(SDL_WINDOWEVENT_CLOSE, 0, 0, kWin + 1), 1, {}},
      {"quit", Quit(), 1, {M(QUIT, 0, 0)}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EventContext ctx;
    ctx.windowId = kWin;
    ctx.pixelsPerPointX = ctx.pixelsPerPointY = c.pixelsPerPoint;
    EXPECT_EQ(Translate(c.event, ctx), c.want);
  }
}

// SDL's events through SDL's own queue, the back end's message queue and the
// real window procedure, as the main loop's message pump takes them: all the
// events queued before a pump arrive in one batch.
class MessageQueue : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_EVENTS), 0) << SDL_GetError();
    SDL_EventState(SDL_TEXTINPUT, SDL_ENABLE);
    sdlWindow.leaveArmed = false;
    windowOps = &ops_;
  }
  void TearDown() override {
    windowOps = &harness_.ops;
    SDL_QuitSubSystem(SDL_INIT_EVENTS);
  }

  // Queues the events, then takes out and dispatches every message.
  std::vector<Msg> Pump(std::vector<SDL_Event> events) {
    for (SDL_Event& e : events) {
      // Without a game window the back end takes events for window id 0.
      switch (e.type) {
        case SDL_KEYDOWN: case SDL_KEYUP: e.key.windowID = 0; break;
        case SDL_TEXTINPUT: e.text.windowID = 0; break;
        case SDL_MOUSEMOTION: e.motion.windowID = 0; break;
        case SDL_MOUSEBUTTONDOWN: case SDL_MOUSEBUTTONUP: e.button.windowID = 0; break;
        case SDL_MOUSEWHEEL: e.wheel.windowID = 0; break;
        case SDL_WINDOWEVENT: e.window.windowID = 0; break;
        default: break;
      }
      EXPECT_EQ(SDL_PushEvent(&e), 1) << SDL_GetError();
    }
    std::vector<Msg> got;
    Msg m;
    while (platform_->PeekNextMessage(m)) {
      platform_->TakeMessage(m);
      got.push_back(m);
      WndProc(m);
    }
    return got;
  }

  test::GameHarness harness_;
  // The window procedure's leave tracking arms the SDL window's flag.
  struct : test::FakeWindowOps {
    void TrackMouseLeave() override {
      FakeWindowOps::TrackMouseLeave();
      SdlWindowOps().TrackMouseLeave();
    }
  } ops_;
  std::unique_ptr<SdlLoopPlatform> platform_ = std::make_unique<SdlLoopPlatform>();
};

// Keys as the player's layout has them, and the pointer leaving.
TEST_F(MessageQueue, LayoutsAndLeaving) {
  using namespace wm;
  const uint32_t up = 0xC0000000u;
  const uint32_t setCursor = MakeLParam(ht::CLIENT, static_cast<int>(MOUSEMOVE));
  struct Case {
    const char* name;
    std::vector<SDL_Event> events;
    std::vector<Msg> want;
  } cases[] = {
      {"caps:escape: the Caps Lock key types Escape", {Key(SDL_KEYDOWN, SDL_SCANCODE_CAPSLOCK, SDLK_ESCAPE)},
       {M(KEYDOWN, vk::ESCAPE, 0x003A0001), M(CHAR, 27, 0x003A0001)}},
      {"caps:swapescape: the Escape key types Caps Lock", {Key(SDL_KEYDOWN, SDL_SCANCODE_ESCAPE, SDLK_CAPSLOCK)},
       {M(KEYDOWN, 0x14, 0x00010001)}},
      {"AltGr+Q on a German layout types '@' as Control+Alt+Q",
       {Key(SDL_KEYDOWN, SDL_SCANCODE_RALT, SDLK_RALT, KMOD_RALT),
        Key(SDL_KEYDOWN, SDL_SCANCODE_Q, 'q', KMOD_RALT), Text("@"),
        Key(SDL_KEYUP, SDL_SCANCODE_Q, 'q', KMOD_RALT), Key(SDL_KEYUP, SDL_SCANCODE_RALT, SDLK_RALT),
        Key(SDL_KEYDOWN, SDL_SCANCODE_RALT, SDLK_RALT, KMOD_RALT)},
       {M(SYSKEYDOWN, 0x12, 0x21380001),  // not yet known to be AltGr
        M(KEYDOWN, 'Q', 0x00100001), M(CHAR, '@', 1), M(KEYUP, 'Q', up | 0x00100001),
        M(KEYUP, 0x12, up | 0x01380001), M(KEYDOWN, 0x12, 0x01380001)}},
      {"AltGr as SDL's mode key", {Key(SDL_KEYDOWN, SDL_SCANCODE_E, 'e', KMOD_MODE), Text("\xE2\x82\xAC")},
       {M(KEYDOWN, 'E', 0x00120001), M(CHAR, 0x80, 1)}},
      {"US layout: right Alt + keypad 1 with Num Lock teaches no AltGr; right Alt + Escape stays a system key",
       {Key(SDL_KEYDOWN, SDL_SCANCODE_KP_1, SDLK_KP_1, KMOD_RALT | KMOD_NUM), Text("1"),
        Key(SDL_KEYDOWN, SDL_SCANCODE_ESCAPE, SDLK_ESCAPE, KMOD_RALT | KMOD_NUM)},
       {M(SYSKEYDOWN, 0x61, 0x204F0001), M(SYSCHAR, '1', 1), M(SYSKEYDOWN, vk::ESCAPE, 0x20010001)}},
      {"Caps Lock: right Alt + the key of a small a-umlaut typing the capital teaches no AltGr",
       {Key(SDL_KEYDOWN, SDL_SCANCODE_APOSTROPHE, 0xE4, KMOD_RALT | KMOD_CAPS), Text("\xC3\x84"),
        Key(SDL_KEYDOWN, SDL_SCANCODE_ESCAPE, SDLK_ESCAPE, KMOD_RALT | KMOD_CAPS)},
       {M(SYSKEYDOWN, 0xDE, 0x20280001), M(SYSCHAR, 0xC4, 1), M(SYSKEYDOWN, vk::ESCAPE, 0x20010001)}},
      {"a quick flick through a corner: entering and leaving in one batch",
       {Motion(100, 50), Window(SDL_WINDOWEVENT_LEAVE)},
       {M(SETCURSOR, 0, setCursor), M(MOUSEMOVE, 0, 0x00320064), M(MOUSELEAVE, 0, 0)}},
      {"leaving without having moved in: no leave", {Window(SDL_WINDOWEVENT_LEAVE)}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    platform_ = std::make_unique<SdlLoopPlatform>();  // nothing learnt from an earlier case
    sdlWindow.leaveArmed = mouseInside = false;
    EXPECT_EQ(Pump(c.events), c.want);
  }
}

// The translated messages through the real window procedure: what the game
// ends up knowing after a few SDL events.
TEST_F(MessageQueue, DrivesTheWindowProcedure) {
  Pump({
      Key(SDL_KEYDOWN, SDL_SCANCODE_A, 'a'), Text("a"), Key(SDL_KEYDOWN, SDL_SCANCODE_ESCAPE, SDLK_ESCAPE),
      Key(SDL_KEYDOWN, SDL_SCANCODE_X, 'x', KMOD_LALT), Wheel(0, 1), Wheel(0, 3),
      Motion(100, 50), Button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 100, 50),
      Window(SDL_WINDOWEVENT_LEAVE), Window(SDL_WINDOWEVENT_MINIMIZED),
  });
  EXPECT_EQ(keysPressed['A'], 1);
  EXPECT_EQ(keysPressed[vk::ESCAPE], 1);
  EXPECT_EQ(keysPressed['X'], 0);  // pressed with Alt: a system key
  EXPECT_EQ(typedChar, 27);        // the last character: Escape's
  EXPECT_EQ(mouseWheel, 2);
  EXPECT_EQ(mouseX, 100);
  EXPECT_EQ(mouseY, 50);
  EXPECT_TRUE(clickPending);
  EXPECT_FALSE(mouseLeft);  // cleared when the pointer left
  EXPECT_FALSE(mouseInside);
  EXPECT_FALSE(sdlWindow.leaveArmed);
  EXPECT_FALSE(windowActive);
  EXPECT_EQ(windowSettings.width, 800);  // minimised: size kept
  EXPECT_EQ(windowSettings.height, 500);
}

// The main loop's first pass compares the clock with a `lastFrameTime` of 0;
// even right after SDL starts its clock, that is more than a frame ago.
TEST(SdlClock, TheFirstPassDoesNotWait) {
  SDL_Quit();  // SDL's clock starts again from 0
  SdlLoopPlatform platform;
  const uint32_t lastFrameTimeAtStart = 0;
  EXPECT_GE(platform.TimeGetTime() - lastFrameTimeAtStart, 16u);
}

// A real (offscreen) window: the translator asks it for its state.
TEST(TranslateEvent, AsksTheRealWindow) {
  ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0) << SDL_GetError();
  SDL_Window* window = SDL_CreateWindow("input", 0, 0, 320, 200, SDL_WINDOW_HIDDEN);
  ASSERT_NE(window, nullptr) << SDL_GetError();
  EventContext ctx;
  ctx.windowId = SDL_GetWindowID(window);
  int w = 0, h = 0;
  SDL_GetWindowSize(window, &w, &h);

  // Pointer outside the client area (as while a button held inside is
  // dragged out): nothing for the game's window.
  SDL_Event motion = Motion(w, 10);
  motion.motion.windowID = ctx.windowId;
  EXPECT_TRUE(Translate(motion, ctx).empty());
  motion.motion.x = w - 1;
  EXPECT_EQ(Translate(motion, ctx).size(), 2u);

  // Restoring reports the size again, then the activation.
  const bool focused = (SDL_GetWindowFlags(window) & SDL_WINDOW_INPUT_FOCUS) != 0;
  const auto restored = Translate(Window(SDL_WINDOWEVENT_RESTORED, 0, 0, ctx.windowId), ctx);
  EXPECT_EQ(restored, std::vector<Msg>({M(wm::SIZE, wmsize::RESTORED, static_cast<uint32_t>(MakeLParam(w, h))),
                                        M(wm::ACTIVATE, MakeWParam(focused ? 1 : 0, 0), 0)}));

  SDL_DestroyWindow(window);
  SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

// Dragging out of the window with a button held is a leave at once, as on
// Windows, where the game never asks for the mouse to be captured.
TEST(SdlWindow, DoesNotCaptureTheMouse) {
  SdlWindowPlatform platform;
  ASSERT_TRUE(platform.MakeWindow("vantaloop", 0, 0, 64, 64, PixelFormatDescriptor{}, 1));
  EXPECT_FALSE(SDL_GetHintBoolean(SDL_HINT_MOUSE_AUTO_CAPTURE, SDL_TRUE));
  platform.DestroyWindow();
  SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

// F11 and Enter by what the layout makes of the keys; AltGr+Enter is no
// Alt+Enter.
TEST(FullscreenKeys, F11AndAltEnter) {
  const struct {
    const char* name;
    SDL_Event event;
    bool rightAltIsAltGr, toggles;
  } cases[] = {
      {"F11", Key(SDL_KEYDOWN, SDL_SCANCODE_F11, SDLK_F11), false, true},
      {"F11 where the layout puts it", Key(SDL_KEYDOWN, SDL_SCANCODE_F12, SDLK_F11), false, true},
      {"the F11 key made another key", Key(SDL_KEYDOWN, SDL_SCANCODE_F11, SDLK_F12), false, false},
      {"held F11 repeating", Key(SDL_KEYDOWN, SDL_SCANCODE_F11, SDLK_F11, KMOD_NONE, 1), false, false},
      {"Alt+Enter", Key(SDL_KEYDOWN, SDL_SCANCODE_RETURN, SDLK_RETURN, KMOD_LALT), false, true},
      {"Alt+keypad Enter", Key(SDL_KEYDOWN, SDL_SCANCODE_KP_ENTER, SDLK_KP_ENTER, KMOD_LALT), false, true},
      {"right Alt+Enter without AltGr", Key(SDL_KEYDOWN, SDL_SCANCODE_RETURN, SDLK_RETURN, KMOD_RALT), false, true},
      {"AltGr+Enter", Key(SDL_KEYDOWN, SDL_SCANCODE_RETURN, SDLK_RETURN, KMOD_RALT), true, false},
      {"mode key+Enter", Key(SDL_KEYDOWN, SDL_SCANCODE_RETURN, SDLK_RETURN, KMOD_MODE), false, false},
      {"Enter", Key(SDL_KEYDOWN, SDL_SCANCODE_RETURN, SDLK_RETURN), false, false},
  };
  for (const auto& c : cases)
    EXPECT_EQ(FullscreenKeys::IsToggleKey(c.event.key, c.rightAltIsAltGr), c.toggles) << c.name;
}

TEST(KeyTables, DirectInputCodes) {
  const std::pair<SDL_Scancode, int> cases[] = {
      {SDL_SCANCODE_ESCAPE, 0x01}, {SDL_SCANCODE_1, 0x02},      {SDL_SCANCODE_0, 0x0B},
      {SDL_SCANCODE_Q, 0x10},      {SDL_SCANCODE_A, 0x1E},      {SDL_SCANCODE_Z, 0x2C},
      {SDL_SCANCODE_M, 0x32},      {SDL_SCANCODE_RETURN, 0x1C}, {SDL_SCANCODE_SPACE, 0x39},
      {SDL_SCANCODE_LSHIFT, 0x2A}, {SDL_SCANCODE_RSHIFT, 0x36}, {SDL_SCANCODE_LCTRL, 0x1D},
      {SDL_SCANCODE_RCTRL, 0x9D},  {SDL_SCANCODE_LALT, 0x38},   {SDL_SCANCODE_RALT, 0xB8},
      {SDL_SCANCODE_F1, 0x3B},     {SDL_SCANCODE_F10, 0x44},    {SDL_SCANCODE_F11, 0x57},
      {SDL_SCANCODE_F12, 0x58},    {SDL_SCANCODE_KP_0, 0x52},   {SDL_SCANCODE_KP_5, 0x4C},
      {SDL_SCANCODE_KP_9, 0x49},   {SDL_SCANCODE_KP_ENTER, 0x9C}, {SDL_SCANCODE_KP_DIVIDE, 0xB5},
      {SDL_SCANCODE_UP, 0xC8},     {SDL_SCANCODE_DOWN, 0xD0},   {SDL_SCANCODE_LEFT, 0xCB},
      {SDL_SCANCODE_RIGHT, 0xCD},  {SDL_SCANCODE_PAUSE, 0xC5},  {SDL_SCANCODE_NUMLOCKCLEAR, 0x45},
      {SDL_SCANCODE_SEMICOLON, 0x27}, {SDL_SCANCODE_GRAVE, 0x29}, {SDL_SCANCODE_LGUI, 0xDB},
      {SDL_SCANCODE_UNKNOWN, 0},
  };
  for (const auto& [sc, dik] : cases) EXPECT_EQ(DirectInputKeyFromScancode(sc), dik) << SDL_GetScancodeName(sc);
}

TEST(KeyTables, NoTwoKeysShareADirectInputCode) {
  // Keys that are one physical key under two SDL names may share a code.
  const std::map<SDL_Scancode, SDL_Scancode> aliases = {
      {SDL_SCANCODE_NONUSHASH, SDL_SCANCODE_BACKSLASH},
      {SDL_SCANCODE_AUDIOMUTE, SDL_SCANCODE_MUTE},
  };
  std::map<int, SDL_Scancode> owner;
  int known = 0;
  for (int i = 0; i < SDL_NUM_SCANCODES; ++i) {
    const auto sc = static_cast<SDL_Scancode>(i);
    const int dik = DirectInputKeyFromScancode(sc);
    if (dik == 0) continue;
    ++known;
    ASSERT_LT(dik, 256);
    auto [it, fresh] = owner.emplace(dik, sc);
    if (!fresh) {
      const auto alias = aliases.find(sc);
      EXPECT_TRUE(alias != aliases.end() && alias->second == it->second)
          << SDL_GetScancodeName(sc) << " and " << SDL_GetScancodeName(it->second) << " share " << dik;
    }
  }
  EXPECT_GT(known, 120);
}

// ---- The device object on SDL's joysticks ----

class SdlJoystickTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_JOYSTICK), 0) << SDL_GetError();
    if (SDL_NumJoysticks() != 0) GTEST_SKIP() << "a real joystick is attached";
  }
  void TearDown() override {
    devices_.reset();
    if (virtual_) SDL_JoystickClose(virtual_);
    for (int i = SDL_NumJoysticks() - 1; i >= 0; --i)
      if (SDL_JoystickIsVirtual(i)) SDL_JoystickDetachVirtual(i);
    SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
  }

  // Attaches a virtual joystick and opens it for the test to move.
  int Attach(int axes, int buttons) {
    const int index = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_UNKNOWN, axes, buttons, 0);
    EXPECT_GE(index, 0) << SDL_GetError();
    virtual_ = SDL_JoystickOpen(index);
    EXPECT_NE(virtual_, nullptr) << SDL_GetError();
    return index;
  }

  void Open(SDL_Window* focusWindow = nullptr) {
    devices_ = std::make_unique<InputDevices>(std::make_unique<SdlDeviceBackend>(focusWindow));
  }

  test::GameHarness harness_;
  SDL_Joystick* virtual_ = nullptr;
  std::unique_ptr<InputDevices> devices_;
};

TEST_F(SdlJoystickTest, VirtualJoystickReadsThroughTheDeviceObject) {
  const int index = Attach(4, 8);
  ASSERT_NE(virtual_, nullptr);
  Open();
  EXPECT_EQ(devices_->numJoyAxes(), 4);

  SDL_JoystickSetVirtualAxis(virtual_, 0, 32767);
  SDL_JoystickSetVirtualAxis(virtual_, 1, -16384);
  SDL_JoystickSetVirtualAxis(virtual_, 2, -32768);
  SDL_JoystickSetVirtualAxis(virtual_, 3, 32767);
  for (int b : {0, 2, 5, 6, 7}) SDL_JoystickSetVirtualButton(virtual_, b, SDL_PRESSED);
  devices_->update();

  EXPECT_EQ(devices_->joyAxis(0), 1.0f);
  EXPECT_NEAR(devices_->joyAxis(1), -0.5f, 0.001f);
  EXPECT_EQ(devices_->joyAxis(2), -1.0f);
  EXPECT_EQ(devices_->joyAxis(3), 0.0f);  // a fourth axis is counted, not offered
  EXPECT_EQ(devices_->joyAxis(-1), 0.0f);
  const uint8_t want[6] = {1, 0, 1, 0, 0, 1};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(devices_->isDown(260 + i), want[i]) << "button " << i;
  for (int code = 256; code <= 259; ++code) EXPECT_EQ(devices_->isDown(code), 0) << code;

  // Back to the centre.
  SDL_JoystickSetVirtualAxis(virtual_, 0, 0);
  SDL_JoystickSetVirtualButton(virtual_, 0, SDL_RELEASED);
  devices_->update();
  EXPECT_EQ(devices_->joyAxis(0), 0.0f);
  EXPECT_EQ(devices_->isDown(260), 0);

  // Unplugged: X and Y read 0, the buttons go up, Z keeps its last value.
  ASSERT_EQ(SDL_JoystickDetachVirtual(index), 0) << SDL_GetError();
  devices_->update();
  EXPECT_EQ(devices_->joyAxis(0), 0.0f);
  EXPECT_EQ(devices_->joyAxis(1), 0.0f);
  EXPECT_EQ(devices_->joyAxis(2), -1.0f);
  for (int code = 260; code <= 265; ++code) EXPECT_EQ(devices_->isDown(code), 0) << code;
  devices_->update();
  EXPECT_EQ(devices_->joyAxis(2), -1.0f);
}

TEST_F(SdlJoystickTest, AxisScaleMatchesTheDirectInputRange) {
  const std::pair<int, int32_t> cases[] = {
      {-32768, -1000}, {32767, 1000}, {0, 0}, {-1, 0}, {-16384, -500}, {16384, 500}, {-32767, -1000},
  };
  for (const auto& [raw, want] : cases) EXPECT_EQ(SdlDeviceBackend::ScaleAxis(raw), want) << raw;
}

TEST_F(SdlJoystickTest, WithoutAJoystickEverythingReadsZero) {
  Open();
  devices_->update();
  EXPECT_EQ(devices_->numJoyAxes(), 0);
  for (int i = -1; i <= 3; ++i) EXPECT_EQ(devices_->joyAxis(i), 0.0f) << i;
  for (int code = 256; code <= 265; ++code) EXPECT_EQ(devices_->isDown(code), 0) << code;
}

// Devices that follow a window which does not have the input focus: the
// keyboard and the joystick reads fail, the mouse reads as still.
TEST_F(SdlJoystickTest, ReadsFailWhileTheWindowLacksTheFocus) {
  ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0) << SDL_GetError();
  SDL_Window* window = SDL_CreateWindow("input", 0, 0, 64, 64, SDL_WINDOW_HIDDEN);
  ASSERT_NE(window, nullptr) << SDL_GetError();
  if (SDL_GetKeyboardFocus() == window) {
    SDL_DestroyWindow(window);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    GTEST_SKIP() << "the window has the focus";
  }
  Attach(3, 6);
  SDL_JoystickSetVirtualAxis(virtual_, 0, 32767);
  SDL_JoystickSetVirtualAxis(virtual_, 2, 32767);
  SDL_JoystickSetVirtualButton(virtual_, 1, SDL_PRESSED);
  {
    SdlDeviceBackend backend(window);
    uint8_t keys[256];
    EXPECT_FALSE(backend.KeyboardRead(keys));
    ASSERT_TRUE(backend.JoystickOpen());
    JoystickReading js;
    EXPECT_FALSE(backend.JoystickRead(js));
    MouseReading mouse;
    mouse.buttons[0] = 0x80;
    EXPECT_TRUE(backend.MouseRead(mouse));
    EXPECT_EQ(mouse.buttons[0], 0);
    // The same joystick read by a backend that ignores the focus.
    SdlDeviceBackend anyFocus(nullptr);
    ASSERT_TRUE(anyFocus.JoystickOpen());
    ASSERT_TRUE(anyFocus.JoystickRead(js));
    EXPECT_EQ(js.lX, 1000);
    EXPECT_EQ(js.lZ, 1000);
    EXPECT_EQ(js.buttons[1], 0x80);
  }
  SDL_DestroyWindow(window);
  SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

}  // namespace
}  // namespace vl
