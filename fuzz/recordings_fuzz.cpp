// libFuzzer target: the start-up loading of saved flights, mem.txt and the
// recording files it names, from whatever bytes those files hold.
//
// An input is one byte n, then n bytes of mem.txt, then the bytes of
// recordings/rec0000.bin; the second half of those last bytes is also
// recordings/rec0001.bin. Whatever they hold, every loaded entry must
// have at most the longest flight and all of its frames in memory, and the
// flight list and the map of the flights must be made from them.
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "flight/flight_list.h"
#include "flight/recordings.h"
#include "render/flight_map.h"

namespace {

void WriteFile(const char* name, const uint8_t* data, size_t size) {
  std::FILE* f = std::fopen(name, "wb");
  if (!f) std::abort();
  if (size > 0 && std::fwrite(data, 1, size, f) != size) std::abort();
  std::fclose(f);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // The game reads relative to its working folder: one of its own, in
  // memory where the machine has a tmpfs.
  char folder[] = "/dev/shm/vantaloop-fuzz-XXXXXX";
  char fallback[] = "/tmp/vantaloop-fuzz-XXXXXX";
  const char* dir = mkdtemp(folder);
  if (!dir) dir = mkdtemp(fallback);
  if (!dir || chdir(dir) != 0 || mkdir("recordings", 0755) != 0) std::abort();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const size_t memBytes = std::min<size_t>(data[0], size - 1);
  const uint8_t* rest = data + 1 + memBytes;
  const size_t restBytes = size - 1 - memBytes;
  WriteFile("mem.txt", data + 1, memBytes);
  WriteFile("recordings/rec0000.bin", rest, restBytes);
  WriteFile("recordings/rec0001.bin", rest + restBytes / 2, restBytes - restBytes / 2);

  vl::LoadRecordings();
  if (vl::recordingCount < 1 || vl::recordingCount > vl::kMaxRecordings) std::abort();
  if (vl::recordings[0].frameCount != -vl::kSkippedFrames || !vl::recordings[0].frames) std::abort();
  for (int i = 1; i < vl::recordingCount; ++i) {
    const vl::Recording& r = vl::recordings[i];
    if (r.frameCount < 0 || r.frameCount > vl::kLiveFrames) std::abort();
    if (r.frameCount > 0) {
      // Every frame counted is there (AddressSanitizer checks the reads).
      volatile float sum = 0;
      sum = sum + r.frames[0].position.x + r.frames[r.frameCount - 1].rotation[15];
    }
  }
  std::vector<vl::FlightTrack> tracks;
  const auto track = [&](const vl::FlightSummary& f, const vl::Recording& r) {
    if (r.frameCount > 0) tracks.push_back(vl::TrackOf(f, r));
  };
  const vl::SavedFlights flights = vl::ReadSavedFlights(track);
  if (vl::FlightTable(flights).empty() || vl::FlightJson(flights).empty() || vl::FlightMapSvg(tracks).empty())
    std::abort();
  // The next LoadRecordings empties the loaded entries and keeps the live
  // flight's buffer, as a start-up would.
  return 0;
}
