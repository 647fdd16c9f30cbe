// The device object's keyboard, mouse and joystick on SDL2.
//
// All three follow the game window's input focus, as foreground devices
// do: while another window has the focus the keyboard and joystick reads
// fail (the device object then zeroes the keys, and X, Y and the buttons of
// the joystick) and the mouse reads as still with no button down.
//
// The joystick's state is taken straight from SDL each frame (the read
// updates SDL's joysticks itself), so it does not depend on anyone pumping
// events. SDL is told to keep joystick state current even while no window
// of the program has the focus: the focus rule above is applied here, and
// when the focus comes back the stick's position is already the real one.
//
// Devices SDL knows as game controllers (its mapping database, a
// gamecontrollerdb.txt in the working folder, SDL_GAMECONTROLLERCONFIG) are
// read through the mapping: left stick X/Y as X/Y, the right stick's X as Z,
// buttons A, B, X, Y and the two shoulder buttons as buttons 0-5. The
// player's mappings reach SDL only through the checks of pad_mappings.h,
// with a log line for the lines passed over. Other devices (flight sticks)
// are read as raw joysticks. A joystick may be
// plugged in at any time: while none is open the first one attached is
// opened; an unplugged one comes back when plugged in again, or another
// attached device takes its place.
//
// Each keyboard read first brings SDL's keyboard and mouse state up to date
// with the window system, so the device object sees the keys as they are at
// that moment; a full-screen switch asked for with F11 or Alt+Enter is made
// right then.
#pragma once

#include <memory>
#include <vector>

#include <SDL.h>

#include "input/input_devices.h"
#include "platform/sdl_fullscreen.h"

namespace vl {

class SdlDeviceBackend : public DeviceBackend {
 public:
  // `focusWindow` is the game window whose input focus the devices follow;
  // nullptr reads the devices whatever has the focus. `layout` is what the
  // event translator has learnt of the keyboard layout, for the full-screen
  // keys.
  explicit SdlDeviceBackend(SDL_Window* focusWindow, const EventContext* layout = nullptr);
  ~SdlDeviceBackend() override;
  SdlDeviceBackend(const SdlDeviceBackend&) = delete;
  SdlDeviceBackend& operator=(const SdlDeviceBackend&) = delete;

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
  bool JoystickAttached() override;
  void ShowMessage(const char* caption, const char* text) override;

  // SDL's -32768..32767 axis range mapped linearly onto -1000..1000.
  static int32_t ScaleAxis(int value);

 private:
  bool Focused() const;
  static int WatchWheel(void* self, SDL_Event* event);
  // Opens device `index` (as a game controller where SDL knows it as one);
  // false when it does not open.
  bool OpenIndex(int index);
  void CloseJoystick();
  // Opens the first attached device for which `wanted(index)` holds,
  // passing over devices that lately failed to open.
  template <typename Wanted>
  bool OpenFirst(Wanted wanted);

  SDL_Window* focusWindow_;
  // The full-screen keys of the game window, applied at each keyboard read.
  std::unique_ptr<FullscreenKeys> fullscreen_;
  bool joystickSubsystem_ = false;
  SDL_Joystick* joystick_ = nullptr;
  SDL_GameController* controller_ = nullptr;  // set when read through a mapping
  // Devices that would not open, not tried again before `retryAt_`.
  std::vector<SDL_JoystickID> failed_;
  Uint64 retryAt_ = 0;
  SDL_JoystickGUID joystickGuid_{};
  int32_t wheel_ = 0;  // wheel motion since the last mouse read, 120 per notch
};

}  // namespace vl
