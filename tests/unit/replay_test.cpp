#include "flight/replay.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>

#include "flight/camera.h"
#include "flight/game_frame.h"
#include "flight/ghost_choice.h"
#include "flight/recordings.h"
#include "input/input_state.h"
#include "shell/main_loop.h"
#include "tests/support/fakes.h"
#include "tests/support/flight_files.h"
#include "tests/support/game_state.h"
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

TEST_F(Replay, PlayedThroughTheCameraFliesTheRecordingFrameByFrameBesideItsGhosts) {
  GlRecorder rec;
  PlayReplayThrough();
  flatOut.on = true;  // the timedemo: no wait between frames
  EXPECT_EQ(WinMain(), 0);
  // One frame per recorded frame, then the program ends by itself.
  EXPECT_EQ(h_.loop.passes, kFrames + 1);
  EXPECT_EQ(h_.loop.swaps, kFrames);
  EXPECT_EQ(flatOut.frames, kFrames);
  EXPECT_TRUE(h_.loop.sleeps.empty());
  EXPECT_EQ(h_.window.log.at(1).rfind("MakeWindow vantaloop: replay of flight 2, 0:00.00 of 0:11.20, \u00D71 ", 0), 0u)
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


// Flight 3, 1000 frames, is replayed beside the ghosts of flights 0 (500
// frames, so it ends while the replay shows frame 380) and 1 (2000 frames).
class ReplayControls : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteFlightFile(0, StraightFlight(500, {0, 1, 0}, {1, 0, 0}));
    WriteFlightFile(1, StraightFlight(2000, {0, 2, 0}, {1, 0, 0}));
    WriteFlightFile(3, StraightFlight(1000, {0, 3, 0}, {1, 0, 0}));
    Restart();
  }

  // As a new run of --replay 3 would start.
  void Restart() {
    test::ResetGameState();
    std::string error;
    ASSERT_TRUE(StartReplay(3, error)) << error;
    LoadGhosts();
  }

  // One game frame per word: a key pressed in it, or a number of frames
  // without keys ("S-Tab" is Shift+Tab).
  void Play(const std::string& words) {
    static const std::map<std::string, int> keys = {
        {"Space", vk::SPACE}, {"Left", vk::LEFT},      {"Right", vk::RIGHT},   {",", vk::OEM_COMMA},
        {".", vk::OEM_PERIOD}, {"-", vk::OEM_MINUS},  {"+", vk::OEM_PLUS},    {"KP-", vk::SUBTRACT},
        {"KP+", vk::ADD},      {"PgUp", vk::PRIOR},   {"PgDn", vk::NEXT},     {"Home", vk::HOME},
        {"End", vk::END},      {"C", 'C'},            {"Tab", vk::TAB},       {"S-Tab", vk::TAB}};
    std::istringstream in(words);
    for (std::string w; in >> w;) {
      const auto key = keys.find(w);
      const int frames = key == keys.end() ? std::stoi(w) : 1;
      if (key != keys.end()) keysPressed[key->second] = 1;
      keysHeld[vk::SHIFT] = w == "S-Tab";
      for (int i = 0; i < frames; ++i) GameFrame();
      ResetMessageState();
    }
  }

  // The frame the next picture shows, and each ghost's (-1: not drawn).
  std::vector<int32_t> Shown() {
    TakeReplayPose(camera);
    std::vector<int32_t> shown{ReplayClockNow().shown(), ReplayClockNow().paused()};
    for (int32_t i : {1, 2}) shown.push_back(recordings[i].cursor < recordings[i].frameCount ? recordings[i].cursor : -1);
    return shown;
  }

  GameHarness h_;
};

