#include "tests/support/flight_files.h"

#include <fstream>

namespace vl::test {

std::vector<FrameRecord> StraightFlight(int32_t count, Vec3 start, Vec3 step) {
  std::vector<FrameRecord> frames(static_cast<size_t>(count));
  for (int32_t f = 0; f < count; ++f) {
    const float t = static_cast<float>(f);
    frames[f].position = {start.x + step.x * t, start.y + step.y * t, start.z + step.z * t};
    for (int i = 0; i < 16; ++i) frames[f].rotation[i] = static_cast<float>(i) + 0.001f * t;
  }
  return frames;
}

void WriteFlightFile(int32_t number, const std::vector<FrameRecord>& frames, int64_t count, int extraBytes) {
  const std::string path = RecordingPath(number);
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  const uint32_t n = static_cast<uint32_t>(count < 0 ? static_cast<int64_t>(frames.size()) : count);
  const unsigned char head[4] = {static_cast<unsigned char>(n), static_cast<unsigned char>(n >> 8),
                                 static_cast<unsigned char>(n >> 16), static_cast<unsigned char>(n >> 24)};
  out.write(reinterpret_cast<const char*>(head), 4);
  unsigned char record[kRecordBytes];
  for (const FrameRecord& r : frames) {
    EncodeFrameRecord(r, record);
    out.write(reinterpret_cast<const char*>(record), kRecordBytes);
  }
  for (int i = 0; i < extraBytes; ++i) out.put('x');
}

}  // namespace vl::test
