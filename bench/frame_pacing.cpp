// Measures the real main loop's frame pacing: runs the game with the SDL
// back end (offscreen driver unless a display is chosen), times every
// presented frame with a high-resolution clock, and ends the run with a quit
// event after the requested number of frames.
//
//   SDL_VIDEODRIVER=offscreen ./bench_frame_pacing [frames]
#include <SDL.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <numeric>
#include <vector>

#include "platform/gl_functions.h"
#include "platform/sdl_loop.h"
#include "platform/sdl_window.h"
#include "shell/main_loop.h"

namespace {

using Clock = std::chrono::steady_clock;

// The SDL loop operations, with a stopwatch on every buffer swap.
class TimedLoop final : public vl::LoopPlatform {
 public:
  explicit TimedLoop(int frames) : frames_(frames) {}
  std::vector<Clock::time_point> swaps;

  uint32_t TimeGetTime() override { return real_.TimeGetTime(); }
  void Sleep(uint32_t ms) override { real_.Sleep(ms); }
  bool PeekMessage(vl::Msg& out) override { return real_.PeekMessage(out); }
  void TranslateMessage(const vl::Msg& m) override { real_.TranslateMessage(m); }
  bool GetMessage(vl::Msg& out) override { return real_.GetMessage(out); }
  vl::CursorHandle LoadCursor(int id) override { return real_.LoadCursor(id); }
  bool IsZoomed() override { return real_.IsZoomed(); }
  uint32_t WindowHandle() override { return real_.WindowHandle(); }
  std::unique_ptr<vl::DeviceBackend> OpenDevices() override { return real_.OpenDevices(); }
  void SwapBuffers() override {
    real_.SwapBuffers();
    swaps.push_back(Clock::now());
    if (static_cast<int>(swaps.size()) == frames_ + 1) {
      SDL_Event quit{};
      quit.type = SDL_QUIT;
      SDL_PushEvent(&quit);
    }
  }

 private:
  vl::SdlLoopPlatform real_;
  int frames_;
};

}  // namespace

int main(int argc, char** argv) {
  const int frames = argc > 1 ? std::max(10, std::atoi(argv[1])) : 600;
  const auto dir = std::filesystem::temp_directory_path() / "vantaloop-frame-pacing";
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir / "recordings");
  std::filesystem::current_path(dir);
  setenv("VANTALOOP_NO_DIALOGS", "1", 1);

  if (SDL_Init(SDL_INIT_EVENTS) != 0) {
    std::fprintf(stderr, "SDL: %s\n", SDL_GetError());
    return 1;
  }
  vl::InstallSystemGl();
  std::vector<double> intervals;
  {
    vl::SdlWindowPlatform window;
    vl::SdlWindowOps ops;
    TimedLoop loop(frames);
    vl::windowPlatform = &window;
    vl::windowOps = &ops;
    vl::loopPlatform = &loop;
    vl::WinMain();
    vl::inputDevices.reset();
    // The first frame builds the city; measure the steady state after it.
    for (size_t i = 2; i < loop.swaps.size(); ++i)
      intervals.push_back(std::chrono::duration<double, std::milli>(loop.swaps[i] - loop.swaps[i - 1]).count());
  }
  SDL_Quit();
  std::filesystem::current_path(dir.parent_path());
  std::filesystem::remove_all(dir);

  if (intervals.empty()) {
    std::fprintf(stderr, "no frames were presented\n");
    return 1;
  }
  std::vector<double> sorted = intervals;
  std::sort(sorted.begin(), sorted.end());
  const double mean = std::accumulate(intervals.begin(), intervals.end(), 0.0) / static_cast<double>(intervals.size());
  std::printf("frames measured: %zu (video driver %s)\n", intervals.size(),
              std::getenv("SDL_VIDEODRIVER") ? std::getenv("SDL_VIDEODRIVER") : "default");
  std::printf("frame interval ms: mean %.3f  min %.3f  median %.3f  p99 %.3f  worst %.3f\n", mean,
              sorted.front(), sorted[sorted.size() / 2], sorted[sorted.size() * 99 / 100], sorted.back());
  return 0;
}
