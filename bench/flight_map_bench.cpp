// --map of a full recordings folder: 999 flights of 10,800 frames each that
// zig-zag every other frame, the worst a map can be asked to draw. Reports
// the time to write the map, the size of the SVG file and the peak memory
// of the process.
//
// The files are generated once into a temporary folder and removed at the
// end. Run: bench_flight_map_bench
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "flight/recording_file.h"
#include "render/flight_map.h"

namespace fs = std::filesystem;

namespace {

constexpr int kFlights = 999;
fs::path corpus;

void MakeCorpus() {
  corpus = fs::temp_directory_path() / ("vantaloop-map-bench-" + std::to_string(::getpid()));
  fs::create_directories(corpus / "recordings");
  fs::current_path(corpus);
  std::vector<vl::FrameRecord> frames(vl::kLiveFrames);
  for (int n = 0; n < kFlights; ++n) {
    for (int i = 0; i < vl::kLiveFrames; ++i) {
      const float t = static_cast<float>(i);
      const float side = (i / 2) % 2 ? 3.0f : -3.0f;
      frames[i].position = {-60.0f + 0.011f * t + 0.05f * static_cast<float>(n), 5.0f, side + 0.1f * static_cast<float>(n % 50)};
      for (int k = 0; k < 16; ++k) frames[i].rotation[k] = k % 5 == 0 ? 1.0f : 0.0f;
    }
    std::FILE* f = std::fopen(vl::RecordingPath(n).c_str(), "wb");
    vl::WriteRecording(f, frames.data(), vl::kLiveFrames);
    std::fclose(f);
  }
  std::FILE* mem = std::fopen("mem.txt", "w");
  std::fprintf(mem, "%d\n", kFlights);
  std::fclose(mem);
}

void BM_MapOfFullZigZagFlights(benchmark::State& state) {
  fs::current_path(corpus);
  const std::string svg = (corpus / "map.svg").string();
  for (auto _ : state) {
    if (vl::WriteFlightMap(svg) != 0) state.SkipWithError("the map was not written");
  }
  std::error_code ec;
  state.counters["svg_MB"] = static_cast<double>(fs::file_size(svg, ec)) / 1e6;
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  state.counters["peak_MiB"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
}
BENCHMARK(BM_MapOfFullZigZagFlights)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  MakeCorpus();
  benchmark::RunSpecifiedBenchmarks();
  fs::current_path(fs::temp_directory_path());
  std::error_code ec;
  fs::remove_all(corpus, ec);
  benchmark::Shutdown();
  return 0;
}
