// A joystick steering the real flight: SDL's virtual joystick read through
// the SDL device layer and the device object, feeding the game frame.
#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <string>
#include <vector>

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "flight/camera.h"
#include "flight/game_frame.h"
#include "flight/recordings.h"
#include "input/input_devices.h"
#include "input/pad_mappings.h"
#include "platform/sdl_devices.h"
#include "render/scene.h"
#include "shell/log.h"
#include "tests/support/fakes.h"
#include "tests/support/gl_recorder.h"

namespace vl {
namespace {

class JoystickFlight : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER), 0) << SDL_GetError();
    if (SDL_NumJoysticks() != 0) GTEST_SKIP() << "a real joystick is attached";
    glkInit();
  }
  void TearDown() override {
    inputDevices.reset();
    while (!sticks_.empty()) Unplug(sticks_.back());
    SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
  }

  // The game's own device object, on the real SDL device layer.
  void OpenDevices() {
    inputDevices = std::make_unique<InputDevices>(std::make_unique<SdlDeviceBackend>(nullptr));
  }
  // Plugs in a virtual device and returns the test's handle on it.
  SDL_Joystick* Plug(SDL_JoystickType type, int axes, int buttons) {
    const int index = SDL_JoystickAttachVirtual(type, axes, buttons, 0);
    EXPECT_GE(index, 0) << SDL_GetError();
    SDL_Joystick* stick = SDL_JoystickOpen(index);
    EXPECT_NE(stick, nullptr) << SDL_GetError();
    if (stick) sticks_.push_back(stick);
    return stick;
  }
  void Unplug(SDL_Joystick* stick) {
    const SDL_JoystickID id = SDL_JoystickInstanceID(stick);
    SDL_JoystickClose(stick);
    sticks_.erase(std::find(sticks_.begin(), sticks_.end(), stick));
    for (int i = 0; i < SDL_NumJoysticks(); ++i)
      if (SDL_JoystickGetDeviceInstanceID(i) == id) SDL_JoystickDetachVirtual(i);
  }

  // One pass of the game: the devices are read, then the frame runs.
  void Frames(int n) {
    for (int i = 0; i < n; ++i) {
      inputDevices->update();
      GameFrame();
    }
  }
  static float Speed() {
    const Vec3 v = camera.velocity;
    return std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
  }

  test::GameHarness harness_;
  test::GlRecorder gl_;  // the frames' drawing is not what is tested here
  std::vector<SDL_Joystick*> sticks_;
};

TEST_F(JoystickFlight, StickXBanksAndTurnsAndABrakeButtonStops) {
  SDL_Joystick* stick = Plug(SDL_JOYSTICK_TYPE_GAMECONTROLLER, 3, 6);
  OpenDevices();
  EXPECT_EQ(inputDevices->numJoyAxes(), 3);

  // Get up to speed with the stick centred: straight on along +z.
  Frames(300);
  EXPECT_NEAR(camera.forward.z, 1.0f, 1e-6f);
  EXPECT_NEAR(camera.right.y, 0.0f, 1e-6f);
  EXPECT_GT(Speed(), 0.2f);

  // Full right stick: the right wing drops and the nose swings right, which
  // for a craft facing +z (right = -x) is towards -x.
  SDL_JoystickSetVirtualAxis(stick, 0, 32767);
  Frames(40);
  EXPECT_LT(camera.right.y, -0.2f);
  EXPECT_LT(camera.forward.x, -0.2f);
  EXPECT_GT(camera.rollRate, 1.0f);

  // Stick released: the wings level themselves again.
  SDL_JoystickSetVirtualAxis(stick, 0, 0);
  const float bank = camera.right.y;
  Frames(400);
  EXPECT_GT(camera.right.y, bank);
  EXPECT_NEAR(camera.right.y, 0.0f, 0.05f);

  // Holding button 1 brakes: the speed falls every frame and the craft stops
  // without ever flying backwards.
  SDL_JoystickSetVirtualButton(stick, 1, SDL_PRESSED);
  float last = Speed();
  for (int i = 0; i < 700; ++i) {
    Frames(1);
    ASSERT_LE(Speed(), last) << "frame " << i;
    last = Speed();
  }
  EXPECT_LT(Speed(), 0.002f);

  // Released: the craft picks up speed again along its nose.
  SDL_JoystickSetVirtualButton(stick, 1, SDL_RELEASED);
  Frames(100);
  EXPECT_GT(Speed(), 0.1f);
}

