#include "flight/flight_save.h"
#include "flight/recordings.h"

#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/inotify.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#endif
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "input/input_state.h"
#include "os/files.h"
#include "shell/log.h"
#include "shell/main_loop.h"
#include "tests/support/fakes.h"
#include "tests/support/file_size_limit.h"

namespace vl {
namespace {

namespace fs = std::filesystem;
using test::GameHarness;
using Bytes = std::vector<unsigned char>;

// The pose the camera has on run frame t: every field differs from frame to
// frame and from field to field, so a shifted or swapped field shows.
FrameRecord PoseOfRunFrame(int t) {
  FrameRecord r;
  r.position = Vec3(static_cast<float>(t) + 0.25f, -static_cast<float>(t) * 0.5f, 1000.0f + static_cast<float>(t));
  for (int i = 0; i < 16; ++i) r.rotation[i] = static_cast<float>(t) * 0.001f + static_cast<float>(i) * 3.0f;
  return r;
}

// Runs `frames` frames of flight from start-up on, as GameFrame records them.
void Fly(int frames) {
  for (int t = 0; t < frames; ++t) {
    const FrameRecord pose = PoseOfRunFrame(t);
    RecordFrame(pose.position, pose.rotation);
  }
}

// A freshly started live flight that has flown `frames` frames.
void StartAndFly(int frames) {
  LoadRecordings();
  Fly(frames);
}

bool SameBits(const FrameRecord& a, const FrameRecord& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

Bytes ReadBytes(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), {});
}

void WriteBytes(const fs::path& p, const Bytes& b) {
  std::ofstream out(p, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
}

void WriteText(const fs::path& p, const std::string& text) {
  std::ofstream out(p, std::ios::trunc);
  out << text;
}

std::string ReadText(const fs::path& p) {
  std::ifstream in(p);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// Little-endian by hand, independent of the game's own encoder.
void AppendU32(Bytes& b, uint32_t v) {
  for (int i = 0; i < 4; ++i) b.push_back(static_cast<unsigned char>((v >> (8 * i)) & 0xFF));
}
void AppendFloat(Bytes& b, float f) {
  uint32_t v;
  std::memcpy(&v, &f, 4);
  AppendU32(b, v);
}
uint32_t U32At(const Bytes& b, size_t at) {
  return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 | uint32_t(b[at + 3]) << 24;
}
float FloatAt(const Bytes& b, size_t at) {
  const uint32_t v = U32At(b, at);
  float f;
  std::memcpy(&f, &v, 4);
  return f;
}

// A recording file as its bytes: the count, then the records field by field.
Bytes FileBytes(int32_t count, const std::vector<FrameRecord>& frames) {
  Bytes b;
  AppendU32(b, static_cast<uint32_t>(count));
  for (const FrameRecord& r : frames) {
    AppendFloat(b, r.position.x);
    AppendFloat(b, r.position.y);
    AppendFloat(b, r.position.z);
    for (float f : r.rotation) AppendFloat(b, f);
  }
  return b;
}

std::vector<FrameRecord> Poses(int first, int count) {
  std::vector<FrameRecord> v;
  for (int i = 0; i < count; ++i) v.push_back(PoseOfRunFrame(first + i));
  return v;
}

std::string RecPath(int n) { return RecordingPath(n); }

// The temporary files in the data folder and the recordings folder.
std::vector<std::string> TempFiles() {
  std::vector<std::string> found;
  for (const char* folder : {".", "recordings"}) {
    for (const auto& e : fs::directory_iterator(folder)) {
      if (e.path().extension() == ".tmp") found.push_back(e.path().lexically_normal().generic_string());
    }
  }
  std::sort(found.begin(), found.end());
  return found;
}

// Logging as it stands when the main loop has ended: started, then quiet.
void StartQuietLog() {
  LogStart("log.txt");
  LogSuspend();
}

TEST(RecordFrame, SkipsTheFirstSixtyFramesAndStopsAtTheCap) {
  GameHarness h;
  LoadRecordings();
  EXPECT_EQ(recordings[0].frameCount, -60);
  EXPECT_EQ(recordingCount, 1);
  Fly(60);
  EXPECT_EQ(recordings[0].frameCount, 0);
  const FrameRecord next = PoseOfRunFrame(60);
  RecordFrame(next.position, next.rotation);
  EXPECT_EQ(recordings[0].frameCount, 1);
  EXPECT_TRUE(SameBits(recordings[0].frames[0], next));

  for (int t = 61; t < 60 + kLiveFrames + 500; ++t) {
    const FrameRecord pose = PoseOfRunFrame(t);
    RecordFrame(pose.position, pose.rotation);
  }
  EXPECT_EQ(recordings[0].frameCount, 10800);
  EXPECT_TRUE(SameBits(recordings[0].frames[10799], PoseOfRunFrame(10859)));
}

TEST(SaveRecording, FileHoldsTheCountAndTheRecordsLittleEndian) {
  GameHarness h;
  StartAndFly(60 + 601);
  EndOfFlightSave();
  const Bytes b = ReadBytes("recordings/rec0000.bin");
  ASSERT_EQ(b.size(), 45680u);
  EXPECT_EQ(ReadText("mem.txt"), "0\n");
  EXPECT_EQ(U32At(b, 0), 601u);
  // Decoded by hand: record i is run frame i + 60, fields in table order.
  for (int i : {0, 1, 300, 600}) {
    SCOPED_TRACE(i);
    const FrameRecord want = PoseOfRunFrame(i + 60);
    const size_t at = 4 + 76 * static_cast<size_t>(i);
    EXPECT_EQ(FloatAt(b, at + 0), want.position.x);
    EXPECT_EQ(FloatAt(b, at + 4), want.position.y);
    EXPECT_EQ(FloatAt(b, at + 8), want.position.z);
    for (int k = 0; k < 16; ++k) EXPECT_EQ(FloatAt(b, at + 12 + 4 * k), want.rotation[k]) << k;
  }
  EXPECT_EQ(TempFiles(), std::vector<std::string>{});
}

TEST(SaveRecording, LongFlightKeepsItsFirst10800Frames) {
  GameHarness h;
  StartAndFly(60 + kLiveFrames + 1000);
  EndOfFlightSave();
  const Bytes b = ReadBytes("recordings/rec0000.bin");
  ASSERT_EQ(b.size(), 820804u);
  EXPECT_EQ(U32At(b, 0), 10800u);
  EXPECT_EQ(FloatAt(b, 4), PoseOfRunFrame(60).position.x);
  EXPECT_EQ(FloatAt(b, 4 + 76 * 10799), PoseOfRunFrame(10859).position.x);
}

TEST(SaveRecording, SixHundredFramesOrFewerSaveNothing) {
  for (const char* mem : {"", "3\n"}) {
    SCOPED_TRACE(mem);
    GameHarness h;
    if (*mem) WriteText("mem.txt", mem);
    StartAndFly(60 + 600);
    EndOfFlightSave();
    EXPECT_TRUE(fs::is_empty("recordings"));
    EXPECT_EQ(fs::exists("mem.txt"), *mem != '\0');
    if (*mem) {
      EXPECT_EQ(ReadText("mem.txt"), mem);
    }
  }
}

TEST(SaveRecording, NumbersFollowTheCounterFile) {
  struct Case {
    const char* mem;  // nullptr: no mem.txt
    const char* file;
    const char* memAfter;
  } cases[] = {
      {nullptr, "recordings/rec0000.bin", "0\n"},
      {"7\n", "recordings/rec0008.bin", "8\n"},
      {"abc\n", "recordings/rec0001.bin", "1\n"},
      {"", "recordings/rec0001.bin", "1\n"},
      {"12344\n", "recordings/rec12345.bin", "12345\n"},
      // A value that cannot lead to a file number counts as no number.
      {"-5\n", "recordings/rec0001.bin", "1\n"},
      {"2147483647\n", "recordings/rec0001.bin", "1\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mem ? c.mem : "(none)");
    GameHarness h;
    if (c.mem) WriteText("mem.txt", c.mem);
    StartAndFly(60 + 700);
    EndOfFlightSave();
    EXPECT_EQ(fs::file_size(c.file), 4u + 76u * 700u);
    EXPECT_EQ(ReadText("mem.txt"), c.memAfter);
    EXPECT_EQ(std::distance(fs::directory_iterator("recordings"), {}), 1);
  }
}

TEST(LoadRecordings, CounterOfSevenSavesEightAndTheNextStartLoadsEight) {
  GameHarness h;
  for (int i = 0; i < 8; ++i) WriteBytes(RecPath(i), FileBytes(61 + i, Poses(i * 100, 61 + i)));
  WriteText("mem.txt", "7\n");
  StartAndFly(60 + 650);
  EndOfFlightSave();
  EXPECT_EQ(ReadText("mem.txt"), "8\n");
  ASSERT_TRUE(fs::exists("recordings/rec0008.bin"));

  // The next start: files 0 to 7 go into entries 1 to 8; the newest waits.
  LogStart("log.txt");
  LoadRecordings();
  std::vector<std::string> want = {"loading 8 recordings"};
  for (int i = 0; i < 8; ++i) want.push_back(std::to_string(61 + i) + " frames");
  EXPECT_EQ(h.ReadLines("log.txt"), want);
  ASSERT_EQ(recordingCount, 9);
  for (int i = 1; i <= 8; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(recordings[i].frameCount, 60 + i);
    EXPECT_EQ(recordings[i].cursor, 60);
    EXPECT_TRUE(SameBits(recordings[i].frames[0], PoseOfRunFrame((i - 1) * 100)));
    EXPECT_TRUE(SameBits(recordings[i].frames[59 + i], PoseOfRunFrame((i - 1) * 100 + 59 + i)));
  }
  // The live flight starts afresh.
  EXPECT_EQ(recordings[0].frameCount, -60);
}

TEST(LoadRecordings, HandWrittenFileLoadsBitForBit) {
  GameHarness h;
  FrameRecord odd;
  odd.position = Vec3(-0.0f, 1e-42f, 3.4e38f);  // negative zero, a denormal, near the top
  for (int i = 0; i < 16; ++i) odd.rotation[i] = (i % 2 ? -1.0f : 1.0f) / static_cast<float>(i + 3);
  std::vector<FrameRecord> frames = {PoseOfRunFrame(5), odd, PoseOfRunFrame(-7)};
  WriteBytes(RecPath(0), FileBytes(3, frames));
  WriteText("mem.txt", "1\n");
  LoadRecordings();
  ASSERT_EQ(recordingCount, 2);
  ASSERT_EQ(recordings[1].frameCount, 3);
  for (int i = 0; i < 3; ++i) EXPECT_TRUE(SameBits(recordings[1].frames[i], frames[i])) << i;
}

TEST(LoadRecordings, SavedFlightComesBackUnchanged) {
  GameHarness h;
  StartAndFly(60 + 800);
  EndOfFlightSave();
  EndOfFlightSave();  // a second save of the same flight: files 0 and 1
  EXPECT_EQ(ReadText("mem.txt"), "1\n");
  LoadRecordings();
  ASSERT_EQ(recordingCount, 2);
  ASSERT_EQ(recordings[1].frameCount, 800);
  for (int i = 0; i < 800; ++i) ASSERT_TRUE(SameBits(recordings[1].frames[i], PoseOfRunFrame(i + 60))) << i;
}

TEST(LoadRecordings, NoCounterFileLoadsNothingAndLogsNothing) {
  GameHarness h;
  WriteBytes(RecPath(0), FileBytes(100, Poses(0, 100)));
  LogStart("log.txt");
  LoadRecordings();
  EXPECT_EQ(recordingCount, 1);
  EXPECT_TRUE(h.ReadLines("log.txt").empty());
}

TEST(LoadRecordings, DamagedFilesNeverCrashAndKeepWhatTheyHold) {
  GameHarness h;
  // File 0 is fine; file 1 is missing; file 2 claims 100 frames but holds 70
  // and a half; file 3 has a negative count; file 4 claims two billion
  // frames and holds two; file 5 is cut inside its count; file 6 is empty;
  // file 7 claims and holds more frames than any flight has: only the first
  // 10800 are kept.
  WriteBytes(RecPath(0), FileBytes(80, Poses(0, 80)));
  Bytes shortFile = FileBytes(100, Poses(200, 70));
  const Bytes extra = FileBytes(0, Poses(270, 1));
  shortFile.insert(shortFile.end(), extra.begin() + 4, extra.begin() + 4 + 38);
  WriteBytes(RecPath(2), shortFile);
  WriteBytes(RecPath(3), FileBytes(-5, Poses(300, 3)));
  WriteBytes(RecPath(4), FileBytes(0x7FFFFFFF, Poses(400, 2)));
  WriteBytes(RecPath(5), Bytes{0x10, 0x00});
  WriteBytes(RecPath(6), Bytes{});
  WriteBytes(RecPath(7), FileBytes(kLiveFrames + 100, Poses(700, kLiveFrames + 100)));
  WriteText("mem.txt", "8\n");

  LogStart("log.txt");
  LoadRecordings();
  EXPECT_EQ(h.ReadLines("log.txt"),
            std::vector<std::string>({"loading 8 recordings", "80 frames", "0 frames", "70 frames", "0 frames",
                                      "2 frames", "0 frames", "0 frames", "10800 frames"}));
  ASSERT_EQ(recordingCount, 9);  // every file keeps its entry, and so its colour
  const int counts[] = {80, 0, 70, 0, 2, 0, 0, 10800};
  for (int i = 0; i < 8; ++i) {
    EXPECT_EQ(recordings[i + 1].frameCount, counts[i]) << i;
    EXPECT_EQ(recordings[i + 1].cursor, 60) << i;
  }
  EXPECT_TRUE(SameBits(recordings[3].frames[69], PoseOfRunFrame(269)));
  EXPECT_TRUE(SameBits(recordings[5].frames[1], PoseOfRunFrame(401)));
  EXPECT_TRUE(SameBits(recordings[8].frames[10799], PoseOfRunFrame(700 + 10799)));
}

#ifndef _WIN32
// Ends the test program when a call hangs, instead of hanging the suite.
class Watchdog {
 public:
  explicit Watchdog(unsigned seconds) { alarm(seconds); }
  ~Watchdog() { alarm(0); }
};
#endif

TEST(LoadRecordings, OnlyPlainFilesAreReadAndAFifoNeverHangsStartUp) {
#ifdef _WIN32
  GTEST_SKIP() << "FIFOs and inotify are POSIX's";
#elif defined(__EMSCRIPTEN__)
  GTEST_SKIP() << "WebAssembly under node has no FIFOs or inotify";
#else
  // A FIFO with no writer blocks whoever opens it for reading.
  {
    GameHarness h;
    ASSERT_EQ(mkfifo("fifo", 0644), 0);
    fs::create_symlink("fifo", "mem.txt");
    WriteBytes(RecPath(0), FileBytes(90, Poses(0, 90)));
    LogStart("log.txt");
    // What is not a plain file is not even opened: opening a device runs
    // its driver.
    const int opens = inotify_init1(IN_NONBLOCK);
    ASSERT_GE(inotify_add_watch(opens, "fifo", IN_OPEN), 0);
    Watchdog dog(10);
    LoadRecordings();
    EXPECT_EQ(recordingCount, 1);  // counts as no mem.txt: nothing loaded, nothing logged
    EXPECT_TRUE(h.ReadLines("log.txt").empty());
    char event[256];
    EXPECT_LT(read(opens, event, sizeof event), 0) << "the FIFO was opened";
    close(opens);
  }
  {
    GameHarness h;
    WriteText("mem.txt", "3\n");
    ASSERT_EQ(mkfifo(RecPath(0).c_str(), 0644), 0);
    fs::create_directory(RecPath(1));
    WriteBytes(RecPath(2), FileBytes(90, Poses(0, 90)));
    LogStart("log.txt");
    Watchdog dog(10);
    LoadRecordings();
    EXPECT_EQ(h.ReadLines("log.txt"),
              std::vector<std::string>({"loading 3 recordings", "0 frames", "0 frames", "90 frames"}));
  }
#endif
}

TEST(LoadRecordings, CounterValuesOutOfRange) {
  struct Case {
    const char* mem;
    const char* logLine;
    int entries;
  } cases[] = {
      {"5000\n", "loading 5000 recordings", 1000},  // only files 0 to 998
      {"999\n", "loading 999 recordings", 1000},
      {"99999999999\n", "loading 2147483647 recordings", 1000},
      {"-3\n", "loading -3 recordings", 1},
      {"zero\n", "loading 0 recordings", 1},
      {"0\n", "loading 0 recordings", 1},
      {"010\n", "loading 10 recordings", 11},  // decimal, as the game writes it
      {"2\r\n", "loading 2 recordings", 3},     // as a Windows program in text mode writes it
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mem);
    GameHarness h;
    WriteBytes(RecPath(0), FileBytes(90, Poses(0, 90)));
    WriteBytes(RecPath(998), FileBytes(70, Poses(0, 70)));
    WriteBytes(RecPath(999), FileBytes(65, Poses(0, 65)));
    WriteText("mem.txt", c.mem);
    LogStart("log.txt");
    LoadRecordings();
    EXPECT_EQ(recordingCount, c.entries);
    const auto lines = h.ReadLines("log.txt");
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines[0], c.logLine);
    if (c.entries == 1000) {
      EXPECT_EQ(recordings[1].frameCount, 90);
      EXPECT_EQ(recordings[999].frameCount, 70);  // file 998; file 999 stays out
      EXPECT_EQ(recordings[500].frameCount, 0);
    }
    // The live flight is ready whatever mem.txt holds.
    EXPECT_EQ(recordings[0].frameCount, -60);
    EXPECT_NE(recordings[0].frames, nullptr);
  }
}

TEST(EndOfFlightSave, MissingRecordingsFolderIsCreated) {
  GameHarness h;
  fs::remove_all("recordings");
  StartAndFly(60 + 601);
  EndOfFlightSave();
  EXPECT_EQ(fs::file_size("recordings/rec0000.bin"), 45680u);
  EXPECT_EQ(ReadText("mem.txt"), "0\n");
}

TEST(EndOfFlightSave, UnwritableFolderIsReportedAndTheCounterKept) {
  GameHarness h;
  // A plain file where the folder should be: nothing can be created in it.
  fs::remove_all("recordings");
  WriteText("recordings", "not a folder");
  WriteText("mem.txt", "4\n");
  StartQuietLog();
  StartAndFly(60 + 700);
  testing::internal::CaptureStderr();
  EndOfFlightSave();
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find("recordings/rec0005.bin"), std::string::npos) << err;
  const auto lines = h.ReadLines("log.txt");
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0], "could not save the flight of 700 frames as recordings/rec0005.bin");
  EXPECT_EQ(ReadText("mem.txt"), "4\n");
  EXPECT_EQ(ReadText("recordings"), "not a folder");
}


