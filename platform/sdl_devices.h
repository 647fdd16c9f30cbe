// The device object's keyboard, mouse and joystick on SDL2.
#pragma once

#include <SDL.h>

#include "input/input_devices.h"

namespace vl {

class SdlDeviceBackend final : public DeviceBackend {
 public:
  // `focusWindow` is the game window whose input focus the devices follow;
  // nullptr reads the devices whatever has the focus.
  explicit SdlDeviceBackend(SDL_Window* focusWindow);
  ~SdlDeviceBackend() override;

  void KeyboardAcquire() override;
  bool KeyboardRead(uint8_t state[256]) override;
  bool MouseOpen() override;
  bool MouseAcquire() override;
  bool MouseRead(MouseReading& out) override;
  bool JoystickOpen() override;
  bool JoystickPrepare() override;
  bool JoystickCountAxes(int32_t& count) override;
  void JoystickAcquire() override;
  bool JoystickRead(JoystickReading& out) override;
  void MessageBox(const char* caption, const char* text) override;

 private:
  SDL_Window* focusWindow_;
  SDL_Joystick* joystick_ = nullptr;
};

}  // namespace vl