TEST_F(JoystickFlight, AJoystickPluggedInAfterStartUpSteersFromTheNextUpdate) {
  OpenDevices();
  EXPECT_EQ(inputDevices->numJoyAxes(), 0);
  Frames(30);
  EXPECT_EQ(camera.rollRate, 0.0f);

  SDL_Joystick* stick = Plug(SDL_JOYSTICK_TYPE_FLIGHT_STICK, 3, 6);
  SDL_JoystickSetVirtualAxis(stick, 0, 32767);
  Frames(1);
  EXPECT_EQ(inputDevices->joyAxis(0), 1.0f);
  EXPECT_GT(camera.rollRate, 0.05f);
  EXPECT_EQ(inputDevices->numJoyAxes(), 3);
}

TEST_F(JoystickFlight, AnotherJoystickTakesOverFromAnUnpluggedOne) {
  SDL_Joystick* first = Plug(SDL_JOYSTICK_TYPE_FLIGHT_STICK, 3, 6);
  OpenDevices();
  SDL_JoystickSetVirtualAxis(first, 0, 32767);
  Frames(1);
  ASSERT_EQ(inputDevices->joyAxis(0), 1.0f);

  Unplug(first);
  Frames(1);
  EXPECT_EQ(inputDevices->joyAxis(0), 0.0f);

  SDL_Joystick* second = Plug(SDL_JOYSTICK_TYPE_GAMECONTROLLER, 2, 4);  // another kind of device
  SDL_JoystickSetVirtualAxis(second, 0, -32768);
  SDL_JoystickSetVirtualButton(second, 2, SDL_PRESSED);
  Frames(2);  // the failed read finds the new one; the next update reads it
  EXPECT_EQ(inputDevices->joyAxis(0), -1.0f);
  EXPECT_EQ(inputDevices->isDown(262), 1);
  const float roll = camera.rollRate;
  Frames(5);
  EXPECT_LT(camera.rollRate, roll);
}

// The keys the test holds down (DirectInput codes) over SDL's own devices.
struct HeldKeys : SdlDeviceBackend {
  HeldKeys() : SdlDeviceBackend(nullptr) {}
  std::vector<int> held;
  bool KeyboardRead(uint8_t state[256]) override {
    const bool ok = SdlDeviceBackend::KeyboardRead(state);
    for (int key : held) state[key] = 0x80;
    return ok;
  }
};

TEST_F(JoystickFlight, UnpluggedInFlightTheArrowKeysSteerUntilAJoystickReturns) {
  SDL_Joystick* stick = Plug(SDL_JOYSTICK_TYPE_FLIGHT_STICK, 3, 6);
  auto backend = std::make_unique<HeldKeys>();
  HeldKeys& keys = *backend;
  inputDevices = std::make_unique<InputDevices>(std::move(backend));
  Frames(300);
  ASSERT_NEAR(camera.forward.x, 0.0f, 1e-6f);

  Unplug(stick);
  const float x = camera.position.x;
  keys.held = {0xCD};  // Right arrow: the path bends right, towards -x
  Frames(50);
  EXPECT_LT(camera.right.y, -0.2f);
  EXPECT_LT(camera.forward.x, -0.2f);
  EXPECT_LT(recordings[0].frames[recordings[0].frameCount - 1].position.x, x - 0.5f);  // the flight kept

  Plug(SDL_JOYSTICK_TYPE_FLIGHT_STICK, 3, 6);  // centred: it takes over
  Frames(2);
  EXPECT_EQ(inputDevices->joyAxis(0), 0.0f);
}

