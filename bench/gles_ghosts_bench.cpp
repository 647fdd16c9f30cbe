// Frames per second with 0, 200 and 999 ghosts in view at the default
// 800 x 500 window, drawn through the system's OpenGL 1.1 (gles:0) and
// through the game's layer over OpenGL ES 2 (gles:1) in the same run: the
// whole game frame (flight step, city, ghosts, overlay) to glFinish.
//
//   SDL_VIDEODRIVER=offscreen ./bench_gles_ghosts_bench
#include <benchmark/benchmark.h>

#include <filesystem>

#include "bench/world_gl_context.h"
#include "flight/camera.h"
#include "flight/game_frame.h"
#include "flight/recordings.h"
#include "render/city.h"
#include "render/scene.h"
#include "tests/support/ghost_fleet.h"

namespace {

void BM_GhostFrame(benchmark::State& state) {
  const int ghosts = static_cast<int>(state.range(0));
  const bool gles = state.range(1) != 0;
  // The game reads its recordings relative to the working folder: give it
  // an empty one, then park the ghosts in front of the start.
  const auto dir = std::filesystem::temp_directory_path() / "vantaloop-gles-bench";
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir / "recordings");
  const auto oldDir = std::filesystem::current_path();
  std::filesystem::current_path(dir);

  vl::bench::WorldGlContext context(gles);
  vl::glkInit();
  vl::test::AddGhostFleet(ghosts, vl::kReplayStart + 1);
  vl::cityListPending = true;
  vl::GameFrame();  // builds the city
  vl::gl.Finish();
  const vl::Camera start = vl::camera;
  for (auto _ : state) {
    // The same pose and the same ghost frame every time, so the work does
    // not drift and no ghost's flight ends.
    vl::camera = start;
    for (int i = 1; i < vl::recordingCount; ++i) vl::recordings[i].cursor = vl::kReplayStart;
    vl::GameFrame();
    vl::gl.Finish();
  }
  state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()),
                                             benchmark::Counter::kIsRate);
  state.counters["lit_pixels"] = static_cast<double>(vl::bench::WorldGlContext::LitPixels());
  state.SetLabel(context.Renderer());
  vl::ResetRecordingsForTest();
  std::filesystem::current_path(oldDir);
  std::filesystem::remove_all(dir);
}
// Each count of ghosts both ways one after the other, so both see the same
// load on a shared machine.
BENCHMARK(BM_GhostFrame)
    ->Args({0, 0})->Args({0, 1})
    ->Args({200, 0})->Args({200, 1})
    ->Args({999, 0})->Args({999, 1})
    ->ArgNames({"ghosts", "gles"})
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2.0)
    ->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