TEST(EndOfFlightSave, FullDiskLeavesTheOldFileAndTheCounterAlone) {
#ifdef _WIN32
  GTEST_SKIP() << "file-size limits are POSIX's";
#elif defined(__EMSCRIPTEN__)
  GTEST_SKIP() << "WebAssembly under node has no file-size limits";
#else
  GameHarness h;
  // File 5 is already there (mem.txt was put back by hand, say); it must
  // not be replaced, by a cut-off flight or by a whole one.
  const Bytes old = FileBytes(650, Poses(0, 650));
  WriteBytes(RecPath(5), old);
  WriteText("mem.txt", "4\n");
  StartQuietLog();
  StartAndFly(60 + kLiveFrames);
  testing::internal::CaptureStderr();
  {
    test::FileSizeLimit limit(200000);
    EndOfFlightSave();
  }
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find("could not save"), std::string::npos) << err;
  EXPECT_EQ(ReadBytes(RecPath(5)), old);
  EXPECT_EQ(ReadText("mem.txt"), "4\n");
  EXPECT_EQ(std::distance(fs::directory_iterator("recordings"), {}), 1) << "a temporary file was left";
  EXPECT_EQ(h.ReadLines("log.txt").size(), 1u);

  // With room again the same flight saves normally, beside the old file.
  testing::internal::CaptureStderr();
  EndOfFlightSave();
  testing::internal::GetCapturedStderr();
  EXPECT_EQ(ReadBytes(RecPath(5)), old);
  EXPECT_EQ(fs::file_size(RecPath(6)), 820804u);
  EXPECT_EQ(ReadText("mem.txt"), "6\n");
