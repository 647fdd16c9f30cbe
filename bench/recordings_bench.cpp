// Start-up with a full recordings folder: 999 flights of 10,800 frames
// each (about 820 MB), loaded the way the game does it, set against simply
// reading the same files' bytes; and the save at the end of a full flight.
//
// The files are generated once into a temporary folder and removed at the
// end. Run: bench_recordings_bench [--benchmark_filter=...]
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <system_error>
#include <vector>

#include <unistd.h>

#include "flight/flight_save.h"
#include "flight/recordings.h"

namespace fs = std::filesystem;

namespace {

constexpr int kFiles = 999;

fs::path corpus;      // holds mem.txt and recordings/rec0000..0998
fs::path saveFolder;  // where the save benchmark writes
double loadSeconds = 0, rawSeconds = 0, keptSeconds = 0;

// A full live flight, every frame different.
void FlyFullFlight() {
  vl::ResetRecordingsForTest();
  vl::LoadRecordings();  // no mem.txt where this runs: just the live buffer
  float m[16];
  for (int t = 0; t < vl::kSkippedFrames + vl::kLiveFrames; ++t) {
    const float f = static_cast<float>(t);
    for (int i = 0; i < 16; ++i) m[i] = f * 0.001f + static_cast<float>(i);
    vl::RecordFrame(vl::Vec3(f * 0.24f, 6.0f, -25.0f + f), m);
  }
}

void MakeCorpus() {
  corpus = fs::temp_directory_path() / ("vantaloop-bench-" + std::to_string(::getpid()));
  saveFolder = corpus / "save";
  fs::create_directories(corpus / "recordings");
  fs::create_directories(saveFolder / "recordings");
  fs::current_path(corpus);
  FlyFullFlight();
  vl::SaveRecording(0, true);
  fs::current_path(saveFolder);
  for (int i = 1; i < kFiles; ++i) {
    const std::string path = vl::RecordingPath(i);
    fs::copy_file(corpus / "recordings/rec0000.bin", corpus / path, fs::copy_options::overwrite_existing);
  }
  std::FILE* mem = std::fopen((corpus / "mem.txt").string().c_str(), "w");
  std::fprintf(mem, "%i\n", kFiles);
  std::fclose(mem);
}

void RemoveCorpus() {
  vl::ResetRecordingsForTest();
  fs::current_path(fs::temp_directory_path());
  std::error_code ec;
  fs::remove_all(corpus, ec);
}

double Seconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

// The game's start-up load of all 999 files.
void BM_LoadRecordings(benchmark::State& state) {
  fs::current_path(corpus);
  double total = 0;
  for (auto _ : state) {
    vl::ResetRecordingsForTest();  // as at start-up: nothing to free first
    const auto start = std::chrono::steady_clock::now();
    vl::LoadRecordings();
    total += Seconds(start);
    if (vl::recordingCount != kFiles + 1 || vl::recordings[kFiles].frameCount != vl::kLiveFrames) {
      state.SkipWithError("not every recording loaded");
      break;
    }
    benchmark::DoNotOptimize(vl::recordings[kFiles].frames[vl::kLiveFrames - 1]);
  }
  loadSeconds = total / static_cast<double>(state.iterations());
  state.SetBytesProcessed(state.iterations() * int64_t{kFiles} * 820804);
  vl::ResetRecordingsForTest();
}
BENCHMARK(BM_LoadRecordings)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

// The same files read whole into one reused buffer: the floor for any loader.
void BM_ReadFileBytes(benchmark::State& state) {
  fs::current_path(corpus);
  std::vector<unsigned char> buffer(820804);
  double total = 0;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    size_t bytes = 0;
    for (int i = 0; i < kFiles; ++i) {
      const std::string path = vl::RecordingPath(i);
      std::FILE* f = std::fopen(path.c_str(), "rb");
      if (!f) continue;
      bytes += std::fread(buffer.data(), 1, buffer.size(), f);
      std::fclose(f);
    }
    total += Seconds(start);
    benchmark::DoNotOptimize(bytes);
    benchmark::DoNotOptimize(buffer.data());
  }
  rawSeconds = total / static_cast<double>(state.iterations());
  state.SetBytesProcessed(state.iterations() * int64_t{kFiles} * 820804);
}
BENCHMARK(BM_ReadFileBytes)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

// The same files read whole into 999 newly allocated buffers that are kept,
// as any loader must: this adds the cost of fresh memory (page faults).
void BM_ReadFileBytesKept(benchmark::State& state) {
  fs::current_path(corpus);
  std::vector<std::unique_ptr<unsigned char[]>> kept(kFiles);
  double total = 0;
  for (auto _ : state) {
    for (auto& k : kept) k.reset();
    const auto start = std::chrono::steady_clock::now();
    size_t bytes = 0;
    for (int i = 0; i < kFiles; ++i) {
      const std::string path = vl::RecordingPath(i);
      std::FILE* f = std::fopen(path.c_str(), "rb");
      if (!f) continue;
      kept[i].reset(new unsigned char[820804]);
      bytes += std::fread(kept[i].get(), 1, 820804, f);
      std::fclose(f);
    }
    total += Seconds(start);
    benchmark::DoNotOptimize(bytes);
  }
  keptSeconds = total / static_cast<double>(state.iterations());
  state.SetBytesProcessed(state.iterations() * int64_t{kFiles} * 820804);
}
BENCHMARK(BM_ReadFileBytesKept)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

// Leaving with Escape after a full flight: the file written, synced and
// renamed into place, then mem.txt advanced the same way.
void BM_SaveFullFlight(benchmark::State& state) {
  fs::current_path(saveFolder);
  FlyFullFlight();
  for (auto _ : state) {
    vl::EndOfFlightSave();
    state.PauseTiming();
    std::error_code ec;
    fs::remove("recordings/rec0000.bin", ec);
    fs::remove("mem.txt", ec);
    state.ResumeTiming();
  }
  state.SetBytesProcessed(state.iterations() * 820804);
  vl::ResetRecordingsForTest();
}
BENCHMARK(BM_SaveFullFlight)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  MakeCorpus();
  benchmark::RunSpecifiedBenchmarks();
  if (loadSeconds > 0 && rawSeconds > 0) {
    std::printf("loading %d recordings: %.3f s; reading their bytes into one buffer: %.3f s (ratio %.2f)\n",
                kFiles, loadSeconds, rawSeconds, loadSeconds / rawSeconds);
  }
  if (loadSeconds > 0 && keptSeconds > 0) {
    std::printf("reading their bytes into %d new buffers: %.3f s (ratio %.2f)\n", kFiles, keptSeconds,
                loadSeconds / keptSeconds);
  }
  RemoveCorpus();
  benchmark::Shutdown();
  return 0;
}
