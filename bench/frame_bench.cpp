// Time of one game frame at the default 800 x 500 window: the flight step,
// the camera, the recorded pose, the city from its display list, the ghosts
// and the overlay lines, through to glFinish.
//
//   SDL_VIDEODRIVER=offscreen ./bench_frame_bench
#include <benchmark/benchmark.h>

#include <filesystem>

#include "bench/world_gl_context.h"
#include "flight/camera.h"
#include "flight/game_frame.h"
#include "render/city.h"
#include "render/scene.h"

namespace {

void BM_GameFrame(benchmark::State& state) {
  // The game reads its recordings relative to the working folder: give it
  // an empty one.
  const auto dir = std::filesystem::temp_directory_path() / "vantaloop-frame-bench";
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir / "recordings");
  const auto oldDir = std::filesystem::current_path();
  std::filesystem::current_path(dir);

  vl::bench::WorldGlContext context;
  vl::glkInit();
  // Each run has a fresh context, so the city is built anew in it.
  vl::cityListPending = true;
  vl::GameFrame();  // the first frame builds the city
  glFinish();
  // Every measured frame starts from the same pose, so the view (and the
  // work it takes to draw) does not drift out of the city.
  const vl::Camera start = vl::camera;
  for (auto _ : state) {
    vl::camera = start;
    vl::GameFrame();
    glFinish();
  }
  state.counters["lit_pixels"] = static_cast<double>(vl::bench::WorldGlContext::LitPixels());
  state.SetLabel(context.Renderer());
  std::filesystem::current_path(oldDir);
  std::filesystem::remove_all(dir);
}
BENCHMARK(BM_GameFrame)->Unit(benchmark::kMillisecond)->MinTime(3.0);

}  // namespace

BENCHMARK_MAIN();