#endif
}

// Saves of one flight when mem.txt is behind the files on disk: the old
// files stay byte for byte, the flight goes to the next free number and
// mem.txt names it; after one more save a start-up loads all of them.
TEST(EndOfFlightSave, AnExistingRecordingIsNeverReplaced) {
  struct Case {
    const char* what;
    const char* mem;  // nullptr: no mem.txt; "->": a link to nowhere
    std::vector<int> existing;
    int first;  // the number mem.txt leads to
    int saved;  // the number the flight takes
  } cases[] = {
      {"no mem.txt", nullptr, {0}, 0, 1},
      {"no number", "abc\n", {0, 1}, 1, 2},
      {"empty", "", {1}, 1, 2},
      {"out of range", "-5\n", {1, 2}, 1, 3},
#ifndef _WIN32  // mingw's std::filesystem makes no symbolic links
      {"dangling link", "->", {0}, 0, 1},
#endif
      {"restored backup", "2\n", {0, 1, 2, 3, 4, 5}, 3, 6},
      {"leading zero", "010\n", {11}, 11, 12},
      {"save cut off before mem.txt", "3\n", {0, 1, 2, 3, 4}, 4, 5},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    GameHarness h;
    std::vector<Bytes> old;
    for (int i : c.existing) {
      old.push_back(FileBytes(61 + i, Poses(1000 * i, 61 + i)));
      WriteBytes(RecPath(i), old.back());
    }
    if (c.mem && std::string(c.mem) == "->") {
      fs::create_symlink("gone/mem.txt", "mem.txt");
    } else if (c.mem) {
      WriteText("mem.txt", c.mem);
    }
    StartQuietLog();
    StartAndFly(60 + 700);
    testing::internal::CaptureStderr();
    EndOfFlightSave();
    const std::string err = testing::internal::GetCapturedStderr();

    const std::string taken = RecPath(c.first) + " is taken: the flight is saved as " + RecPath(c.saved);
    EXPECT_EQ(h.ReadLines("log.txt"), std::vector<std::string>{taken});
    EXPECT_NE(err.find(taken), std::string::npos) << err;
    for (size_t i = 0; i < old.size(); ++i) EXPECT_EQ(ReadBytes(RecPath(c.existing[i])), old[i]) << c.existing[i];
    const Bytes flight = ReadBytes(RecPath(c.saved));
    ASSERT_EQ(flight.size(), 4u + 76u * 700u);
    EXPECT_EQ(U32At(flight, 0), 700u);
    EXPECT_EQ(FloatAt(flight, 4 + 76 * 699), PoseOfRunFrame(759).position.x);
    EXPECT_FALSE(fs::is_symlink("mem.txt"));
    EXPECT_EQ(ReadText("mem.txt"), std::to_string(c.saved) + "\n");

    // One more flight saves under the next number as usual, quietly; then a
    // start-up loads the old files and the flight.
    LogStart("log.txt");
    LogSuspend();
    EndOfFlightSave();
    EXPECT_TRUE(h.ReadLines("log.txt").empty());
    EXPECT_EQ(ReadText("mem.txt"), std::to_string(c.saved + 1) + "\n");
    LoadRecordings();
    ASSERT_EQ(recordingCount, c.saved + 2);
    for (int i : c.existing) {
      ASSERT_EQ(recordings[i + 1].frameCount, 61 + i) << i;
      EXPECT_TRUE(SameBits(recordings[i + 1].frames[60 + i], PoseOfRunFrame(1000 * i + 60 + i))) << i;
    }
    ASSERT_EQ(recordings[c.saved + 1].frameCount, 700);
    EXPECT_TRUE(SameBits(recordings[c.saved + 1].frames[0], PoseOfRunFrame(60)));
  }
}

