#include "flight/recordings.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <bit>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <new>
#include <string>
#include <system_error>

#include "shell/log.h"
#include "shell/plain_file.h"

namespace vl {

Recording recordings[kMaxRecordings];
int32_t recordingCount = 1;

namespace {

constexpr const char* kCounterFile = "mem.txt";
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

// Pushes what was written out of the C library and the operating system's
// caches onto the disk.
bool FlushToDisk(std::FILE* f) {
  if (std::fflush(f) != 0) return false;
  return fsync(fileno(f)) == 0;
}

// Makes a new name inside `dir` durable. Best effort: not every file system
// lets a folder be synced.
void SyncFolder(const std::filesystem::path& dir) {
  const std::string name = dir.empty() ? std::string(".") : dir.string();
  const int fd = ::open(name.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd >= 0) {
    ::fsync(fd);
    ::close(fd);
  }
}

// A file-size limit (ulimit -f) would end the program with SIGXFSZ in the
// middle of a write. While a file is written the signal is ignored, so the
// write fails instead and is reported like a full disk.
class FileSizeSignalIgnored {
 public:
  FileSizeSignalIgnored() : old_(std::signal(SIGXFSZ, SIG_IGN)) {}
  ~FileSizeSignalIgnored() {
    if (old_ != SIG_ERR) std::signal(SIGXFSZ, old_);
  }
  FileSizeSignalIgnored(const FileSizeSignalIgnored&) = delete;
  FileSizeSignalIgnored& operator=(const FileSizeSignalIgnored&) = delete;

 private:
  void (*old_)(int);
};

// Creates a new, empty file beside `target` under a name of its own, for
// writing. It never opens a name that exists already and never follows a
// link, so nothing planted under a temporary name is written into. Such a
// name ends in ".tmp" and is never read back.
std::FILE* CreateTempBeside(const std::string& target, std::string& temp) {
  static uint32_t serial = 0;
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  for (int attempt = 0; attempt < 100; ++attempt) {
    const uint32_t mix = static_cast<uint32_t>(now.tv_nsec) ^ (++serial * 2654435761u);
    char suffix[48];
    std::snprintf(suffix, sizeof suffix, ".%ld.%08x.tmp", static_cast<long>(::getpid()), mix);
    temp = target + suffix;
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd >= 0) {
      std::FILE* f = ::fdopen(fd, "wb");
      if (!f) {
        ::close(fd);
        ::unlink(temp.c_str());
      }
      return f;
    }
    if (errno != EEXIST) return nullptr;
  }
  return nullptr;
}

// Finishes a temporary file: everything on disk and the file closed. On
// failure the temporary file is gone.
bool FinishTemp(std::FILE* f, bool written, const std::string& temp) {
  bool ok = written && FlushToDisk(f);
  if (std::fclose(f) != 0) ok = false;
  if (!ok) ::unlink(temp.c_str());
  return ok;
}

// Moves a finished temporary file over `target` in one step, so a reader
// sees either the old file or the complete new one. On failure the
// temporary file is removed and `target` is left as it was. A `target` that
// is a link is replaced by the file, not written through.
bool ReplaceWith(const std::string& temp, const std::string& target) {
  if (std::rename(temp.c_str(), target.c_str()) != 0) {
    ::unlink(temp.c_str());
    return false;
  }
  SyncFolder(std::filesystem::path(target).parent_path());
  return true;
}

enum class Claim { kDone, kTaken, kFailed };

// Gives a finished temporary file the name `target` only if nothing has
// that name yet, in one step: another copy of the game saving at the same
// moment can never take the same name, and an existing file is never
// replaced. The temporary name is left as it is.
Claim ClaimName(const std::string& temp, const std::string& target) {
  if (::link(temp.c_str(), target.c_str()) == 0) return Claim::kDone;
  if (errno == EEXIST) return Claim::kTaken;
  // Some file systems have no hard links; a rename that refuses to replace
  // does the same job there (it moves the temporary file away).
#if defined(RENAME_NOREPLACE)
  if (::renameat2(AT_FDCWD, temp.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) == 0) return Claim::kDone;
  return errno == EEXIST ? Claim::kTaken : Claim::kFailed;
#else
  return Claim::kFailed;
#endif
}

// The number held by mem.txt. Returns false when there is no such file (or
// it is not a plain file); `number` is set only when the file starts with a
// number. Read as a wide integer so that an out-of-range value is seen as
// such.
bool ReadCounter(long long& number, bool& hasNumber) {
  hasNumber = false;
  std::FILE* f = OpenPlainFileForReading(kCounterFile);
  if (!f) return false;
  long long value = 0;
  if (std::fscanf(f, "%lli\n", &value) == 1) {
    number = value;
    hasNumber = true;
  }
  std::fclose(f);
  return true;
}

bool WriteCounter(int32_t number) {
  std::string temp;
  std::FILE* f = CreateTempBeside(kCounterFile, temp);
  if (!f) return false;
  const bool written = std::fprintf(f, "%i\n", number) > 0;
  return FinishTemp(f, written, temp) && ReplaceWith(temp, kCounterFile);
}

// Writes the live flight into a new temporary file beside `target`, all of
// it on disk before this returns true; `temp` is its name.
bool WriteLiveFlight(const std::string& target, std::string& temp) {
  const Recording& live = recordings[0];
  const int32_t count = std::max<int32_t>(live.frameCount, 0);
  if (count > 0 && !live.frames) return false;

  // The recordings folder is made when it is missing; if something else
  // stands in its way, creating the file below fails.
  const std::filesystem::path folder = std::filesystem::path(target).parent_path();
  std::error_code ec;
  if (!folder.empty() && !std::filesystem::is_directory(folder, ec)) {
    std::filesystem::create_directories(folder, ec);
  }

  std::FILE* f = CreateTempBeside(target, temp);
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
  return FinishTemp(f, written, temp);
}

// Says on stderr and in the log that something went wrong at the end of a
// flight. The main loop has switched logging off by now; it is switched back
// on for this, as the shutdown does right after.
void ReportSaveFailure(const char* text) {
  std::fprintf(stderr, "vantaloop: %s\n", text);
  LogResume();
  LogWrite("%s", text);
}

// Bytes in the file from the current position to its end, or -1.
long long BytesLeft(std::FILE* f) {
  const long here = std::ftell(f);
  if (here < 0 || std::fseek(f, 0, SEEK_END) != 0) return -1;
  const long end = std::ftell(f);
  if (std::fseek(f, here, SEEK_SET) != 0 || end < here) return -1;
  return static_cast<long long>(end) - here;
}

void ClearEntry(Recording& r) {
  r.frameCount = 0;
  r.frames.reset();
  r.cursor = 0;
}

}  // namespace

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

