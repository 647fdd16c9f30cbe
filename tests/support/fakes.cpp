#include "tests/support/fakes.h"

#include <unistd.h>

#include <atomic>
#include <fstream>

#include "input/input_state.h"
#include "shell/log.h"
#include "tests/support/game_state.h"

namespace vl::test {

void FakeLoopPlatform::Sleep(uint32_t ms) {
  sleeps.push_back(ms);
  if (onSleep) onSleep(ms);
  now += ms == 0 ? 1 : ms;
}

void FakeLoopPlatform::BeginPass() {
  if (onPass) onPass(passes);
  if (passes < static_cast<int>(script.size())) {
    for (const Msg& m : script[passes]) queue.push_back(m);
  } else {
    queue.push_back({wm::CLOSE, 0, 0});
  }
  ++passes;
}

bool FakeLoopPlatform::PeekNextMessage(Msg& out) {
  if (queue.empty()) return false;
  out = queue.front();
  return true;
}

bool FakeLoopPlatform::TakeMessage(Msg& out) {
  out = queue.front();
  queue.pop_front();
  return out.message != wm::QUIT;
}

CursorHandle FakeLoopPlatform::LoadSystemCursor(int id) {
  cursorIds.push_back(id);
  // Any distinct non-null value will do as a handle.
  return reinterpret_cast<CursorHandle>(static_cast<uintptr_t>(id));
}

std::unique_ptr<DeviceBackend> FakeLoopPlatform::OpenDevices() {
  auto backend = std::make_unique<FakeDeviceBackend>(this);
  devices = backend.get();
  return backend;
}

bool FakeDeviceBackend::KeyboardRead(uint8_t state[256]) {
  if (loop_) loop_->BeginPass();
  if (keyboardFails) return false;
  for (int i = 0; i < 256; ++i) state[i] = keys[i];
  return true;
}

bool FakeWindowPlatform::MakeWindow(const char* title, int32_t x, int32_t y, int32_t w, int32_t h,
                                      const PixelFormatDescriptor& pfd, int32_t pixelFormat) {
  log.push_back("MakeWindow " + std::string(title) + " " + std::to_string(x) + "," +
                std::to_string(y) + " " + std::to_string(w) + "x" + std::to_string(h) + " bits=" +
                std::to_string(pfd.cColorBits) + " format=" + std::to_string(pixelFormat));
  if (failCreate || windowsBeforeFailure == 0) return false;
  if (windowsBeforeFailure > 0) --windowsBeforeFailure;
  window = true;
  return true;
}

int32_t FakeWindowPlatform::ChooseMultisampleFormat(const int32_t* attributes) {
  log.push_back("ChooseMultisampleFormat");
  lastAttributes.clear();
  for (const int32_t* a = attributes;; a += 2) {
    lastAttributes.push_back(a[0]);
    lastAttributes.push_back(a[1]);
    if (a[0] == 0 && a[1] == 0) break;
  }
  return multisampleFormat;
}

int FakeWindowOps::GetSystemMetrics(int index) {
  switch (index) {
    case sm::CXFRAME: return frameX;
    case sm::CYFRAME: return frameY;
    case sm::CYCAPTION: return caption;
    default: return 0;
  }
}

GameHarness::GameHarness() {
  static std::atomic<int> counter{0};
  oldDir_ = std::filesystem::current_path();
  dir = std::filesystem::temp_directory_path() /
        ("vantaloop-test-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir / "recordings");
  std::filesystem::current_path(dir);
  ResetGameState();
  loopPlatform = &loop;
  windowPlatform = &window;
  windowOps = &ops;
}

GameHarness::~GameHarness() {
  ResetGameState();
  loopPlatform = nullptr;
  windowPlatform = nullptr;
  windowOps = nullptr;
  std::filesystem::current_path(oldDir_);
  std::error_code ec;
  std::filesystem::remove_all(dir, ec);
}

std::vector<std::string> GameHarness::ReadLines(const std::string& name) const {
  std::vector<std::string> lines;
  std::ifstream in(dir / name);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

Msg KeyDown(int vk) { return {wm::KEYDOWN, static_cast<uintptr_t>(vk), 1}; }
Msg KeyUp(int vk) { return {wm::KEYUP, static_cast<uintptr_t>(vk), static_cast<intptr_t>(0xC0000001u)}; }

}  // namespace vl::test
