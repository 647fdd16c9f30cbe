// Scripted stand-ins for the platform: a clock that only moves when told or
// when the loop yields, messages handed out pass by pass, a window system
// that records what it was asked, and devices with settable state.
#pragma once

#include <deque>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "input/input_devices.h"
#include "input/window_proc.h"
#include "shell/main_loop.h"
#include "shell/window.h"

namespace vl::test {

class FakeDeviceBackend;

class FakeLoopPlatform : public LoopPlatform {
 public:
  uint32_t now = 100000;      // the clock; Sleep(n) moves it by max(n, 1)
  std::vector<uint32_t> sleeps;
  int swaps = 0;
  int passes = 0;             // main-loop passes begun (device polls)
  bool zoomed = false;
  uint32_t handle = 0x1A2B;
  // Messages for pass i are queued when pass i begins; once the script
  // runs out, a close request ends the loop.
  std::vector<std::vector<Msg>> script;
  // Called when a pass begins, before its messages are queued.
  std::function<void(int pass)> onPass;
  // Called on every Sleep, before the clock moves: inside BeginFrame's wait
  // it sees the input state exactly as the coming game frame will.
  std::function<void(uint32_t ms)> onSleep;
  std::deque<Msg> queue;
  std::vector<int> cursorIds;
  FakeDeviceBackend* devices = nullptr;  // the backend handed out, if any

  uint32_t TimeGetTime() override { return now; }
  void Sleep(uint32_t ms) override;
  bool PeekNextMessage(Msg& out) override;
  void TranslateMessage(const Msg&) override {}
  bool TakeMessage(Msg& out) override;
  CursorHandle LoadSystemCursor(int id) override;
  bool IsZoomed() override { return zoomed; }
  void SwapBuffers() override { ++swaps; }
  uint32_t WindowHandle() override { return handle; }
  std::unique_ptr<DeviceBackend> OpenDevices() override;

  void BeginPass();
};

class FakeDeviceBackend : public DeviceBackend {
 public:
  explicit FakeDeviceBackend(FakeLoopPlatform* loop = nullptr) : loop_(loop) {}
  uint8_t keys[256] = {};
  bool keyboardFails = false;
  bool haveMouse = true;
  MouseReading mouse;
  bool haveJoystick = false;
  bool joystickPrepareFails = false;
  int32_t joystickAxes = 3;
  bool joystickFails = false;
  JoystickReading joystick;
  std::vector<std::string> messages;  // "caption: text"

  void KeyboardAcquire() override {}
  bool KeyboardRead(uint8_t state[256]) override;
  bool MouseOpen() override { return haveMouse; }
  bool MouseAcquire() override { return true; }
  bool MouseRead(MouseReading& out) override {
    out = mouse;
    return true;
  }
  bool JoystickOpen() override { return haveJoystick; }
  bool JoystickPrepare() override { return !joystickPrepareFails; }
  bool JoystickCountAxes(int32_t& count) override {
    count = joystickAxes;
    return true;
  }
  void JoystickAcquire() override {}
  // Reads fail while the joystick is unplugged (haveJoystick false).
  bool JoystickRead(JoystickReading& out) override {
    if (joystickFails || !haveJoystick) return false;
    out = joystick;
    return true;
  }
  bool JoystickAttached() override { return haveJoystick; }
  void ShowMessage(const char* caption, const char* text) override {
    messages.push_back(std::string(caption) + ": " + text);
  }

 private:
  FakeLoopPlatform* loop_;
};

class FakeWindowPlatform : public WindowPlatform {
 public:
  bool failCreate = false;
  int windowsBeforeFailure = -1;  // windows made before MakeWindow fails (-1: never fails)
  bool failContext = false;
  int32_t multisampleFormat = -1;  // what ChooseMultisampleFormat answers
  std::vector<std::string> log;    // the calls made, in order
  std::vector<std::string> messages;
  bool window = false, context = false;
  std::vector<int32_t> lastAttributes;

  void LoadWindowIcon(const char*) override { log.push_back("LoadWindowIcon"); }
  bool MakeWindow(const char* title, int32_t x, int32_t y, int32_t w, int32_t h,
                    const PixelFormatDescriptor& pfd, int32_t pixelFormat) override;
  int32_t ChoosePixelFormat(const PixelFormatDescriptor&) override {
    log.push_back("ChoosePixelFormat");
    return 7;
  }
  bool CreateContext() override {
    log.push_back("CreateContext");
    context = !failContext;
    return context;
  }
  int32_t ChooseMultisampleFormat(const int32_t* attributes) override;
  bool DisableSwapWait() override {
    log.push_back("DisableSwapWait");
    return true;
  }
  void ShowWindow() override { log.push_back("ShowWindow"); }
  void MaximiseWindow() override { log.push_back("MaximiseWindow"); }
  void SetForegroundAndFocus() override { log.push_back("SetForegroundAndFocus"); }
  void DestroyContext() override {
    log.push_back("DestroyContext");
    context = false;
  }
  void DestroyWindow() override {
    log.push_back("DestroyWindow");
    window = false;
  }
  bool HasContext() const override { return context; }
  bool HasWindow() const override { return window; }
  void ShowMessage(const char* caption, const char* text) override {
    messages.push_back(std::string(caption) + ": " + text);
  }
  void SetTitle(const char* title) override { titles.push_back(title); }
  std::vector<std::string> titles;  // every title set after the window was made
};

class FakeWindowOps : public WindowOps {
 public:
  int frameX = 4, frameY = 4, caption = 20;
  int32_t clientW = 800, clientH = 500;
  int32_t cursorX = 0, cursorY = 0;
  int leaveRequests = 0;
  std::vector<CursorHandle> cursorsSet;
  int defaultCalls = 0;

  int GetSystemMetrics(int index) override;
  void GetClientRect(int32_t& w, int32_t& h) override {
    w = clientW;
    h = clientH;
  }
  void GetCursorPos(int32_t& x, int32_t& y) override {
    x = cursorX;
    y = cursorY;
  }
  void TrackMouseLeave() override { ++leaveRequests; }
  void SetCursor(CursorHandle c) override { cursorsSet.push_back(c); }
  intptr_t DefaultWindowProc(const Msg&) override {
    ++defaultCalls;
    return 0;
  }
};

// Installs fresh fakes as the platform, resets the game's process-wide
// state, and moves into an empty temporary folder (the game reads and
// writes relative to it). Everything is put back on destruction.
class GameHarness {
 public:
  GameHarness();
  ~GameHarness();
  GameHarness(const GameHarness&) = delete;
  GameHarness& operator=(const GameHarness&) = delete;

  FakeLoopPlatform loop;
  FakeWindowPlatform window;
  FakeWindowOps ops;
  std::filesystem::path dir;

  // The lines of a text file in the folder, without their line endings.
  std::vector<std::string> ReadLines(const std::string& name) const;

 private:
  std::filesystem::path oldDir_;
};

// Key messages as Windows packs them.
Msg KeyDown(int vk);
Msg KeyUp(int vk);

}  // namespace vl::test