bool SaveRecording(const char* path) {
  FileSizeSignalIgnored noSignal;
  const std::string target = path;
  std::string temp;
  if (!WriteLiveFlight(target, temp)) return false;
  const Claim claim = ClaimName(temp, target);
  ::unlink(temp.c_str());
  if (claim != Claim::kDone) return false;
  SyncFolder(std::filesystem::path(target).parent_path());
  return true;
}

void EndOfFlightSave() {
  const Recording& live = recordings[0];
  if (live.frameCount <= kMinSavedFrames) return;
  FileSizeSignalIgnored noSignal;

  // The next number after the one in mem.txt; 0 without the file, 1 when
  // it holds no number. A value that cannot be advanced to a file number
  // (below -1, or at the top of the range) counts as no number.
  int32_t k = 0;
  long long held = 0;
  bool hasNumber = false;
  if (ReadCounter(held, hasNumber)) {
    if (hasNumber && held >= -1 && held < INT32_MAX) k = static_cast<int32_t>(held);
    k += 1;
  }

  char path[64];
  RecordingPath(k, path, sizeof path);
  char text[200];
  std::string temp;
  if (!WriteLiveFlight(path, temp)) {
    std::snprintf(text, sizeof text, "could not save the flight of %i frames as %s", live.frameCount, path);
    ReportSaveFailure(text);
    return;
  }
  // mem.txt may be behind the files on disk (a restored backup, another
  // copy of the game saving into the same folder, a save cut off before
  // mem.txt moved on): an existing file is never replaced, the flight takes
  // the next number that is free.
  int32_t n = k;
  Claim claim = ClaimName(temp, path);
  while (claim == Claim::kTaken && n < INT32_MAX) {
    ++n;
    RecordingPath(n, path, sizeof path);
    claim = ClaimName(temp, path);
  }
  ::unlink(temp.c_str());
  if (claim != Claim::kDone) {
    std::snprintf(text, sizeof text, "could not save the flight of %i frames as %s", live.frameCount, path);
    ReportSaveFailure(text);
    return;
  }
  SyncFolder(std::filesystem::path(path).parent_path());
  if (n != k) {
    char first[64];
    RecordingPath(k, first, sizeof first);
    std::snprintf(text, sizeof text, "%s is taken: the flight is saved as %s", first, path);
    std::fprintf(stderr, "vantaloop: %s\n", text);
    LogResume();
    LogWrite("%s", text);
  }
  // Only a complete file is ever counted.
  if (!WriteCounter(n)) {
    std::snprintf(text, sizeof text, "saved %s but could not update %s", path, kCounterFile);
    ReportSaveFailure(text);
  }
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
  if (std::FILE* f = OpenPlainFileForReading(path)) {
    info.opened = true;
    unsigned char head[kCountBytes];
    if (std::fread(head, 1, kCountBytes, f) == kCountBytes) {
      const int32_t count = static_cast<int32_t>(GetU32(head));
      info.hasCount = true;
      info.statedCount = count;
      // Never trust the count beyond what the file really holds, nor beyond
      // the longest flight the game records.
      const long long left = BytesLeft(f);
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
