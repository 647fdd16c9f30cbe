#include "flight/recordings.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstring>
#include <new>

#include "flight/counter.h"
#include "shell/log.h"

namespace vl {

Recording recordings[kMaxRecordings];
int32_t recordingCount = 1;

void RecordFrame(Vec3 position, const float rotation[16]) {
  Recording& live = recordings[0];
  if (!live.frames) return;  // no buffer: the flight is not recorded
  if (live.frameCount >= kLiveFrames) return;
  const int32_t n = live.frameCount;
  live.frameCount = n + 1;
  if (n < 0) return;  // the first frames of a run are counted, not stored
  FrameRecord& rec = live.frames[n];
  rec.position = position;
  std::memcpy(rec.rotation, rotation, sizeof rec.rotation);
}

void PrepareRecordings() {
  for (int i = 1; i < kMaxRecordings; ++i) recordings[i] = Recording{};
  Recording& live = recordings[0];
  if (!live.frames) live.frames.reset(new (std::nothrow) FrameRecord[kLiveFrames]);
  live.frameCount = -kSkippedFrames;
  live.cursor = 0;
  recordingCount = 1;
}

void LoadRecordings() {
  PrepareRecordings();

  long long n = 0;
  const CounterState state = ReadCounter(n);
  if (state == CounterState::kNoFile) return;
  LogWrite("loading %i recordings", static_cast<int>(std::clamp<long long>(n, INT_MIN, INT_MAX)));

  // Files 0 .. n-1, as many as the table holds. Entry i + 1 keeps file i
  // even when that file is missing, so each ghost keeps its colour.
  std::vector<int32_t> numbers(static_cast<size_t>(FlightsLoadedAtStart(state, n)));
  for (size_t i = 0; i < numbers.size(); ++i) numbers[i] = static_cast<int32_t>(i);
  LoadFlights(numbers, kReplayStart, false);
}

bool LoadRecording(const std::string& path, int32_t slot, bool mustExist) {
  Recording& r = recordings[slot];
  if (!ReadRecordingFile(path, r).opened && mustExist) return false;
  LogWrite("%i frames", r.frameCount);
  return true;
}

void LoadFlights(const std::vector<int32_t>& numbers, int32_t firstFrame, bool nameMissing) {
  std::string missing;
  for (const int32_t n : numbers) {
    if (n < 0 || n >= kMaxLoadedFlights) continue;
    if (!LoadRecording(RecordingPath(n), n + 1, nameMissing)) {
      missing += (missing.empty() ? "" : ", ") + std::to_string(n);
      continue;
    }
    recordings[n + 1].cursor = firstFrame;
    recordingCount = std::max(recordingCount, n + 2);
  }
  if (!missing.empty()) {
    std::fprintf(stderr, "vantaloop: no saved flight %s: skipped\n", missing.c_str());
    LogWrite("no saved flight %s: skipped", missing.c_str());
  }
}

void ResetRecordingsForTest() {
  for (Recording& r : recordings) r = Recording{};
  recordingCount = 1;
}

}  // namespace vl
