#include "input/input_devices.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <iterator>
#include <string>
#include <vector>

#include "tests/support/fakes.h"

namespace vl {
namespace {

using test::FakeDeviceBackend;
using test::GameHarness;

// The fake devices, with every step able to fail and a record of the calls
// the device object makes.
class StepBackend : public FakeDeviceBackend {
 public:
  bool countAxesFails = false, mouseAcquireFails = false, mouseReadFails = false;
  std::vector<std::string>* calls = nullptr;

  void KeyboardAcquire() override { Note("KeyboardAcquire"); }
  bool KeyboardRead(uint8_t state[256]) override {
    Note("KeyboardRead");
    return FakeDeviceBackend::KeyboardRead(state);
  }
  bool MouseOpen() override {
    Note("MouseOpen");
    return FakeDeviceBackend::MouseOpen();
  }
  bool MouseAcquire() override {
    Note("MouseAcquire");
    return !mouseAcquireFails;
  }
  bool MouseRead(MouseReading& out) override {
    Note("MouseRead");
    if (mouseReadFails) return false;
    return FakeDeviceBackend::MouseRead(out);
  }
  bool JoystickOpen() override {
    Note("JoystickOpen");
    return FakeDeviceBackend::JoystickOpen();
  }
  bool JoystickPrepare() override {
    Note("JoystickPrepare");
    return FakeDeviceBackend::JoystickPrepare();
  }
  bool JoystickCountAxes(int32_t& count) override {
    Note("JoystickCountAxes");
    if (countAxesFails) {
      count = 1;  // the axis whose range failed still counts
      return false;
    }
    return FakeDeviceBackend::JoystickCountAxes(count);
  }
  void JoystickAcquire() override { Note("JoystickAcquire"); }
  bool JoystickRead(JoystickReading& out) override {
    Note("JoystickRead");
    return FakeDeviceBackend::JoystickRead(out);
  }

