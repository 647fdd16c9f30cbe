#include "input/input_devices.h"

#include <cstring>

namespace vl {

std::unique_ptr<InputDevices> inputDevices;
int32_t joyAxisCount = 0;
bool joystickFound = false;

namespace {
constexpr float kAxisScale = 0.001f;
}

InputDevices::InputDevices(std::unique_ptr<DeviceBackend> backend) : backend_(std::move(backend)) {
  DeviceBackend& b = *backend_;

  joystickFound = b.JoystickOpen();
  if (joystickFound) {
    joyAxisCount = 0;
    if (!b.JoystickPrepare()) b.MessageBox("Error", "Joystick Error");
    if (!b.JoystickCountAxes(joyAxisCount)) b.MessageBox("Error", "Joystick Error");
    b.JoystickAcquire();
  } else {
    joyAxisCount = 0;
  }

  haveMouse_ = b.MouseOpen();
  if (!haveMouse_) {
    b.MessageBox("Error", "Mouse Error");
  } else {
    if (!b.MouseAcquire()) b.MessageBox("Error", "Mouse Error");
    if (!b.MouseRead(mouseState_)) b.MessageBox("Error", "Mouse Error");
  }

  b.KeyboardAcquire();
  axes_[0] = axes_[1] = axes_[2] = 0.0f;
}

void InputDevices::update() {
  DeviceBackend& b = *backend_;
  if (!b.KeyboardRead(keyState_)) {
    b.KeyboardAcquire();
    std::memset(keyState_, 0, sizeof keyState_);
  }

  if (haveMouse_) {
    b.MouseAcquire();
    b.MouseRead(mouseState_);
    buttonState_[10] = mouseState_.buttons[0];
    buttonState_[11] = mouseState_.buttons[2];
    buttonState_[12] = mouseState_.buttons[1];
  }

  if (!joystickFound) {
    std::memset(buttonState_, 0, 10);
    return;
  }
  JoystickReading js;
  if (!b.JoystickRead(js)) {
    axes_[0] = axes_[1] = 0.0f;
    b.JoystickAcquire();
    std::memset(buttonState_, 0, 10);
    return;
  }
  axes_[0] = static_cast<float>(js.lX) * kAxisScale;
  axes_[1] = static_cast<float>(js.lY) * kAxisScale;
  axes_[2] = static_cast<float>(js.lZ) * kAxisScale;
  std::memset(buttonState_, 0, 4);
  for (int i = 0; i < 6; ++i) buttonState_[4 + i] = (js.buttons[i] & 0x80) ? 1 : 0;
}

uint8_t InputDevices::isDown(int32_t code) const {
  if (code >= 0 && code < 256) return (keyState_[code] & 0x80) ? 1 : 0;
  if (code >= 256 && code <= 268) return buttonState_[code - 256];
  return 0;
}

int32_t InputDevices::numJoyAxes() const { return joyAxisCount; }

float InputDevices::joyAxis(int32_t index) const {
  if (index >= 0 && index < 3) return axes_[index];
  return 0.0f;
}

}  // namespace vl
