// Measures the real main loop's frame pacing: runs the game with the SDL
// back end (offscreen driver unless a display is chosen), times every
// presented frame with a high-resolution clock, and ends the run with a quit
// event after the requested number of frames.
//
//   SDL_VIDEODRIVER=offscreen ./bench_frame_pacing [frames]
#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "bench/real_loop.h"

int main(int argc, char** argv) {
  const int frames = argc > 1 ? std::max(10, std::atoi(argv[1])) : 600;
  const bench::LoopRun run = bench::RunRealLoop(frames, false);
  if (!run.ok) return 1;
  const bench::IntervalStats s = bench::Summarise(run.intervalsMs);
  std::printf("frames measured: %zu (video driver %s)\n", run.intervalsMs.size(),
              std::getenv("SDL_VIDEODRIVER") ? std::getenv("SDL_VIDEODRIVER") : "default");
  std::printf("frame interval ms: mean %.3f  min %.3f  median %.3f  p99 %.3f  worst %.3f\n", s.mean, s.min,
              s.median, s.p99, s.worst);
  return 0;
}