 private:
  void Note(const char* what) {
    if (calls) calls->push_back(what);
  }
};

// Makes the device object over a backend set up by `setup`; the backend
// stays reachable through the returned pointer.
template <typename F>
StepBackend* MakeDevices(std::unique_ptr<InputDevices>& devices, F setup) {
  auto backend = std::make_unique<StepBackend>();
  StepBackend* raw = backend.get();
  setup(*raw);
  devices = std::make_unique<InputDevices>(std::move(backend));
  return raw;
}

TEST(InputDevices, SetUpOrderAndErrorMessages) {
  struct Case {
    const char* name;
    void (*setup)(StepBackend&);
    std::vector<std::string> calls;
    std::vector<std::string> messages;
  } cases[] = {
      {"everything opens", [](StepBackend& b) { b.haveJoystick = true; },
       {"JoystickOpen", "JoystickPrepare", "JoystickCountAxes", "JoystickAcquire", "MouseOpen",
        "MouseAcquire", "MouseRead", "KeyboardAcquire"},
       {}},
      {"no joystick: no message", [](StepBackend&) {},
       {"JoystickOpen", "MouseOpen", "MouseAcquire", "MouseRead", "KeyboardAcquire"},
       {}},
      {"joystick steps fail and set-up goes on",
       [](StepBackend& b) {
         b.haveJoystick = true;
         b.joystickPrepareFails = true;
         b.countAxesFails = true;
       },
       {"JoystickOpen", "JoystickPrepare", "JoystickCountAxes", "JoystickAcquire", "MouseOpen",
        "MouseAcquire", "MouseRead", "KeyboardAcquire"},
       {"Error: Joystick Error", "Error: Joystick Error"}},
      {"no mouse skips the other mouse steps", [](StepBackend& b) { b.haveMouse = false; },
       {"JoystickOpen", "MouseOpen", "KeyboardAcquire"},
       {"Error: Mouse Error"}},
      {"mouse acquire and read fail", [](StepBackend& b) {
         b.mouseAcquireFails = true;
         b.mouseReadFails = true;
       },
       {"JoystickOpen", "MouseOpen", "MouseAcquire", "MouseRead", "KeyboardAcquire"},
       {"Error: Mouse Error", "Error: Mouse Error"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    GameHarness h;
    std::vector<std::string> calls;
    std::unique_ptr<InputDevices> devices;
    StepBackend* b = MakeDevices(devices, [&](StepBackend& s) {
      s.calls = &calls;
      c.setup(s);
    });
    EXPECT_EQ(calls, c.calls);
    EXPECT_EQ(b->messages, c.messages);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(devices->joyAxis(i), 0.0f);
  }
}

TEST(InputDevices, UpdateReadsEveryDeviceOnceAndReacquiresAfterFailures) {
  GameHarness h;
  std::vector<std::string> calls;
  std::unique_ptr<InputDevices> devices;
  StepBackend* b = MakeDevices(devices, [&](StepBackend& s) { s.haveJoystick = true; });
  b->calls = &calls;
  devices->update();
  EXPECT_EQ(calls, std::vector<std::string>({"KeyboardRead", "MouseAcquire", "MouseRead", "JoystickRead"}));
  calls.clear();
  b->keyboardFails = true;
  b->joystickFails = true;
  devices->update();
  EXPECT_EQ(calls, std::vector<std::string>({"KeyboardRead", "KeyboardAcquire", "MouseAcquire",
                                             "MouseRead", "JoystickRead", "JoystickAcquire"}));
}

TEST(InputDevices, KeyboardCodesUseBitSeven) {
  GameHarness h;
  std::unique_ptr<InputDevices> devices;
  StepBackend* b = MakeDevices(devices, [](StepBackend&) {});
  b->keys[0x01] = 0x80;  // Escape
  b->keys[0x1E] = 0xFF;  // A
  b->keys[0x10] = 0x7F;  // Q: bit 7 clear
  b->keys[0xFF] = 0x81;
  devices->update();
  EXPECT_EQ(devices->isDown(0x01), 1);
  EXPECT_EQ(devices->isDown(0x1E), 1);
  EXPECT_EQ(devices->isDown(0x10), 0);
  EXPECT_EQ(devices->isDown(0xFF), 1);
  EXPECT_EQ(devices->isDown(0x02), 0);

  // A failed read: every key reads up for that frame, and reads again later.
  b->keyboardFails = true;
  devices->update();
  for (int k = 0; k < 256; ++k) ASSERT_EQ(devices->isDown(k), 0) << k;
  b->keyboardFails = false;
  devices->update();
  EXPECT_EQ(devices->isDown(0x01), 1);
}

TEST(InputDevices, MouseButtonsInCodeOrderLeftMiddleRight) {
  struct Case {
    const char* name;
    std::array<uint8_t, 4> buttons;  // the device's order: left, right, middle, fourth
    uint8_t left, middle, right;     // codes 266, 267, 268
  } cases[] = {
      {"none", {0, 0, 0, 0}, 0, 0, 0},
      {"left", {0x80, 0, 0, 0}, 128, 0, 0},
      {"right", {0, 0x80, 0, 0}, 0, 0, 128},
      {"middle", {0, 0, 0x80, 0}, 0, 128, 0},
      {"fourth is not offered", {0, 0, 0, 0x80}, 0, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    GameHarness h;
    std::unique_ptr<InputDevices> devices;
    StepBackend* b = MakeDevices(devices, [](StepBackend&) {});
    for (int i = 0; i < 4; ++i) b->mouse.buttons[i] = c.buttons[i];
    devices->update();
    EXPECT_EQ(devices->isDown(266), c.left);
    EXPECT_EQ(devices->isDown(267), c.middle);
    EXPECT_EQ(devices->isDown(268), c.right);
  }
}

TEST(InputDevices, NoMouseReadsNoButtons) {
  GameHarness h;
  std::unique_ptr<InputDevices> devices;
  StepBackend* b = MakeDevices(devices, [](StepBackend& s) { s.haveMouse = false; });
  for (auto& button : b->mouse.buttons) button = 0x80;
  devices->update();
  for (int code = 266; code <= 268; ++code) EXPECT_EQ(devices->isDown(code), 0) << code;
}

TEST(InputDevices, JoystickAxesAndButtons) {
  GameHarness h;
  std::unique_ptr<InputDevices> devices;
  StepBackend* b = MakeDevices(devices, [](StepBackend& s) {
    s.haveJoystick = true;
    s.joystickAxes = 5;
  });
  EXPECT_EQ(devices->numJoyAxes(), 5);
  b->joystick.lX = 1000;
  b->joystick.lY = -500;
  b->joystick.lZ = -1000;
  const uint8_t buttons[6] = {0x80, 0x7F, 0xFF, 0, 0x80, 0x80};
  for (int i = 0; i < 6; ++i) b->joystick.buttons[i] = buttons[i];
  devices->update();
  EXPECT_EQ(devices->joyAxis(0), 1.0f);
  EXPECT_EQ(devices->joyAxis(1), -0.5f);
  EXPECT_EQ(devices->joyAxis(2), -1.0f);
  EXPECT_EQ(devices->joyAxis(3), 0.0f);
  EXPECT_EQ(devices->joyAxis(-1), 0.0f);
  const uint8_t want[6] = {1, 0, 1, 0, 1, 1};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(devices->isDown(260 + i), want[i]) << "button " << i;
  for (int code = 256; code <= 259; ++code) EXPECT_EQ(devices->isDown(code), 0) << code;
  // Outside the code space.
  EXPECT_EQ(devices->isDown(-1), 0);
  EXPECT_EQ(devices->isDown(269), 0);

  // A failed read: X and Y drop to 0, the buttons go up, Z keeps its value.
  b->joystickFails = true;
  devices->update();
  EXPECT_EQ(devices->joyAxis(0), 0.0f);
  EXPECT_EQ(devices->joyAxis(1), 0.0f);
  EXPECT_EQ(devices->joyAxis(2), -1.0f);
  for (int code = 260; code <= 265; ++code) EXPECT_EQ(devices->isDown(code), 0) << code;

  // The next good read brings everything back.
  b->joystickFails = false;
  b->joystick.lX = 1;
  devices->update();
  EXPECT_EQ(devices->joyAxis(0), 0.001f);
  EXPECT_EQ(devices->joyAxis(1), -0.5f);
  EXPECT_EQ(devices->isDown(260), 1);
}

TEST(InputDevices, WithoutAJoystickEverythingReadsZero) {
  GameHarness h;
  std::unique_ptr<InputDevices> devices;
  StepBackend* b = MakeDevices(devices, [](StepBackend& s) { s.joystickAxes = 4; });
  // Whatever the backend would report, it is never asked.
  b->joystick.lX = b->joystick.lY = b->joystick.lZ = 1000;
  for (auto& button : b->joystick.buttons) button = 0x80;
  devices->update();
  EXPECT_EQ(devices->numJoyAxes(), 0);
  EXPECT_EQ(joyAxisCount, 0);
  for (int i = -1; i <= 3; ++i) EXPECT_EQ(devices->joyAxis(i), 0.0f) << i;
  for (int code = 256; code <= 265; ++code) EXPECT_EQ(devices->isDown(code), 0) << code;
}

// Keys in DirectInput numbering.
constexpr int kLeft = 0xCB, kRight = 0xCD, kUp = 0xC8, kDown = 0xD0;
constexpr int kA = 0x1E, kD = 0x20, kW = 0x11, kS = 0x1F, kSpace = 0x39, kLCtrl = 0x1D;

TEST(InputDevices, KeyboardStickRampsCancelsReturnsAndGivesWayToAJoystick) {
  // Each step holds `keys` for `updates` updates, then checks the stick;
  // `plug` first unplugs the joystick (-1) or plugs it back in (1).
  struct Step {
    std::vector<int> keys;
    int updates;
    float x, y;
    uint8_t fire;  // code 260
    int plug = 0;
  };
  struct Case {
    const char* name;
    bool joystick;
    std::vector<Step> steps;
  } cases[] = {
      {"a tap is a gentle push, a hold reaches full deflection in 16 updates",
       false,
       {{{kRight}, 1, 1.0f / 16, 0, 0}, {{kRight}, 14, 15.0f / 16, 0, 0}, {{kRight}, 1, 1, 0, 0},
        {{kRight}, 5, 1, 0, 0}}},
      {"release returns twice as fast", false,
       {{{kD}, 16, 1, 0, 0}, {{}, 4, 0.5f, 0, 0}, {{}, 4, 0, 0, 0}, {{}, 3, 0, 0, 0}}},
      {"left and A push left", false, {{{kLeft}, 8, -0.5f, 0, 0}, {{kA}, 8, -1, 0, 0}}},
      {"up pushes the stick forward (negative), down pulls it back", false,
       {{{kUp}, 16, 0, -1, 0}, {{kS}, 16, 0, 0.5f, 0}, {{kDown}, 8, 0, 1, 0}, {{kW}, 4, 0, 0.5f, 0}}},
      {"opposite keys cancel", false,
       {{{kLeft, kRight}, 4, 0, 0, 0}, {{kRight}, 8, 0.5f, 0, 0}, {{kRight, kA}, 2, 0.25f, 0, 0},
        {{kUp, kDown, kW}, 2, 0, 0, 0}}},
      {"reversing goes back through the centre at the return step", false,
       {{{kRight}, 16, 1, 0, 0}, {{kLeft}, 8, 0, 0, 0}, {{kLeft}, 1, -1.0f / 16, 0, 0}}},
      {"space and left ctrl are button 260", false,
       {{{kSpace}, 1, 0, 0, 1}, {{kLCtrl, kUp}, 1, 0, -1.0f / 16, 1}, {{}, 1, 0, 0, 0}}},
      {"an open joystick silences the keyboard stick", true,
       {{{kRight, kUp, kSpace}, 20, 0, 0, 0}}},
      {"unplugged, the joystick hands the stick back until it returns", true,
       {{{kRight}, 4, 0, 0, 0}, {{kRight, kSpace}, 4, 0.25f, 0, 1, -1}, {{kRight}, 1, 0, 0, 0, 1}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    GameHarness h;
    std::unique_ptr<InputDevices> devices;
    StepBackend* b = MakeDevices(devices, [&](StepBackend& s) { s.haveJoystick = c.joystick; });
    for (const Step& step : c.steps) {
      SCOPED_TRACE(testing::Message() << "step " << (&step - c.steps.data()));
      if (step.plug != 0) b->haveJoystick = step.plug > 0;
      std::fill(std::begin(b->keys), std::end(b->keys), uint8_t{0});
      for (int k : step.keys) b->keys[k] = 0x80;
      for (int i = 0; i < step.updates; ++i) devices->update();
      EXPECT_EQ(devices->joyAxis(0), step.x);
      EXPECT_EQ(devices->joyAxis(1), step.y);
      EXPECT_EQ(devices->isDown(260), step.fire);
      for (int code = 261; code <= 265; ++code) EXPECT_EQ(devices->isDown(code), 0) << code;
    }
    EXPECT_EQ(devices->numJoyAxes(), c.joystick ? 3 : 0);
  }
}

TEST(InputDevices, KeyboardStickLetsGoWhenTheKeyboardIsLost) {
  GameHarness h;
  std::unique_ptr<InputDevices> devices;
  StepBackend* b = MakeDevices(devices, [](StepBackend&) {});
  b->keys[kRight] = b->keys[kSpace] = 0x80;
  for (int i = 0; i < 16; ++i) devices->update();
  ASSERT_EQ(devices->joyAxis(0), 1.0f);
  b->keyboardFails = true;  // another window took the focus
  devices->update();
  EXPECT_EQ(devices->joyAxis(0), 0.0f);
  EXPECT_EQ(devices->isDown(260), 0);
}

TEST(InputDevices, AJoystickPluggedInLaterTakesOverAtTheNextUpdate) {
  GameHarness h;
  std::vector<std::string> calls;
  std::unique_ptr<InputDevices> devices;
  StepBackend* b = MakeDevices(devices, [](StepBackend& s) { s.joystickAxes = 4; });
  b->keys[kLeft] = 0x80;
  for (int i = 0; i < 4; ++i) devices->update();
  ASSERT_EQ(devices->joyAxis(0), -0.25f);

  b->haveJoystick = true;  // plugged in
  b->joystick.lX = 500;
  b->joystick.buttons[2] = 0x80;
  b->calls = &calls;
  devices->update();
  // Set up as at start-up, and read in the same update; no message box.
  EXPECT_EQ(calls, std::vector<std::string>({"KeyboardRead", "MouseAcquire", "MouseRead", "JoystickOpen",
                                             "JoystickPrepare", "JoystickCountAxes", "JoystickAcquire",
                                             "JoystickRead"}));
  EXPECT_TRUE(b->messages.empty());
  EXPECT_EQ(devices->joyAxis(0), 0.5f);
  EXPECT_EQ(devices->isDown(262), 1);
  EXPECT_EQ(devices->numJoyAxes(), 4);
  calls.clear();
  devices->update();  // open now: no more looking for one
  EXPECT_EQ(calls, std::vector<std::string>({"KeyboardRead", "MouseAcquire", "MouseRead", "JoystickRead"}));
}

}  // namespace
}  // namespace vl
