// The frame wait with and without --low-power, side by side: runs the real
// main loop once each way in one process and reports, for each, processor
// seconds per 1,000 frames and the mean, p99 and worst frame interval.
// The low-power wait should cost clearly less processor time while the
// frames keep their 16 ms rhythm.
//
//   SDL_VIDEODRIVER=offscreen ./bench_low_power [frames]
#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "bench/real_loop.h"

int main(int argc, char** argv) {
  const int frames = argc > 1 ? std::max(10, std::atoi(argv[1])) : 600;
  std::printf("%d frames each (video driver %s)\n", frames,
              std::getenv("SDL_VIDEODRIVER") ? std::getenv("SDL_VIDEODRIVER") : "default");
  std::printf("%-10s %14s %10s %10s %10s %10s\n", "wait", "cpu s/1000fr", "mean ms", "median ms", "p99 ms",
              "worst ms");
  for (const bool lowPower : {false, true}) {
    const bench::LoopRun run = bench::RunRealLoop(frames, lowPower);
    if (!run.ok) return 1;
    const bench::IntervalStats s = bench::Summarise(run.intervalsMs);
    const double perThousand = run.cpuSeconds * 1000.0 / static_cast<double>(frames);
    std::printf("%-10s %14.3f %10.3f %10.3f %10.3f %10.3f\n", lowPower ? "low-power" : "default", perThousand,
                s.mean, s.median, s.p99, s.worst);
  }
  return 0;
}