// A flight file brought in from elsewhere takes the next free number, as a
// save does, and mem.txt names it; anything else is refused and removed.
TEST(AddFlightFile, TakesTheNextFreeNumberOrIsRefused) {
  struct Case {
    const char* what;
    Bytes file;
    int number;  // -1: refused
  } cases[] = {
      {"a whole flight", FileBytes(700, Poses(0, 700)), 3},
      {"too short to have been saved", FileBytes(600, Poses(0, 600)), -1},
      {"count beyond its frames", FileBytes(701, Poses(0, 700)), -1},
      {"no flight at all", Bytes{'P', 'K', 3, 4}, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    GameHarness h;
    fs::create_directory("recordings");
    WriteText("mem.txt", "1\n");
    const Bytes taken = FileBytes(61, Poses(0, 61));
    WriteBytes(RecPath(2), taken);  // mem.txt is behind the files
    std::string temp;
    std::FILE* f = os::CreateTemp(RecPath(0), temp);
    ASSERT_NE(f, nullptr);
    std::fwrite(c.file.data(), 1, c.file.size(), f);
    ASSERT_TRUE(os::Finish(f));
    std::string why;
    EXPECT_EQ(AddFlightFile(temp, why), c.number);
    EXPECT_FALSE(fs::exists(temp));
    EXPECT_EQ(ReadBytes(RecPath(2)), taken);
    if (c.number < 0) {
      EXPECT_NE(why, "");
      EXPECT_EQ(ReadText("mem.txt"), "1\n");
      EXPECT_FALSE(fs::exists(RecPath(3)));
    } else {
      EXPECT_EQ(ReadBytes(RecPath(c.number)), c.file);
      EXPECT_EQ(ReadText("mem.txt"), std::to_string(c.number) + "\n");
    }
  }
}

TEST(EndOfFlightSave, CounterThatCannotBeReplacedIsReportedAtEverySave) {
  GameHarness h;
  // A folder named mem.txt: it reads as no counter, and cannot be replaced.
  fs::create_directories("mem.txt/keep");
  const Bytes old = FileBytes(70, Poses(0, 70));
  WriteBytes(RecPath(0), old);
  StartQuietLog();
  StartAndFly(60 + 601);
  testing::internal::CaptureStderr();
  EndOfFlightSave();
  EndOfFlightSave();
  testing::internal::GetCapturedStderr();
  // Each flight is complete in a file of its own; nothing is lost.
  EXPECT_EQ(ReadBytes(RecPath(0)), old);
  EXPECT_EQ(fs::file_size(RecPath(1)), 45680u);
  EXPECT_EQ(fs::file_size(RecPath(2)), 45680u);
  EXPECT_TRUE(fs::is_directory("mem.txt/keep"));
  EXPECT_EQ(h.ReadLines("log.txt"),
            std::vector<std::string>({"recordings/rec0000.bin is taken: the flight is saved as recordings/rec0001.bin",
                                      "saved recordings/rec0001.bin but could not update mem.txt",
                                      "recordings/rec0000.bin is taken: the flight is saved as recordings/rec0002.bin",
                                      "saved recordings/rec0002.bin but could not update mem.txt"}));
}

TEST(EndOfFlightSave, LinksNeverLeadTheSaveOutsideTheDataFolder) {
#ifdef _WIN32
  GTEST_SKIP() << "mingw's std::filesystem makes no symbolic links";
#else
  GameHarness h;
  const fs::path outside = h.dir.string() + "-outside";
  fs::create_directories(outside);
  WriteText(outside / "victim", "precious\n");
  WriteText(outside / "counter", "4\n");
  // Links planted under the very names the save's temporary files take
  // next (the flight's first, then mem.txt's), all pointing at files in
  // another folder; a link at file 5 to a file, and one at file 6 to
  // nothing.
  std::string probe;
  std::FILE* f = os::CreateTemp("probe", probe);
  ASSERT_NE(f, nullptr);
  std::fclose(f);
  fs::remove(probe);
  const std::string stem = "." + std::to_string(getpid()) + ".";
  const int serial = std::stoi(probe.substr(probe.rfind(stem) + stem.size()));
  for (int i = 1; i <= 10; ++i) fs::create_symlink(outside / "victim", RecPath(5) + stem + std::to_string(serial + i) + ".tmp");
  for (int i = 12; i <= 20; ++i) fs::create_symlink(outside / "victim", "mem.txt" + stem + std::to_string(serial + i) + ".tmp");
  fs::create_symlink(outside / "victim", RecPath(5));
  fs::create_symlink(outside / "gone", RecPath(6));
  fs::create_symlink(outside / "counter", "mem.txt");
  const std::vector<std::string> planted = TempFiles();
  StartQuietLog();
  StartAndFly(60 + 601);
  testing::internal::CaptureStderr();
  EndOfFlightSave();
  testing::internal::GetCapturedStderr();

  EXPECT_EQ(ReadText(outside / "victim"), "precious\n");
  EXPECT_EQ(ReadText(outside / "counter"), "4\n");
  EXPECT_EQ(std::distance(fs::directory_iterator(outside), {}), 2);
  // mem.txt (read through its link: 4) is replaced by a file of its own;
  // the link at file 5 counts as an existing recording, the one at file 6
  // leads nowhere and gives way to the flight.
  EXPECT_FALSE(fs::is_symlink("mem.txt"));
  EXPECT_EQ(ReadText("mem.txt"), "6\n");
  EXPECT_TRUE(fs::is_symlink(RecPath(5)));
  EXPECT_FALSE(fs::is_symlink(RecPath(6)));
  EXPECT_EQ(fs::file_size(RecPath(6)), 45680u);
  EXPECT_EQ(TempFiles(), planted);
  fs::remove_all(outside);
#endif
}

// Where the file system has neither hard links nor renames that refuse to
// replace (exFAT through FUSE), the flight is still saved; where no way of
// naming it works, it stays on disk under the name the message gives.
TEST(EndOfFlightSave, AFlightIsNeverLostForWantOfAWayToNameIt) {
  struct Restore {
    ~Restore() { os::claimToolsForTest = os::ClaimTools::kAll; }
  } restore;
  GameHarness h;
  const Bytes old = FileBytes(70, Poses(0, 70));
  WriteBytes(RecPath(0), old);
  StartQuietLog();
  StartAndFly(60 + 700);
  testing::internal::CaptureStderr();
  os::claimToolsForTest = os::ClaimTools::kCheckThenRename;
  EndOfFlightSave();
  EXPECT_EQ(ReadBytes(RecPath(0)), old);
  EXPECT_EQ(fs::file_size(RecPath(1)), 4u + 76u * 700u);
  EXPECT_EQ(ReadText("mem.txt"), "1\n");

  os::claimToolsForTest = os::ClaimTools::kNone;
  EndOfFlightSave();
  const std::string err = testing::internal::GetCapturedStderr();
  const std::vector<std::string> kept = TempFiles();
  ASSERT_EQ(kept.size(), 1u);
  EXPECT_NE(err.find("could not save the flight of 700 frames as recordings/rec0002.bin: it is kept as " + kept[0]),
            std::string::npos)
      << err;
  EXPECT_EQ(fs::file_size(kept[0]), 4u + 76u * 700u);
  EXPECT_EQ(ReadText("mem.txt"), "1\n");
}

// A save cut off by a crash leaves its temporary files behind; the next
// start clears away those of writers that are gone, but never one that a
// running copy may still be writing, and a whole flight among them is named
// as the save would have named it.
TEST(EndOfFlightSave, LeftoversOfCutOffSavesAreClearedAwayAndWholeFlightsNamed) {
#ifdef _WIN32
  GTEST_SKIP() << "fork is POSIX's (the end-to-end test of two copies covers Windows)";
#elif defined(__EMSCRIPTEN__)
  GTEST_SKIP() << "WebAssembly has no fork (the web page takes turns through the Web Locks API)";
#else
  GameHarness h;
  const pid_t gone = fork();
  if (gone == 0) _exit(0);
  ASSERT_EQ(waitpid(gone, nullptr, 0), gone);
  const std::string dead = "." + std::to_string(gone) + ".";
  const std::string alive = "." + std::to_string(getppid()) + ".";
  WriteText("mem.txt" + dead + "1.tmp", "3\n");
  WriteText("log.txt" + dead + "2.tmp", "");
  WriteBytes(RecPath(1) + dead + "3.tmp", FileBytes(900, Poses(0, 200)));  // cut off
  const Bytes whole = FileBytes(700, Poses(0, 700));
  WriteBytes(RecPath(2) + dead + "4.tmp", whole);                          // whole, never named
  WriteBytes(RecPath(3) + alive + "5.tmp", FileBytes(900, Poses(0, 10)));  // still being written
  WriteText("notes" + dead + "6.tmp", "the player's own");
  StartQuietLog();
  testing::internal::CaptureStderr();
  EXPECT_EQ(CheckFlightsCanBeKept(), "");
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_EQ(err, "vantaloop: the flight of 700 frames that a cut-off save left as " + RecPath(2) + dead +
                     "4.tmp is saved as recordings/rec0000.bin\n");
  EXPECT_EQ(TempFiles(), std::vector<std::string>({"notes" + dead + "6.tmp", RecPath(3) + alive + "5.tmp"}));
  EXPECT_EQ(ReadBytes(RecPath(0)), whole);
  EXPECT_EQ(ReadText("mem.txt"), "0\n");
  StartAndFly(60 + 601);
  EndOfFlightSave();
  EXPECT_EQ(fs::file_size(RecPath(1)), 45680u);
#endif
}

TEST(EndOfFlightSave, TwoCopiesSavingAtOnceBothKeepTheirFlights) {
#ifdef _WIN32
  GTEST_SKIP() << "fork is POSIX's (the end-to-end test of two copies covers Windows)";
#elif defined(__EMSCRIPTEN__)
  GTEST_SKIP() << "WebAssembly has no fork (the web page takes turns through the Web Locks API)";
#else
  GameHarness h;
  StartAndFly(60 + 3000);
  constexpr int kCopies = 3, kSaves = 15;
  // Each copy of the game, a process of its own, waits for the start
  // signal and then saves the same flight again and again, its stderr going
  // to a file of its own.
  int go[2];
  ASSERT_EQ(pipe(go), 0);
  std::vector<pid_t> copies;
  for (int c = 0; c < kCopies; ++c) {
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      close(go[1]);
      char byte;
      if (read(go[0], &byte, 1) != 1) _exit(3);
      if (!std::freopen(("stderr" + std::to_string(c)).c_str(), "w", stderr)) _exit(4);
      // One copy is slow to move mem.txt on, as on a busy disk.
      if (c == 0) os::beforeReplaceForTest = [] { usleep(3000); };
      for (int i = 0; i < kSaves; ++i) EndOfFlightSave();
      _exit(0);
    }
    copies.push_back(pid);
  }
  close(go[0]);
  ASSERT_EQ(write(go[1], "gogo", kCopies), kCopies);  // all copies start now
  close(go[1]);
  // mem.txt only ever moves up while the copies save.
  int highest = -1;
  for (size_t ended = 0; ended < copies.size();) {
    const std::string mem = ReadText("mem.txt");
    if (!mem.empty()) {
      EXPECT_GE(std::stoi(mem), highest);
      highest = std::max(highest, std::stoi(mem));
    }
    int status = 0;
    const pid_t pid = waitpid(-1, &status, WNOHANG);
    if (pid > 0) {
      EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
      ++ended;
    }
  }
  // No copy reports a failure: each one's flights were all saved.
  for (int c = 0; c < kCopies; ++c) EXPECT_EQ(ReadText("stderr" + std::to_string(c)).find("could not"), std::string::npos);
  // Every save is a complete file of its own; nothing else is left behind.
  EXPECT_EQ(std::distance(fs::directory_iterator("recordings"), {}), kCopies * kSaves);
  for (int i = 0; i < kCopies * kSaves; ++i) EXPECT_EQ(fs::file_size(RecPath(i)), 4u + 76u * 3000u) << i;
  // mem.txt never moved backwards: it names the newest flight.
  EXPECT_EQ(ReadText("mem.txt"), std::to_string(kCopies * kSaves - 1) + "\n");
#endif
}

