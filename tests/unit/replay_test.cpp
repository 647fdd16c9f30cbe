#include "flight/replay.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>

#include "flight/recordings.h"
#include "input/input_state.h"
#include "shell/main_loop.h"
#include "tests/support/fakes.h"
#include "tests/support/flight_files.h"
#include "tests/support/gl_recorder.h"

namespace vl {
namespace {

using test::GameHarness;
using test::GlCall;
using test::GlOp;
using test::GlRecorder;
using test::StraightFlight;
using test::WriteFlightFile;

// Every byte of mem.txt and of the recordings, by file name.
std::map<std::string, std::string> SavedFiles() {
  std::map<std::string, std::string> files;
  for (const auto& e : std::filesystem::recursive_directory_iterator(".")) {
    if (!e.is_regular_file() || e.path().filename() == "log.txt") continue;
    std::ifstream in(e.path(), std::ios::binary);
    files[e.path().string()] = std::string(std::istreambuf_iterator<char>(in), {});
  }
  return files;
}

// Flight 2 is replayed. When it was flown, flight 0 flew beside it and
// flight 1 (then the newest) did not.
class Replay : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteFlightFile(0, StraightFlight(900, {1000, 1, 0}, {1, 0, 0}));
    WriteFlightFile(1, StraightFlight(900, {5000, 1, 0}, {1, 0, 0}));
    flight_ = StraightFlight(kFrames, {3, 4, 5}, {0.25f, 0.5f, -0.75f});
    WriteFlightFile(2, flight_);
    std::ofstream("mem.txt") << "2\n";
    before_ = SavedFiles();
    std::string error;
    ASSERT_TRUE(StartReplay(2, error)) << error;
    h_.loop.script.resize(kFrames + 10);
  }

  static constexpr int kFrames = 700;  // enough for a save, had it been recorded
  GameHarness h_;
  std::vector<FrameRecord> flight_;
  std::map<std::string, std::string> before_;
};

TEST_F(Replay, TheCameraFliesTheRecordingFrameByFrameBesideItsGhosts) {
  GlRecorder rec;
  EXPECT_EQ(WinMain(), 0);
  // One frame per recorded frame, then the program ends by itself.
  EXPECT_EQ(h_.loop.passes, kFrames + 1);
  EXPECT_EQ(h_.loop.swaps, kFrames);
  EXPECT_EQ(h_.window.log.at(1).rfind("MakeWindow vantaloop: replay of flight 2 ", 0), 0u)
      << h_.window.log[1];

  // Each frame: the camera's matrix and translation, then flight 0's ghost
  // 120 frames ahead of the recording, as it flew then; then the bank
  // indicator's offset. (The city's own moves go into its list.)
  int t = -1;
  bool inList = false;
  std::vector<GlCall> moves;
  const auto check = [&] {
    if (t < 0) return;
    SCOPED_TRACE(t);
    const FrameRecord& f = flight_[t];
    ASSERT_EQ(moves.size(), 4u);
    for (int i = 0; i < 3; ++i)
      for (int j = 0; j < 3; ++j) EXPECT_EQ(moves[0].f(4 * i + j), f.rotation[4 * j + i]);
    EXPECT_EQ(moves[1].f(0), -f.position.x);
    EXPECT_EQ(moves[1].f(1), -f.position.y);
    EXPECT_EQ(moves[1].f(2), -f.position.z);
    EXPECT_EQ(moves[2].f(0), 1000.0f + static_cast<float>(t + 120));
  };
  for (const GlCall& c : rec.calls()) {
    if (c.op == GlOp::Clear) {
      check();
      ++t;
      moves.clear();
    } else if (c.op == GlOp::NewList || c.op == GlOp::EndList) {
      inList = c.op == GlOp::NewList;
    } else if (!inList && ((c.op == GlOp::MultMatrixf && moves.empty()) || c.op == GlOp::Translatef)) {
      moves.push_back(c);
    }
  }
  check();
  EXPECT_EQ(t, kFrames - 1);
  EXPECT_EQ(SavedFiles(), before_);
}

TEST_F(Replay, EscapeEndsItAndNothingIsSaved) {
  h_.loop.script[kFrames - 10] = {test::KeyDown(vk::ESCAPE)};
  EXPECT_EQ(WinMain(), 0);
  EXPECT_EQ(h_.loop.passes, kFrames - 9);
  EXPECT_EQ(SavedFiles(), before_);
}

}  // namespace
}  // namespace vl
