#include "flight/recordings.h"

#include <algorithm>
#include <bit>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <new>
#include <string>
#include <system_error>

#include "shell/log.h"
#include "os/files.h"

namespace vl {

Recording recordings[kMaxRecordings];
int32_t recordingCount = 1;

namespace {

constexpr const char* kCounterFile = "mem.txt";
constexpr const char* kFolder = "recordings";
// How long a save waits for another copy of the game to finish its own.
constexpr int kLockWaitMs = 5000;
constexpr int32_t kMaxLoaded = kMaxRecordings - 1;

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

void ClearEntry(Recording& r) {
  r.frameCount = 0;
  r.frames.reset();
  r.cursor = 0;
}

std::string PathOf(int32_t number) {
  char path[64];
  RecordingPath(number, path, sizeof path);
  return path;
}

// The number the next flight is saved under: the one after mem.txt's, 0
// without the file, 1 when it holds no number. A value that cannot be
// advanced to a file number (below -1, or at the top of the range) counts
// as no number.
int32_t NextNumber() {
  long long held = 0;
  bool hasNumber = false;
  if (!ReadCounter(held, hasNumber)) return 0;
  if (hasNumber && held >= -1 && held < INT32_MAX) return static_cast<int32_t>(held) + 1;
  return 1;
}

// mem.txt is replaced as a whole, never rewritten in place: a reader sees
// the old number or the new one, and a link in its place is replaced.
bool WriteCounter(int32_t number) {
  std::string temp;
  std::FILE* f = os::CreateTemp(kCounterFile, temp);
  if (!f) return false;
  const bool written = std::fprintf(f, "%i\n", number) > 0;
  if (os::Finish(f) && written && os::MoveOver(temp, kCounterFile)) return true;
  os::RemoveFile(temp);
  return false;
}

// Writes the live flight into a new temporary file beside `target`, all of
// it on disk before this returns true; `temp` is its name. On failure
// nothing is left behind.
bool WriteLiveFlight(const std::string& target, std::string& temp) {
  const Recording& live = recordings[0];
  const int32_t count = std::max<int32_t>(live.frameCount, 0);
  if (count > 0 && !live.frames) return false;

  std::FILE* f = os::CreateTemp(target, temp);
  if (!f) return false;
  unsigned char head[kCountBytes];
  PutU32(head, static_cast<uint32_t>(count));
  bool written = std::fwrite(head, 1, kCountBytes, f) == kCountBytes;
  for (int32_t done = 0; written && done < count;) {
    const size_t n = std::min<size_t>(kBlockRecords, static_cast<size_t>(count - done));
    for (size_t i = 0; i < n; ++i) EncodeFrameRecord(live.frames[done + i], block + i * kRecordBytes);
    written = std::fwrite(block, kRecordBytes, n, f) == n;
    done += static_cast<int32_t>(n);
  }
  if (os::Finish(f) && written) return true;
  os::RemoveFile(temp);
  return false;
}

// A file holding a whole flight long enough to have been saved: its count
// matches its size. Such a file is never deleted.
bool HoldsWholeFlight(const std::string& path) {
  std::FILE* f = os::OpenForReading(path);
  if (!f) return false;
  unsigned char head[kCountBytes];
  const bool counted = std::fread(head, 1, kCountBytes, f) == kCountBytes;
  const long long left = counted ? os::BytesLeft(f) : -1;
  std::fclose(f);
  const long long count = counted ? static_cast<int32_t>(GetU32(head)) : 0;
  return count > kMinSavedFrames && left == count * static_cast<long long>(kRecordBytes);
}

// Removes the temporary files that saves cut off by a crash or a kill left
// behind. Only while the save lock is held: a copy of the game that is
// saving holds it, even from another machine sharing the folder. A flight
// that was written whole but never named stays for the player to rename.
void RemoveLeftovers() {
  for (const char* prefix : {"mem.txt.", "log.txt."}) {
    for (const std::string& temp : os::LeftoverTemps(".", prefix)) os::RemoveFile(temp);
  }
  for (const std::string& temp : os::LeftoverTemps(kFolder, "rec")) {
    if (!HoldsWholeFlight(temp)) os::RemoveFile(temp);
  }
}

// Says on stderr and in the log that something went wrong at the end of a
// flight. The main loop has switched logging off by now; it is switched back
// on for this, as the shutdown does right after.
void ReportSave(const std::string& text) {
  std::fprintf(stderr, "vantaloop: %s\n", text.c_str());
  LogResume();
  LogWrite("%s", text.c_str());
}

std::string AbsolutePath(const char* relative) {
  std::error_code ec;
  std::filesystem::path path = std::filesystem::absolute(relative, ec).lexically_normal();
  if (ec) return relative;
  if (!path.has_filename()) path = path.parent_path();  // "/data/." is "/data"
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

// Whether a new file can be made beside `target` and put on disk.
bool TakesNewFiles(const std::string& target) {
  std::string temp;
  std::FILE* f = os::CreateTemp(target, temp);
  if (!f) return false;
  const bool ok = os::Finish(f);
  os::RemoveFile(temp);
  return ok;
}

}  // namespace

bool ReadCounter(long long& number, bool& hasNumber) {
  hasNumber = false;
  std::FILE* f = os::OpenForReading(kCounterFile);
  if (!f) return false;
  char text[64];
  const size_t size = std::fread(text, 1, sizeof text - 1, f);
  std::fclose(f);
  text[size] = '\0';
  char* end = text;
  const long long value = std::strtoll(text, &end, 10);
  if (end != text) {
    number = value;
    hasNumber = true;
  }
  return true;
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

void RecordingPath(int32_t number, char* out, size_t size) {
  std::snprintf(out, size, "recordings/rec%04i.bin", number);
}

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

SavedFlight SaveRecording(int32_t first) {
  SavedFlight saved;
  saved.number = first;
  if (!WriteLiveFlight(PathOf(first), saved.temp)) return saved;
  saved.written = true;
  // mem.txt may be behind the files on disk (a restored backup, another
  // copy of the game saving into the same folder, a save cut off before
  // mem.txt moved on): an existing file is never replaced, the flight takes
  // the next number that is free.
  os::Claim claim = os::ClaimName(saved.temp, PathOf(saved.number));
  while (claim == os::Claim::kTaken && saved.number < INT32_MAX) {
    ++saved.number;
    claim = os::ClaimName(saved.temp, PathOf(saved.number));
  }
  saved.named = claim == os::Claim::kDone;
  return saved;
}

void EndOfFlightSave() {
  const Recording& live = recordings[0];
  if (live.frameCount <= kMinSavedFrames) return;

  // The recordings folder is made when it is missing; if something else
  // stands in its way, the save below fails and says so.
  os::MakeFolder(kFolder);
  // Choosing the number, naming the file and moving mem.txt on are one step
  // that two copies of the game never interleave, so mem.txt only moves up.
  const os::SaveLock lock(kFolder, kLockWaitMs);
  if (lock.Held()) RemoveLeftovers();

  const int32_t first = NextNumber();
  const SavedFlight saved = SaveRecording(first);
  const std::string frames = std::to_string(live.frameCount);
  const std::string path = PathOf(saved.number);
  if (!saved.written) {
    ReportSave("could not save the flight of " + frames + " frames as " + path);
    return;
  }
  if (!saved.named) {
    // The flight is on disk all the same: the player can give it its name.
    ReportSave("could not save the flight of " + frames + " frames as " + path + ": it is kept as " + saved.temp);
    return;
  }
  if (saved.number != first) ReportSave(PathOf(first) + " is taken: the flight is saved as " + path);
  // Only a complete file is ever counted.
  if (!WriteCounter(saved.number)) ReportSave("saved " + path + " but could not update " + kCounterFile);
}

std::string CheckFlightsCanBeKept() {
  const char* folder = nullptr;
  if (!TakesNewFiles(kCounterFile)) {
    folder = ".";
  } else if (!os::MakeFolder(kFolder) || !TakesNewFiles(PathOf(0))) {
    folder = kFolder;
  }
  if (folder) {
    return "No new file can be made in " + AbsolutePath(folder) +
           ". You can fly, but no flight will be kept. Start the game with --data and a folder you may write to.";
  }
  const os::SaveLock lock(kFolder, 0);
  if (lock.Held()) RemoveLeftovers();
  return {};
}

void PrepareRecordings() {
  for (int i = 1; i < kMaxRecordings; ++i) ClearEntry(recordings[i]);
  Recording& live = recordings[0];
  if (!live.frames) live.frames.reset(new (std::nothrow) FrameRecord[kLiveFrames]);
  live.frameCount = -kSkippedFrames;
  live.cursor = 0;
  recordingCount = 1;
}

void LoadRecordings() {
  PrepareRecordings();

  long long n = 0;
  bool hasNumber = false;
  if (!ReadCounter(n, hasNumber)) return;
  if (!hasNumber) n = 0;
  LogWrite("loading %i recordings", static_cast<int>(std::clamp<long long>(n, INT_MIN, INT_MAX)));

  // Files 0 .. n-1, as many as the table holds. Entry i + 1 keeps file i
  // even when that file is missing, so each ghost keeps its colour.
  const int32_t count = static_cast<int32_t>(std::clamp<long long>(n, 0, kMaxLoaded));
  char path[64];
  for (int32_t i = 0; i < count; ++i) {
    RecordingPath(i, path, sizeof path);
    LoadRecording(path);
    recordings[recordingCount - 1].cursor = kReplayStart;
  }
}

void LoadRecording(const char* path) {
  if (recordingCount >= kMaxRecordings) return;
  const int32_t slot = recordingCount;
  recordingCount = slot + 1;
  Recording& r = recordings[slot];
  ReadRecordingFile(path, r);
  LogWrite("%i frames", r.frameCount);
}

RecordingFileInfo ReadRecordingFile(const char* path, Recording& r) {
  ClearEntry(r);
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

void ResetRecordingsForTest() {
  for (Recording& r : recordings) ClearEntry(r);
  recordingCount = 1;
}

}  // namespace vl