// One copy held up in its save past the other's wait for the lock (stopped
// right before mem.txt moves on, as Ctrl+Z or a stalled disk would hold
// it): the other copy keeps its flight under the next free number, and
// mem.txt never moves down.
TEST(EndOfFlightSave, ACopyHeldUpInItsSaveNeverMovesTheCounterDown) {
#ifdef _WIN32
  GTEST_SKIP() << "SIGSTOP and fork are POSIX's";
#elif defined(__EMSCRIPTEN__)
  GTEST_SKIP() << "WebAssembly has no fork or SIGSTOP";
#else
  GameHarness h;
  WriteBytes(RecPath(0), FileBytes(70, Poses(0, 70)));
  WriteBytes(RecPath(1), FileBytes(70, Poses(0, 70)));
  WriteText("mem.txt", "1\n");
  StartQuietLog();
  StartAndFly(60 + 700);
  const pid_t held = fork();
  ASSERT_GE(held, 0);
  if (held == 0) {
    beforeCounterForTest = [] { raise(SIGSTOP); };
    EndOfFlightSave();
    _exit(0);
  }
  int status = 0;
  ASSERT_EQ(waitpid(held, &status, WUNTRACED), held);
  ASSERT_TRUE(WIFSTOPPED(status));
  testing::internal::CaptureStderr();
  EndOfFlightSave();  // waits out the lock, then saves
  const std::string err = testing::internal::GetCapturedStderr();
  const std::string between = ReadText("mem.txt");
  kill(held, SIGCONT);
  ASSERT_EQ(waitpid(held, &status, 0), held);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  EXPECT_EQ(fs::file_size(RecPath(2)), 4u + 76u * 700u);
  EXPECT_EQ(fs::file_size(RecPath(3)), 4u + 76u * 700u);
  EXPECT_NE(err.find("saved recordings/rec0003.bin while another copy of the game was saving"), std::string::npos)
      << err;
  EXPECT_GE(std::stoi(ReadText("mem.txt")), std::stoi(between)) << "mem.txt moved down from " << between;
  EXPECT_EQ(ReadText("mem.txt"), "2\n");
#endif
}

