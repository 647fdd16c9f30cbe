#include "platform/sdl_devices.h"

#include <cstring>

#include "platform/message_box.h"
#include "platform/sdl_keys.h"

namespace vl {

SdlDeviceBackend::SdlDeviceBackend(SDL_Window* focusWindow) : focusWindow_(focusWindow) {}

SdlDeviceBackend::~SdlDeviceBackend() {
  if (joystick_) SDL_JoystickClose(joystick_);
}

void SdlDeviceBackend::KeyboardAcquire() {}

bool SdlDeviceBackend::KeyboardRead(uint8_t state[256]) {
  std::memset(state, 0, 256);
  int n = 0;
  const Uint8* keys = SDL_GetKeyboardState(&n);
  for (int sc = 0; sc < n; ++sc) {
    if (!keys[sc]) continue;
    const int dik = DirectInputKeyFromScancode(static_cast<SDL_Scancode>(sc));
    if (dik > 0 && dik < 256) state[dik] = 0x80;
  }
  return true;
}

bool SdlDeviceBackend::MouseOpen() { return true; }
bool SdlDeviceBackend::MouseAcquire() { return true; }

bool SdlDeviceBackend::MouseRead(MouseReading& out) {
  out = MouseReading{};
  return true;
}

bool SdlDeviceBackend::JoystickOpen() { return false; }
bool SdlDeviceBackend::JoystickPrepare() { return true; }

bool SdlDeviceBackend::JoystickCountAxes(int32_t& count) {
  count = 0;
  return true;
}

void SdlDeviceBackend::JoystickAcquire() {}

bool SdlDeviceBackend::JoystickRead(JoystickReading& out) {
  out = JoystickReading{};
  return false;
}

void SdlDeviceBackend::MessageBox(const char* caption, const char* text) {
  ShowErrorMessage(caption, text);
}

}  // namespace vl
