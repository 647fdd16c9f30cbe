#include "flight/recording_file.h"

#include <algorithm>
#include <bit>
#include <cctype>
#include <cstring>
#include <new>

#include "os/files.h"

namespace vl {

namespace {

// Records are moved between the file and memory in blocks of this many, so
// that a full flight costs a few dozen stream calls rather than ten thousand.
constexpr size_t kBlockRecords = 1024;
unsigned char block[kBlockRecords * kRecordBytes];

void PutU32(unsigned char* out, uint32_t v) {
  out[0] = static_cast<unsigned char>(v);
  out[1] = static_cast<unsigned char>(v >> 8);
  out[2] = static_cast<unsigned char>(v >> 16);
  out[3] = static_cast<unsigned char>(v >> 24);
}

uint32_t GetU32(const unsigned char* in) {
  return static_cast<uint32_t>(in[0]) | static_cast<uint32_t>(in[1]) << 8 |
         static_cast<uint32_t>(in[2]) << 16 | static_cast<uint32_t>(in[3]) << 24;
}

void PutFloat(unsigned char* out, float f) {
  uint32_t bits;
  std::memcpy(&bits, &f, 4);
  PutU32(out, bits);
}

float GetFloat(const unsigned char* in) {
  const uint32_t bits = GetU32(in);
  float f;
  std::memcpy(&f, &bits, 4);
  return f;
}

}  // namespace

std::string RecordingPath(int32_t number) {
  char path[64];
  std::snprintf(path, sizeof path, "recordings/rec%04i.bin", number);
  return path;
}

int32_t RecordingNumberOfFileName(const std::string& name) {
  if (name.size() < 8 || name.compare(0, 3, "rec") != 0 || name.compare(name.size() - 4, 4, ".bin") != 0)
    return -1;
  int32_t number = 0;
  const std::string digits = name.substr(3, name.size() - 7);
  for (char ch : digits) {
    if (ch < '0' || ch > '9' || number > (INT32_MAX - 9) / 10) return -1;
    number = number * 10 + (ch - '0');
  }
  return "recordings/" + name == RecordingPath(number) ? number : -1;
}

int32_t RecordingNumberFound(const std::string& listed) {
  const int32_t exact = RecordingNumberOfFileName(listed);
  if (exact >= 0) return exact;
  std::string lower = listed;
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  const int32_t number = RecordingNumberOfFileName(lower);
  return number >= 0 && os::KindOf(RecordingPath(number)) != os::FileKind::kMissing ? number : -1;
}

void EncodeFrameRecord(const FrameRecord& record, unsigned char out[kRecordBytes]) {
  PutFloat(out + 0, record.position.x);
  PutFloat(out + 4, record.position.y);
  PutFloat(out + 8, record.position.z);
  for (int i = 0; i < 16; ++i) PutFloat(out + 12 + 4 * i, record.rotation[i]);
}

FrameRecord DecodeFrameRecord(const unsigned char in[kRecordBytes]) {
  FrameRecord r;
  r.position = Vec3(GetFloat(in + 0), GetFloat(in + 4), GetFloat(in + 8));
  for (int i = 0; i < 16; ++i) r.rotation[i] = GetFloat(in + 12 + 4 * i);
  return r;
}

RecordingFileInfo ReadRecordingFile(const std::string& path, Recording& r) {
  r = Recording{};
  RecordingFileInfo info;
  if (std::FILE* f = os::OpenForReading(path)) {
    info.opened = true;
    unsigned char head[kCountBytes];
    if (std::fread(head, 1, kCountBytes, f) == kCountBytes) {
      const int32_t count = static_cast<int32_t>(GetU32(head));
      info.hasCount = true;
      info.statedCount = count;
      // Never trust the count beyond what the file really holds, nor beyond
      // the longest flight the game records.
      const long long left = os::BytesLeft(f);
      info.recordBytes = std::max(left, 0LL);
      const long long whole = left < 0 ? 0 : left / static_cast<long long>(kRecordBytes);
      const int32_t want = static_cast<int32_t>(std::clamp<long long>(count, 0, std::min<long long>(whole, kLiveFrames)));
      if (want > 0) r.frames.reset(new (std::nothrow) FrameRecord[want]);
      int32_t got = 0;
      // Each block of records is read straight into its place. A record in
      // memory is laid out as in the file, so on a little-endian machine the
      // bytes are already the frames; elsewhere they are decoded in place.
      while (r.frames && got < want) {
        const size_t n = std::min<size_t>(kBlockRecords, static_cast<size_t>(want - got));
        FrameRecord* dst = r.frames.get() + got;
        const size_t read = std::fread(dst, kRecordBytes, n, f);
        if constexpr (std::endian::native != std::endian::little) {
          for (size_t i = 0; i < read; ++i) {
            unsigned char bytes[kRecordBytes];
            std::memcpy(bytes, dst + i, kRecordBytes);
            dst[i] = DecodeFrameRecord(bytes);
          }
        }
        got += static_cast<int32_t>(read);
        if (read < n) break;
      }
      r.frameCount = r.frames ? got : 0;
    }
    std::fclose(f);
  }
  return info;
}

bool WriteRecording(std::FILE* f, const FrameRecord* frames, int32_t count) {
  unsigned char head[kCountBytes];
  PutU32(head, static_cast<uint32_t>(count));
  bool written = std::fwrite(head, 1, kCountBytes, f) == kCountBytes;
  for (int32_t done = 0; written && done < count;) {
    const size_t n = std::min<size_t>(kBlockRecords, static_cast<size_t>(count - done));
    for (size_t i = 0; i < n; ++i) EncodeFrameRecord(frames[done + i], block + i * kRecordBytes);
    written = std::fwrite(block, kRecordBytes, n, f) == n;
    done += static_cast<int32_t>(n);
  }
  return written;
}

int32_t WholeFlightFrames(const std::string& path) {
  std::FILE* f = os::OpenForReading(path);
  if (!f) return 0;
  unsigned char head[kCountBytes];
  const bool counted = std::fread(head, 1, kCountBytes, f) == kCountBytes;
  const long long left = counted ? os::BytesLeft(f) : -1;
  std::fclose(f);
  const long long count = counted ? static_cast<int32_t>(GetU32(head)) : 0;
  const bool whole = count > kMinSavedFrames && left == count * static_cast<long long>(kRecordBytes);
  return whole ? static_cast<int32_t>(count) : 0;
}

}  // namespace vl
