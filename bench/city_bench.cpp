// Time to build the city's display list (about 200,000 vertices with their
// colours and wave heights) on the system OpenGL driver, and to draw it.
//
//   SDL_VIDEODRIVER=offscreen ./bench_city_bench
#include <benchmark/benchmark.h>

#include "bench/world_gl_context.h"
#include "render/city.h"
#include "render/face_lighting.h"
#include "render/gl_api.h"
#include "render/projection.h"

namespace {

void BM_CityBuild(benchmark::State& state) {
  vl::bench::WorldGlContext context;
  vl::ComputeFacePalette();
  for (auto _ : state) {
    vl::cityListPending = true;
    vl::CityStep();  // builds, does not draw
    glFinish();
    state.PauseTiming();
    glDeleteLists(vl::cityList, 1);
    state.ResumeTiming();
  }
  state.SetLabel(context.Renderer());
}
BENCHMARK(BM_CityBuild)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The wave-row heights alone: 180 per block, 25 blocks.
void BM_WaveHeights(benchmark::State& state) {
  for (auto _ : state) {
    float sum = 0;
    for (int block = 0; block < 25; ++block)
      for (int j = 0; j < 30; ++j)
        for (int i : {6, 7, 14, 15, 22, 23}) sum += vl::WaveHeight(i, j);
    benchmark::DoNotOptimize(sum);
  }
}
BENCHMARK(BM_WaveHeights)->Unit(benchmark::kMicrosecond);

// Drawing the built list once from the start position, to the finish.
void BM_CityDraw(benchmark::State& state) {
  vl::bench::WorldGlContext context;
  vl::ComputeFacePalette();
  vl::cityListPending = true;
  vl::CityStep();
  vl::SetProjection(true);
  vl::gl.Enable(vl::glc::DEPTH_TEST);
  vl::gl.DepthFunc(vl::glc::LEQUAL);
  // The start pose: right is -x and the eye looks along +z.
  vl::gl.Scalef(-1, 1, -1);
  vl::gl.Translatef(-6, -6, 25);
  for (auto _ : state) {
    vl::gl.Clear(vl::glc::COLOR_BUFFER_BIT | vl::glc::DEPTH_BUFFER_BIT);
    vl::CityStep();
    glFinish();
  }
  state.counters["lit_pixels"] = static_cast<double>(vl::bench::WorldGlContext::LitPixels());
  state.SetLabel(context.Renderer());
}
BENCHMARK(BM_CityDraw)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace

BENCHMARK_MAIN();