// A pad mapping can reach SDL from the data folder's file or from the
// SDL_GAMECONTROLLERCONFIG variable: lines that would crash SDL are passed
// over, and no more lines than SDL adds in good time are handed on.
TEST_F(JoystickFlight, PadMappingsCannotCrashOrHoldUpTheGame) {
  // The GUID of the virtual pad, as mapping files write it.
  const int probe = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_ARCADE_PAD, 6, 12, 0);
  char guid[64];
  SDL_JoystickGetGUIDString(SDL_JoystickGetDeviceGUID(probe), guid, sizeof guid);
  std::fill(guid + 4, guid + 8, '0');
  SDL_JoystickDetachVirtual(probe);
  const int builtIn = SDL_GameControllerNumMappings();
  const std::string platform = std::string(",platform:") + SDL_GetPlatform() + ",";
  const std::string crash = std::string(guid) + ",Test Pad,a:b2147483648,leftx:a4294967296" + platform;
  std::string many;
  for (int i = 0; i < kMaxPadMappings + 500; ++i)
    many += "03000000" + std::to_string(10000000 + i) + "0000000000000000,Pad,a:b0" + platform + "\n";
  const struct {
    const char* name;
    std::string file, variable;
    int added;
    std::string log;
  } cases[] = {
      {"an index of 2^31 in the data folder's file", crash, "", 0, "pad mappings: 1 broken lines passed over"},
      {"the same in SDL_GAMECONTROLLERCONFIG", "", crash, 0, "pad mappings: 1 broken lines passed over"},
      {"more lines than SDL takes in good time", many, "", kMaxPadMappings,
       "pad mappings: 500 lines of gamecontrollerdb.txt beyond the first 2000 passed over"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);  // SDL reads the variable as it starts
    std::ofstream("gamecontrollerdb.txt") << c.file;
#ifdef _WIN32
    _putenv_s("SDL_GAMECONTROLLERCONFIG", c.variable.c_str());
#else
    setenv("SDL_GAMECONTROLLERCONFIG", c.variable.c_str(), 1);
#endif
    LogStart("log.txt");
    OpenDevices();
    EXPECT_EQ(SDL_GameControllerNumMappings() - builtIn, c.added);
    EXPECT_EQ(harness_.ReadLines("log.txt"), std::vector<std::string>({c.log}));
    SDL_Joystick* pad = Plug(SDL_JOYSTICK_TYPE_ARCADE_PAD, 6, 12);
    SDL_JoystickSetVirtualButton(pad, 0, SDL_PRESSED);
    Frames(2);  // read as a plain joystick
    EXPECT_EQ(inputDevices->isDown(260), 1);
    Unplug(pad);
    inputDevices.reset();
#ifdef _WIN32
    _putenv_s("SDL_GAMECONTROLLERCONFIG", "");
#else
    unsetenv("SDL_GAMECONTROLLERCONFIG");
#endif
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER), 0);
  }
}

TEST_F(JoystickFlight, AGameControllerIsReadThroughItsMapping) {
  // A pad whose left stick and A button sit on raw axis 2, 3 and button 4:
  // only its mapping says so.
  const int index = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_ARCADE_PAD, 6, 12, 0);
  ASSERT_GE(index, 0) << SDL_GetError();
  char guid[64];
  SDL_JoystickGetGUIDString(SDL_JoystickGetDeviceGUID(index), guid, sizeof guid);
  std::fill(guid + 4, guid + 8, '0');  // as in mapping files: no name checksum
  const std::string mapping = std::string(guid) + ",Test Pad,a:b4,b:b5,x:b6,y:b7,leftx:a2,lefty:a3,rightx:a4";
  // The player's mapping file in the data folder, read as the devices open.
  std::ofstream("gamecontrollerdb.txt") << mapping << ",platform:" << SDL_GetPlatform() << ",\n";
  OpenDevices();
  ASSERT_TRUE(SDL_IsGameController(index));
  SDL_Joystick* pad = SDL_JoystickOpen(index);
  ASSERT_NE(pad, nullptr);
  sticks_.push_back(pad);
  Frames(200);
  const float cruise = Speed();

  SDL_JoystickSetVirtualAxis(pad, 0, 32767);  // raw axis 0 is not the stick
  SDL_JoystickSetVirtualButton(pad, 0, SDL_PRESSED);
  Frames(1);
  EXPECT_EQ(inputDevices->joyAxis(0), 0.0f);
  EXPECT_EQ(inputDevices->isDown(260), 0);

  SDL_JoystickSetVirtualAxis(pad, 2, 32767);  // left stick right
  Frames(40);
  EXPECT_EQ(inputDevices->joyAxis(0), 1.0f);
  EXPECT_LT(camera.right.y, -0.2f);  // banked right

  SDL_JoystickSetVirtualAxis(pad, 2, 0);
  SDL_JoystickSetVirtualAxis(pad, 3, -32768);         // left stick forward
  SDL_JoystickSetVirtualButton(pad, 4, SDL_PRESSED);  // A: brake
  const float noseY = camera.forward.y;
  Frames(30);
  EXPECT_EQ(inputDevices->joyAxis(1), -1.0f);
  EXPECT_EQ(inputDevices->isDown(260), 1);
  EXPECT_LT(camera.forward.y, noseY - 0.2f);  // nose down
  EXPECT_LT(Speed(), cruise * 0.8f);          // braking
}

TEST_F(JoystickFlight, AFifoNamedAsTheMappingFileDoesNotHoldUpStartUp) {
#ifdef _WIN32
  GTEST_SKIP() << "FIFOs are POSIX's";
#else
  ASSERT_EQ(::mkfifo("gamecontrollerdb.txt", 0600), 0);
  ::alarm(20);  // a start-up stuck opening the FIFO ends the test here
  OpenDevices();
  ::alarm(0);
  EXPECT_EQ(inputDevices->numJoyAxes(), 0);
#endif
}

}  // namespace
}  // namespace vl
