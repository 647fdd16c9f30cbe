// Runs the real main loop with the SDL back end (offscreen driver unless a
// display is chosen) for a number of frames, timing every presented frame
// with a high-resolution clock and the process's processor time over the
// whole run. The run ends with a quit event after the requested frames.
#pragma once

#include <SDL.h>
#include <time.h>

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

namespace bench {

using Clock = std::chrono::steady_clock;

// The SDL loop operations, with a stopwatch on every buffer swap.
class TimedLoop final : public vl::LoopPlatform {
 public:
  TimedLoop(int frames, bool lowPower) : frames_(frames) { real_.lowPower = lowPower; }
  std::vector<Clock::time_point> swaps;

  uint32_t TimeGetTime() override { return real_.TimeGetTime(); }
  void Sleep(uint32_t ms) override { real_.Sleep(ms); }
  bool PeekNextMessage(vl::Msg& out) override { return real_.PeekNextMessage(out); }
  void TranslateMessage(const vl::Msg& m) override { real_.TranslateMessage(m); }
  bool TakeMessage(vl::Msg& out) override { return real_.TakeMessage(out); }
  vl::CursorHandle LoadSystemCursor(int id) override { return real_.LoadSystemCursor(id); }
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

struct LoopRun {
  std::vector<double> intervalsMs;  // between presented frames, after the first
  double cpuSeconds = 0;            // processor time of the whole run
  bool ok = false;
};

inline double ProcessCpuSeconds() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// One whole run of the game (start-up, `frames` frames, shutdown) in a fresh
// temporary folder.
inline LoopRun RunRealLoop(int frames, bool lowPower) {
  LoopRun run;
  const auto dir = std::filesystem::temp_directory_path() / "vantaloop-frame-pacing";
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir / "recordings");
  const auto oldDir = std::filesystem::current_path();
  std::filesystem::current_path(dir);
  setenv("VANTALOOP_NO_DIALOGS", "1", 1);

  if (SDL_Init(SDL_INIT_EVENTS) != 0) {
    std::fprintf(stderr, "SDL: %s\n", SDL_GetError());
    return run;
  }
  vl::InstallSystemGl();
  const double cpuStart = ProcessCpuSeconds();
  {
    vl::SdlWindowPlatform window;
    vl::SdlWindowOps ops;
    TimedLoop loop(frames, lowPower);
    vl::windowPlatform = &window;
    vl::windowOps = &ops;
    vl::loopPlatform = &loop;
    vl::lastFrameTime = 0;
    vl::WinMain();
    vl::inputDevices.reset();
    // The first frame builds the city; measure the steady state after it.
    for (size_t i = 2; i < loop.swaps.size(); ++i)
      run.intervalsMs.push_back(std::chrono::duration<double, std::milli>(loop.swaps[i] - loop.swaps[i - 1]).count());
  }
  run.cpuSeconds = ProcessCpuSeconds() - cpuStart;
  SDL_Quit();
  std::filesystem::current_path(oldDir);
  std::filesystem::remove_all(dir);
  run.ok = !run.intervalsMs.empty();
  if (!run.ok) std::fprintf(stderr, "no frames were presented\n");
  return run;
}

struct IntervalStats {
  double mean, min, median, p99, worst;
};

inline IntervalStats Summarise(const std::vector<double>& intervals) {
  std::vector<double> sorted = intervals;
  std::sort(sorted.begin(), sorted.end());
  const double mean = std::accumulate(sorted.begin(), sorted.end(), 0.0) / static_cast<double>(sorted.size());
  return {mean, sorted.front(), sorted[sorted.size() / 2], sorted[sorted.size() * 99 / 100], sorted.back()};
}

}  // namespace bench
