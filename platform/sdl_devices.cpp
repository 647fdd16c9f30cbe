#include "platform/sdl_devices.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "platform/message_box.h"
#include "platform/sdl_keys.h"

namespace vl {

namespace {
constexpr uint8_t kDown = 0x80;  // a key or button byte with bit 7 set
constexpr int kWheelDelta = 120;

uint8_t DownByte(bool down) { return down ? kDown : uint8_t{0}; }
}  // namespace

SdlDeviceBackend::SdlDeviceBackend(SDL_Window* focusWindow) : focusWindow_(focusWindow) {
  // The window procedure learns typed characters from SDL's text events;
  // make sure SDL produces them for the game window.
  if (focusWindow_) SDL_StartTextInput();
}

SdlDeviceBackend::~SdlDeviceBackend() {
  SDL_DelEventWatch(&SdlDeviceBackend::WatchWheel, this);
  if (joystick_) SDL_JoystickClose(joystick_);
  if (joystickSubsystem_) SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
}

bool SdlDeviceBackend::Focused() const {
  return focusWindow_ == nullptr || SDL_GetKeyboardFocus() == focusWindow_;
}

// ---- Keyboard ----

void SdlDeviceBackend::KeyboardAcquire() {
  // SDL's keyboard state needs no acquiring; reads follow the focus.
}

bool SdlDeviceBackend::KeyboardRead(uint8_t state[256]) {
  if (!Focused()) return false;
  std::memset(state, 0, 256);
  int n = 0;
  const Uint8* keys = SDL_GetKeyboardState(&n);
  for (int sc = 0; sc < n; ++sc) {
    if (!keys[sc]) continue;
    const int dik = DirectInputKeyFromScancode(static_cast<SDL_Scancode>(sc));
    if (dik > 0 && dik < 256) state[dik] = kDown;
  }
  return true;
}

// ---- Mouse ----

bool SdlDeviceBackend::MouseOpen() {
  // SDL keeps no wheel state to read back, so the wheel's motion is
  // gathered from its events as they are queued.
  SDL_DelEventWatch(&SdlDeviceBackend::WatchWheel, this);
  SDL_AddEventWatch(&SdlDeviceBackend::WatchWheel, this);
  return true;
}

int SdlDeviceBackend::WatchWheel(void* self, SDL_Event* event) {
  auto* backend = static_cast<SdlDeviceBackend*>(self);
  if (event->type != SDL_MOUSEWHEEL) return 0;
  if (backend->focusWindow_ && event->wheel.windowID != SDL_GetWindowID(backend->focusWindow_))
    return 0;
  int notches = event->wheel.y;
  if (event->wheel.direction == SDL_MOUSEWHEEL_FLIPPED) notches = -notches;
  const int64_t sum = static_cast<int64_t>(backend->wheel_) + static_cast<int64_t>(notches) * kWheelDelta;
  backend->wheel_ = static_cast<int32_t>(std::clamp<int64_t>(sum, INT32_MIN, INT32_MAX));
  return 0;
}

bool SdlDeviceBackend::MouseAcquire() { return true; }

bool SdlDeviceBackend::MouseRead(MouseReading& out) {
  int dx = 0, dy = 0;
  SDL_GetRelativeMouseState(&dx, &dy);  // also starts the next interval
  const int32_t wheel = wheel_;
  wheel_ = 0;
  out = MouseReading{};
  if (!Focused()) return true;  // nothing moves or is held for a background window
  const Uint32 buttons = SDL_GetMouseState(nullptr, nullptr);
  out.lX = dx;
  out.lY = dy;
  out.lZ = wheel;
  // The device's button order: left, right, middle, fourth.
  out.buttons[0] = DownByte((buttons & SDL_BUTTON_LMASK) != 0);
  out.buttons[1] = DownByte((buttons & SDL_BUTTON_RMASK) != 0);
  out.buttons[2] = DownByte((buttons & SDL_BUTTON_MMASK) != 0);
  out.buttons[3] = DownByte((buttons & SDL_BUTTON_X1MASK) != 0);
  return true;
}

// ---- Joystick ----

bool SdlDeviceBackend::JoystickOpen() {
  if (!joystickSubsystem_) {
    // Keep SDL's joystick state current whatever has the focus; the focus
    // rule is applied by JoystickRead.
    SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
    if (SDL_InitSubSystem(SDL_INIT_JOYSTICK) != 0) return false;
    joystickSubsystem_ = true;
  }
  // The first attached joystick that opens.
  const int count = SDL_NumJoysticks();
  for (int i = 0; i < count; ++i) {
    SDL_Joystick* j = SDL_JoystickOpen(i);
    if (!j) continue;
    joystick_ = j;
    joystickGuid_ = SDL_JoystickGetGUID(j);
    return true;
  }
  return false;
}

bool SdlDeviceBackend::JoystickPrepare() { return joystick_ != nullptr; }

bool SdlDeviceBackend::JoystickCountAxes(int32_t& count) {
  if (!joystick_) return false;
  const int n = SDL_JoystickNumAxes(joystick_);
  if (n < 0) return false;
  // Every axis takes the -1000..1000 range through ScaleAxis; that cannot
  // fail, so all of them count.
  count = n;
  return true;
}

void SdlDeviceBackend::JoystickAcquire() {
  // An unplugged joystick comes back when the same device is plugged in
  // again.
  if (!joystick_ || SDL_JoystickGetAttached(joystick_)) return;
  const int count = SDL_NumJoysticks();
  for (int i = 0; i < count; ++i) {
    const SDL_JoystickGUID guid = SDL_JoystickGetDeviceGUID(i);
    if (std::memcmp(&guid, &joystickGuid_, sizeof guid) != 0) continue;
    SDL_Joystick* j = SDL_JoystickOpen(i);
    if (!j) continue;
    SDL_JoystickClose(joystick_);
    joystick_ = j;
    return;
  }
}

int32_t SdlDeviceBackend::ScaleAxis(int value) {
  const double scaled = -1000.0 + (static_cast<double>(value) + 32768.0) * 2000.0 / 65535.0;
  return static_cast<int32_t>(std::lround(scaled));
}

bool SdlDeviceBackend::JoystickRead(JoystickReading& out) {
  if (!joystick_) return false;
  SDL_JoystickUpdate();
  if (!SDL_JoystickGetAttached(joystick_) || !Focused()) return false;
  out = JoystickReading{};
  const int axes = SDL_JoystickNumAxes(joystick_);
  int32_t* const fields[3] = {&out.lX, &out.lY, &out.lZ};
  for (int i = 0; i < 3 && i < axes; ++i) *fields[i] = ScaleAxis(SDL_JoystickGetAxis(joystick_, i));
  const int buttons = SDL_JoystickNumButtons(joystick_);
  for (int i = 0; i < 6 && i < buttons; ++i)
    out.buttons[i] = DownByte(SDL_JoystickGetButton(joystick_, i) != 0);
  return true;
}

void SdlDeviceBackend::MessageBox(const char* caption, const char* text) {
  ShowErrorMessage(caption, text);
}

}  // namespace vl
