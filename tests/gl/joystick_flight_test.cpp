// A joystick steering the real flight: SDL's virtual joystick read through
// the SDL device layer and the device object, feeding the game frame.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cmath>

#include "flight/camera.h"
#include "flight/game_frame.h"
#include "input/input_devices.h"
#include "platform/sdl_devices.h"
#include "render/scene.h"
#include "tests/support/fakes.h"
#include "tests/support/gl_recorder.h"

namespace vl {
namespace {

class JoystickFlight : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_JOYSTICK), 0) << SDL_GetError();
    if (SDL_NumJoysticks() != 0) GTEST_SKIP() << "a real joystick is attached";
    index_ = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, 3, 6, 0);
    ASSERT_GE(index_, 0) << SDL_GetError();
    stick_ = SDL_JoystickOpen(index_);
    ASSERT_NE(stick_, nullptr) << SDL_GetError();
    // The game's own device object, on the real SDL device layer.
    inputDevices = std::make_unique<InputDevices>(std::make_unique<SdlDeviceBackend>(nullptr));
    glkInit();
  }
  void TearDown() override {
    inputDevices.reset();
    if (stick_) SDL_JoystickClose(stick_);
    if (index_ >= 0) SDL_JoystickDetachVirtual(index_);
    SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
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
  int index_ = -1;
  SDL_Joystick* stick_ = nullptr;
};

TEST_F(JoystickFlight, StickXBanksAndTurnsAndABrakeButtonStops) {
  EXPECT_EQ(inputDevices->numJoyAxes(), 3);

  // Get up to speed with the stick centred: straight on along +z.
  Frames(300);
  EXPECT_NEAR(camera.forward.z, 1.0f, 1e-6f);
  EXPECT_NEAR(camera.right.y, 0.0f, 1e-6f);
  EXPECT_GT(Speed(), 0.2f);

  // Full right stick: the right wing drops and the nose swings right, which
  // for a craft facing +z (right = -x) is towards -x.
  SDL_JoystickSetVirtualAxis(stick_, 0, 32767);
  Frames(40);
  EXPECT_LT(camera.right.y, -0.2f);
  EXPECT_LT(camera.forward.x, -0.2f);
  EXPECT_GT(camera.rollRate, 1.0f);

  // Stick released: the wings level themselves again.
  SDL_JoystickSetVirtualAxis(stick_, 0, 0);
  const float bank = camera.right.y;
  Frames(400);
  EXPECT_GT(camera.right.y, bank);
  EXPECT_NEAR(camera.right.y, 0.0f, 0.05f);

  // Holding button 1 brakes: the speed falls every frame and the craft stops
  // without ever flying backwards.
  SDL_JoystickSetVirtualButton(stick_, 1, SDL_PRESSED);
  float last = Speed();
  for (int i = 0; i < 700; ++i) {
    Frames(1);
    ASSERT_LE(Speed(), last) << "frame " << i;
    last = Speed();
  }
  EXPECT_LT(Speed(), 0.002f);

  // Released: the craft picks up speed again along its nose.
  SDL_JoystickSetVirtualButton(stick_, 1, SDL_RELEASED);
  Frames(100);
  EXPECT_GT(Speed(), 0.1f);
}

}  // namespace
}  // namespace vl