// The whole program: a flight flown frame by frame through the main loop
// and ended with Escape.
struct LoopRun {
  int savedFrames;
  std::vector<std::string> log;
};

LoopRun RunAndEscape(GameHarness& h, int passes) {
  h.loop.script.assign(static_cast<size_t>(passes), {});
  h.loop.script.push_back({test::KeyDown(vk::ESCAPE)});
  EXPECT_EQ(WinMain(), 0);
  return {recordings[0].frameCount, h.ReadLines("log.txt")};
}

TEST(WinMainRecording, EscapeAfterALongFlightSavesItAndShutsDown) {
  GameHarness h;
  const LoopRun run = RunAndEscape(h, 661);
  ASSERT_EQ(run.savedFrames, 601) << "the game frame records one frame per pass";
  EXPECT_EQ(fs::file_size(RecPath(0)), 45680u);
  EXPECT_EQ(ReadText("mem.txt"), "0\n");
  ASSERT_FALSE(run.log.empty());
  EXPECT_EQ(run.log.back(), "end of WinMain() -> exit program");
}

TEST(WinMainRecording, SixHundredFramesThroughTheLoopSaveNothing) {
  GameHarness h;
  const LoopRun run = RunAndEscape(h, 660);
  EXPECT_EQ(run.savedFrames, 600);
  EXPECT_TRUE(fs::is_empty("recordings"));
  EXPECT_FALSE(fs::exists("mem.txt"));
}

