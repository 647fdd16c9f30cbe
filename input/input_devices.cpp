#include "input/input_devices.h"

#include <cstring>

namespace vl {

std::unique_ptr<InputDevices> inputDevices;
int32_t joyAxisCount = 0;
bool joystickFound = false;

namespace {
constexpr float kAxisScale = 0.001f;

// Keys of the keyboard stick, in DirectInput key numbering (key positions).
constexpr int kKeyLeft[] = {0xCB, 0x1E};   // Left arrow, A
constexpr int kKeyRight[] = {0xCD, 0x20};  // Right arrow, D
constexpr int kKeyUp[] = {0xC8, 0x11};     // Up arrow, W: stick forward
constexpr int kKeyDown[] = {0xD0, 0x1F};   // Down arrow, S: stick back
constexpr int kKeyFire[] = {0x39, 0x1D};   // Space, left Ctrl

// Moves `axis` one update towards `target` (-1, 0 or 1): by the ramp step
// while a key pushes it out, by the return step on the way to the centre.
float StepAxis(float axis, float target) {
  const bool outwards = target != 0.0f && axis * target >= 0.0f;
  const float step = outwards ? InputDevices::kKeyStickRamp : InputDevices::kKeyStickReturn;
  const float goal = outwards ? target : 0.0f;
  if (axis < goal) return axis + step < goal ? axis + step : goal;
  if (axis > goal) return axis - step > goal ? axis - step : goal;
  return axis;
}
}  // namespace

InputDevices::InputDevices(std::unique_ptr<DeviceBackend> backend) : backend_(std::move(backend)) {
  DeviceBackend& b = *backend_;

  joystickFound = b.JoystickOpen();
  if (joystickFound) {
    joyAxisCount = 0;
    if (!b.JoystickPrepare()) b.ShowMessage("Error", "Joystick Error");
    if (!b.JoystickCountAxes(joyAxisCount)) b.ShowMessage("Error", "Joystick Error");
    b.JoystickAcquire();
  } else {
    joyAxisCount = 0;
  }

  haveMouse_ = b.MouseOpen();
  if (!haveMouse_) {
    b.ShowMessage("Error", "Mouse Error");
  } else {
    if (!b.MouseAcquire()) b.ShowMessage("Error", "Mouse Error");
    if (!b.MouseRead(mouseState_)) b.ShowMessage("Error", "Mouse Error");
  }

  b.KeyboardAcquire();
  axes_[0] = axes_[1] = axes_[2] = 0.0f;
}

void InputDevices::update() {
  DeviceBackend& b = *backend_;
  keyboardLost_ = !b.KeyboardRead(keyState_);
  if (keyboardLost_) {
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

  if (!joystickFound) OpenLateJoystick();
  if (!joystickFound) {
    UpdateKeyStick();
    return;
  }
  JoystickReading js;
  if (!b.JoystickRead(js)) {
    if (!joystickGone_) {
      axes_[0] = axes_[1] = 0.0f;
      std::memset(buttonState_, 0, 10);
    }
    b.JoystickAcquire();
    // Unplugged, and nothing in its place: the keyboard flies the craft
    // until a device comes back.
    joystickGone_ = !b.JoystickAttached();
    if (joystickGone_) UpdateKeyStick();
    return;
  }
  joystickGone_ = false;
  axes_[0] = static_cast<float>(js.lX) * kAxisScale;
  axes_[1] = static_cast<float>(js.lY) * kAxisScale;
  axes_[2] = static_cast<float>(js.lZ) * kAxisScale;
  std::memset(buttonState_, 0, 4);
  for (int i = 0; i < 6; ++i) buttonState_[4 + i] = (js.buttons[i] & 0x80) ? 1 : 0;
}

// A joystick plugged in after start-up: set up as at start-up, but quietly,
// since a message box would stop the flight.
void InputDevices::OpenLateJoystick() {
  DeviceBackend& b = *backend_;
  if (!b.JoystickOpen()) return;
  joystickFound = true;
  joyAxisCount = 0;
  b.JoystickPrepare();
  b.JoystickCountAxes(joyAxisCount);
  b.JoystickAcquire();
  axes_[0] = axes_[1] = axes_[2] = 0.0f;
}

void InputDevices::UpdateKeyStick() {
  auto any = [this](const int(&keys)[2]) { return (keyState_[keys[0]] & 0x80) || (keyState_[keys[1]] & 0x80); };
  const float x = (any(kKeyRight) ? 1.0f : 0.0f) - (any(kKeyLeft) ? 1.0f : 0.0f);
  const float y = (any(kKeyDown) ? 1.0f : 0.0f) - (any(kKeyUp) ? 1.0f : 0.0f);
  if (keyboardLost_) {
    axes_[0] = axes_[1] = 0.0f;  // no focus: the stick lets go at once
  } else {
    axes_[0] = StepAxis(axes_[0], x);
    axes_[1] = StepAxis(axes_[1], y);
  }
  std::memset(buttonState_, 0, 10);
  buttonState_[4] = any(kKeyFire) ? 1 : 0;
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
