#include "platform/sdl_devices.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/message_box.h"
#include "input/pad_mappings.h"
#include "platform/sdl_keys.h"
#include "os/files.h"
#include "shell/log.h"

namespace vl {

namespace {
constexpr uint8_t kDown = 0x80;  // a key or button byte with bit 7 set
constexpr int kWheelDelta = 120;

uint8_t DownByte(bool down) { return down ? kDown : uint8_t{0}; }

// SDL's own mapping database is a few hundred kilobytes; a file far larger
// than that is no list of pad mappings.
constexpr size_t kMaxMappingBytes = 16 << 20;

// The text of a mapping file. Only a plain file of sensible size is read: a
// FIFO or a link to a huge file planted under that name cannot hold up or
// exhaust the game. Empty when missing.
std::string ReadMappingFile(const char* path) {
  std::FILE* f = os::OpenForReading(path);
  if (!f) return {};
  std::string text(kMaxMappingBytes + 1, '\0');
  text.resize(std::fread(text.data(), 1, text.size(), f));
  std::fclose(f);
  if (text.size() > kMaxMappingBytes) return {};
  return text;
}

// SDL's two variables for the player's own mappings. SDL would read them by
// itself when its joystick part starts; they are read here instead, so that
// their lines are checked like those of the data folder's file.
constexpr const char* kConfigVariable = "SDL_GAMECONTROLLERCONFIG";
constexpr const char* kConfigFileVariable = "SDL_GAMECONTROLLERCONFIG_FILE";

struct MappingSource {
  const char* name;
  std::string text;
  const char* platform;  // files hold lines for every platform
};

// Takes the player's mappings (the variables, gamecontrollerdb.txt) away
// from SDL before its joystick part starts; AddPlayerMappings hands on the
// good lines afterwards.
std::vector<MappingSource> TakePlayerMappings() {
  std::vector<MappingSource> sources;
  const char* file = std::getenv(kConfigFileVariable);
  if (file && *file) sources.push_back({kConfigFileVariable, ReadMappingFile(file), SDL_GetPlatform()});
  sources.push_back({"gamecontrollerdb.txt", ReadMappingFile("gamecontrollerdb.txt"), SDL_GetPlatform()});
  // Last, as SDL ranks the variable's mappings above those of any file.
  const char* config = std::getenv(kConfigVariable);
  if (config && *config) sources.push_back({kConfigVariable, config, nullptr});
  SDL_SetHintWithPriority(SDL_HINT_GAMECONTROLLERCONFIG_FILE, "", SDL_HINT_OVERRIDE);
  SDL_SetHintWithPriority(SDL_HINT_GAMECONTROLLERCONFIG, "", SDL_HINT_OVERRIDE);
  return sources;
}

void AddPlayerMappings(const std::vector<MappingSource>& sources) {
  int broken = 0;
  for (const MappingSource& source : sources) {
    const PadMappingLines lines = SortPadMappings(source.text, source.platform);
    for (const std::string& line : lines.kept) SDL_GameControllerAddMapping(line.c_str());
    broken += lines.broken;
    if (lines.beyondLimit > 0)
      LogWrite("pad mappings: %i lines of %s beyond the first %i passed over", lines.beyondLimit, source.name,
               kMaxPadMappings);
  }
  if (broken > 0) LogWrite("pad mappings: %i broken lines passed over", broken);
}
}  // namespace

SdlDeviceBackend::SdlDeviceBackend(SDL_Window* focusWindow, const EventContext* layout)
    : focusWindow_(focusWindow) {
  // The window procedure learns typed characters from SDL's text events;
  // make sure SDL produces them for the game window.
  if (focusWindow_) SDL_StartTextInput();
  if (focusWindow_) fullscreen_ = std::make_unique<FullscreenKeys>(focusWindow_, layout);
}

SdlDeviceBackend::~SdlDeviceBackend() {
  SDL_DelEventWatch(&SdlDeviceBackend::WatchWheel, this);
  CloseJoystick();
  if (joystickSubsystem_) SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
}

bool SdlDeviceBackend::Focused() const {
  return focusWindow_ == nullptr || SDL_GetKeyboardFocus() == focusWindow_;
}

// ---- Keyboard ----

void SdlDeviceBackend::KeyboardAcquire() {
  // SDL's keyboard state needs no acquiring; reads follow the focus.
}

bool SdlDeviceBackend::KeyboardRead(uint8_t state[256]) {
  // Bring SDL's keyboard, mouse and focus state up to date now; the events
  // stay queued for the window procedure.
  SDL_PumpEvents();
  if (fullscreen_) fullscreen_->Apply();
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

namespace {
constexpr Uint64 kRetryMs = 1000;  // a device that would not open is tried again after this
}

bool SdlDeviceBackend::OpenIndex(int index) {
  if (SDL_IsGameController(index)) {
    if (SDL_GameController* c = SDL_GameControllerOpen(index)) {
      CloseJoystick();
      controller_ = c;
      joystick_ = SDL_GameControllerGetJoystick(c);
      joystickGuid_ = SDL_JoystickGetGUID(joystick_);
      return true;
    }
  }
  SDL_Joystick* j = SDL_JoystickOpen(index);
  if (!j) return false;
  CloseJoystick();
  joystick_ = j;
  joystickGuid_ = SDL_JoystickGetGUID(j);
  return true;
}

void SdlDeviceBackend::CloseJoystick() {
  if (controller_) {
    SDL_GameControllerClose(controller_);
  } else if (joystick_) {
    SDL_JoystickClose(joystick_);
  }
  controller_ = nullptr;
  joystick_ = nullptr;
}

bool SdlDeviceBackend::JoystickOpen() {
  if (!joystickSubsystem_) {
    // Keep SDL's joystick state current whatever has the focus; the focus
    // rule is applied by JoystickRead.
    SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
    const std::vector<MappingSource> mappings = TakePlayerMappings();
    if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0) return false;
    joystickSubsystem_ = true;
    AddPlayerMappings(mappings);
  } else {
    SDL_JoystickUpdate();  // notices devices plugged in since the last look
  }
  // The first attached joystick that opens.
  return OpenFirst([](int) { return true; });
}

template <typename Wanted>
bool SdlDeviceBackend::OpenFirst(Wanted wanted) {
  const Uint64 now = SDL_GetTicks64();
  if (now >= retryAt_) failed_.clear();
  const int count = SDL_NumJoysticks();
  for (int i = 0; i < count; ++i) {
    const SDL_JoystickID id = SDL_JoystickGetDeviceInstanceID(i);
    if (!wanted(i) || std::find(failed_.begin(), failed_.end(), id) != failed_.end()) continue;
    if (OpenIndex(i)) return true;
    failed_.push_back(id);
    retryAt_ = now + kRetryMs;
  }
  return false;
}

bool SdlDeviceBackend::JoystickAttached() { return joystick_ && SDL_JoystickGetAttached(joystick_); }

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
  // again; otherwise another attached device takes its place.
  if (!joystick_ || SDL_JoystickGetAttached(joystick_)) return;
  const SDL_JoystickGUID lost = joystickGuid_;
  if (OpenFirst([&](int i) {
        const SDL_JoystickGUID guid = SDL_JoystickGetDeviceGUID(i);
        return std::memcmp(&guid, &lost, sizeof guid) == 0;
      }))
    return;
  OpenFirst([](int) { return true; });
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
  if (controller_) {
    out.lX = ScaleAxis(SDL_GameControllerGetAxis(controller_, SDL_CONTROLLER_AXIS_LEFTX));
    out.lY = ScaleAxis(SDL_GameControllerGetAxis(controller_, SDL_CONTROLLER_AXIS_LEFTY));
    out.lZ = ScaleAxis(SDL_GameControllerGetAxis(controller_, SDL_CONTROLLER_AXIS_RIGHTX));
    constexpr SDL_GameControllerButton kButtons[6] = {
        SDL_CONTROLLER_BUTTON_A, SDL_CONTROLLER_BUTTON_B,            SDL_CONTROLLER_BUTTON_X,
        SDL_CONTROLLER_BUTTON_Y, SDL_CONTROLLER_BUTTON_LEFTSHOULDER, SDL_CONTROLLER_BUTTON_RIGHTSHOULDER};
    for (int i = 0; i < 6; ++i) out.buttons[i] = DownByte(SDL_GameControllerGetButton(controller_, kButtons[i]) != 0);
    return true;
  }
  const int axes = SDL_JoystickNumAxes(joystick_);
  int32_t* const fields[3] = {&out.lX, &out.lY, &out.lZ};
  for (int i = 0; i < 3 && i < axes; ++i) *fields[i] = ScaleAxis(SDL_JoystickGetAxis(joystick_, i));
  const int buttons = SDL_JoystickNumButtons(joystick_);
  for (int i = 0; i < 6 && i < buttons; ++i)
    out.buttons[i] = DownByte(SDL_JoystickGetButton(joystick_, i) != 0);
  return true;
}

void SdlDeviceBackend::ShowMessage(const char* caption, const char* text) {
  ShowErrorMessage(caption, text);
}

}  // namespace vl