TEST(WinMainRecording, FailedSaveStillShutsDownNormally) {
  GameHarness h;
  fs::remove_all("recordings");
  WriteText("recordings", "");
  testing::internal::CaptureStderr();
  const LoopRun run = RunAndEscape(h, 700);
  testing::internal::GetCapturedStderr();
  EXPECT_EQ(run.savedFrames, 640);
  EXPECT_FALSE(fs::exists("mem.txt"));
  // The player was told at the start, before flying.
  const std::string told = "Flights cannot be saved: No new file can be made in " +
                           (fs::current_path() / "recordings").string() + ". You can fly, but no flight will be kept.";
  ASSERT_EQ(h.window.messages.size(), 1u);
  EXPECT_EQ(h.window.messages[0].rfind(told, 0), 0u) << h.window.messages[0];
  EXPECT_EQ(run.log[0].rfind(told, 0), 0u) << run.log[0];
  const std::vector<std::string> tail = {"could not save the flight of 640 frames as recordings/rec0000.bin",
                                         "leave message loop ------------ USAGE END", "glkFree()", "kill window",
                                         "end of WinMain() -> exit program"};
  ASSERT_GE(run.log.size(), tail.size());
  EXPECT_EQ(std::vector<std::string>(run.log.end() - 5, run.log.end()), tail);
}

}  // namespace
}  // namespace vl