TEST_F(ReplayControls, SpeedPauseStepAndSeekShowRecordedFramesWithTheGhostsInStep) {
  struct Row {
    const char* keys;
    std::vector<int32_t> shown;  // replay frame, paused, ghost of flight 0, of flight 1
  };
  const Row rows[] = {
      {"", {0, 0, 120, 120}},
      {"3", {3, 0, 123, 123}},
      // Slow: each frame stays 4 or 2 ticks. Fast: 2, 4 or 8 frames a tick.
      {"Space - - Space 8", {2, 0, 122, 122}},
      {"Space KP- Space 5", {3, 0, 123, 123}},
      {"Space - - - - - Space 3", {1, 0, 121, 121}},
      {"Space - - Space 2 PgDn 2", {625, 0, -1, 745}},  // a frame sought stays its 4 ticks
      {"Space + Space 3", {8, 0, 128, 128}},
      {"Space + KP+ Space 3", {16, 0, 136, 136}},
      {"Space + + + + + + Space 2", {24, 0, 144, 144}},
      // Pause and steps, which move only while paused, never past the ends.
      {"Space 5", {0, 1, 120, 120}},
      {"Space Right Right Right Left", {2, 1, 122, 122}},
      {"Space . . ,", {1, 1, 121, 121}},
      {"Right", {1, 0, 121, 121}},
      {"Space Left", {0, 1, 120, 120}},
      // Flight 0's ghost ends at frame 500 and comes back when seeking back.
      {"379", {379, 0, 499, 499}},
      {"380", {380, 0, -1, 500}},
      {"380 Space Left", {379, 1, 499, 499}},
      {"Space PgDn", {625, 1, -1, 745}},
      {"Space PgDn PgUp", {0, 1, 120, 120}},
      {"Space PgUp", {0, 1, 120, 120}},
      {"Space PgDn PgDn", {999, 1, -1, 1119}},
      // The end holds the last frame, paused, however it is reached.
      {"998", {998, 0, -1, 1118}},
      {"999", {999, 1, -1, 1119}},
      {"End", {999, 1, -1, 1119}},
      {"End Space 3", {999, 1, -1, 1119}},
      {"+ + + 200", {999, 1, -1, 1119}},
      {"Space End Right", {999, 1, -1, 1119}},
      {"End Home", {0, 1, 120, 120}},
      {"End Home Space 2", {3, 0, 123, 123}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.keys);
    Restart();
    Play(row.keys);
    EXPECT_EQ(Shown(), row.shown);
    EXPECT_EQ(camera.position.y, 3.0f);  // the cockpit of flight 3
    EXPECT_EQ(camera.position.x, static_cast<float>(row.shown[0]));
  }
}

TEST_F(ReplayControls, TheTitleSaysWhereItStandsAndWhoIsFollowed) {
  const std::string start = "vantaloop: replay of flight 3, ";
  EXPECT_EQ(ReplayTitle(), start + "0:00.00 of 0:16.00, \u00D71");
  const std::pair<const char*, const char*> rows[] = {
      {"Space", "0:00.00 of 0:16.00, paused"},
      {"PgDn + Space", "0:10.00 of 0:16.00, \u00D72"},
      {"Space - - - Space", "0:10.03 of 0:16.00, \u00D7\u00BC"},
      {"+", "0:10.03 of 0:16.00, \u00D7\u00BD"},
      // Flight 0's ghost (entry 1) has ended: Tab goes on to flight 1.
      {"C Tab", "0:10.04 of 0:16.00, \u00D7\u00BD, chase view of flight 1 (#78ACB6)"},
      {"S-Tab", "0:10.04 of 0:16.00, \u00D7\u00BD, chase view of flight 3 (#A59A74)"},
      {"Space Home Tab C", "0:00.00 of 0:16.00, paused, top view of flight 0 (#B0B1D0)"},
      {"C", "0:00.00 of 0:16.00, paused"},
  };
  for (const auto& [keys, title] : rows) {
    Play(keys);
    EXPECT_EQ(ReplayTitle(), start + title) << keys;
  }
  // The window takes the title when it changes.
  Restart();
  h_.loop.script = {{test::KeyDown(vk::SPACE)}, {}};
  EXPECT_EQ(WinMain(), 0);
  EXPECT_EQ(h_.window.titles, std::vector<std::string>{start + "0:00.00 of 0:16.00, paused"});
}

// The picture of a frame is the same however the replay came to it, from
// behind a ghost as from the cockpit.
TEST_F(ReplayControls, AFrameLooksTheSameHoweverItWasReached) {
  const auto picture = [&](const std::string& keys) {
    Restart();
    Play("C Tab 1 " + keys);
    GlRecorder rec;
    GameFrame();
    std::string calls;
    for (const GlCall& c : rec.calls()) calls += c.ToString() + "\n";
    return calls;
  };
  const std::string played = picture("Space 3 Space 624 Space");
  EXPECT_EQ(picture("Space PgDn"), played);
  EXPECT_EQ(picture("Space End PgUp PgUp Right Right Right PgDn"), played);
  EXPECT_EQ(picture("- - 2500 Space"), played);
  EXPECT_NE(picture("Space PgDn Right"), played);
}

}  // namespace
}  // namespace vl
