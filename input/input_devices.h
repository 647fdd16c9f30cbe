// The device object: reads the keyboard, the mouse and the first joystick
// once per frame and answers the game's questions by input code.
//
// Input codes: 0-255 keyboard keys in DirectInput key numbering (DIK_*),
// 256-259 unused (always 0), 260-265 joystick buttons 0-5 (1 when down),
// 266-268 mouse buttons left, middle, right (128 when down).
//
// Players without a joystick fly with the keyboard: while no joystick is
// open the object offers a keyboard stick in its place. The arrow keys (and
// the keys at the W/A/S/D positions) push the stick: Up pushes it forward
// (nose down) as on a flight stick. Holding a key moves the axis towards
// full deflection a step per update; letting go brings it back to the
// centre faster; opposite keys together cancel. Space (and the key at the
// left Ctrl position) is joystick button 0. A joystick that opens, at
// start-up or plugged in later, takes over and the keyboard stick is off;
// while it is unplugged and none has taken its place, the keyboard steers
// again.
#pragma once

#include <cstdint>
#include <memory>

namespace vl {

// One reading of the mouse: relative motion and four button bytes (bit 7
// set when down), in the order left, right, middle, fourth.
struct MouseReading {
  int32_t lX = 0, lY = 0, lZ = 0;
  uint8_t buttons[4] = {0, 0, 0, 0};
};

// One reading of the joystick: axes X, Y, Z already in -1000..1000, and the
// first six buttons (bit 7 set when down).
struct JoystickReading {
  int32_t lX = 0, lY = 0, lZ = 0;
  uint8_t buttons[6] = {0, 0, 0, 0, 0, 0};
};

// The device operations the object relies on.
class DeviceBackend {
 public:
  virtual ~DeviceBackend() = default;

  virtual void KeyboardAcquire() = 0;
  // Fills 256 bytes in DirectInput key numbering (0x80 when down). Fails
  // while the game's window does not have the input focus.
  virtual bool KeyboardRead(uint8_t state[256]) = 0;

  // Opens the system mouse; false when there is none.
  virtual bool MouseOpen() = 0;
  virtual bool MouseAcquire() = 0;
  virtual bool MouseRead(MouseReading& out) = 0;

  // Opens the first attached joystick that opens; false when there is none.
  // Also asked at every update while none is open, so it must be quick when
  // nothing new is attached.
  virtual bool JoystickOpen() = 0;
  // Readies the opened joystick for reading (data format and focus rules);
  // false when that fails.
  virtual bool JoystickPrepare() = 0;
  // Counts the joystick's axes and sets each one's range to -1000..1000,
  // stopping at the first axis whose range cannot be set (that axis still
  // counts). False when the axes cannot be listed at all.
  virtual bool JoystickCountAxes(int32_t& count) = 0;
  virtual void JoystickAcquire() = 0;
  // Reads the joystick; false when the read fails (unplugged, say).
  virtual bool JoystickRead(JoystickReading& out) = 0;
  // Whether a joystick is open and plugged in; asked after a failed read
  // and its re-acquire, which may have found the device again.
  virtual bool JoystickAttached() = 0;

  // A modal error message; never blocks where no one can answer it, and
  // always also goes to stderr.
  virtual void ShowMessage(const char* caption, const char* text) = 0;
};

class InputDevices {
 public:
  explicit InputDevices(std::unique_ptr<DeviceBackend> backend);

  void update();
  uint8_t isDown(int32_t code) const;
  int32_t numJoyAxes() const;
  float joyAxis(int32_t index) const;

  // The keyboard stick's step towards full deflection per update, and its
  // faster step back towards the centre.
  static constexpr float kKeyStickRamp = 1.0f / 16.0f;
  static constexpr float kKeyStickReturn = 1.0f / 8.0f;

 private:
  void OpenLateJoystick();
  void UpdateKeyStick();

  std::unique_ptr<DeviceBackend> backend_;
  bool haveMouse_ = false;
  bool keyboardLost_ = false;  // the last keyboard read failed
  bool joystickGone_ = false;  // the open joystick is unplugged: the keyboard steers
  MouseReading mouseState_;
  uint8_t keyState_[256] = {};
  uint8_t buttonState_[13] = {};
  float axes_[3] = {0.0f, 0.0f, 0.0f};
};

// The game's one device object, made at start-up and kept for the run.
extern std::unique_ptr<InputDevices> inputDevices;

// Axes counted on the joystick in use (0 without one).
extern int32_t joyAxisCount;
extern bool joystickFound;

}  // namespace vl
