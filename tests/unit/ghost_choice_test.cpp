#include "flight/ghost_choice.h"

#include <gtest/gtest.h>

#include <fstream>

#include "flight/recordings.h"
#include "shell/log.h"
#include "tests/support/fakes.h"
#include "tests/support/flight_files.h"

namespace vl {
namespace {

using test::GameHarness;
using test::StraightFlight;
using test::WriteFlightFile;

TEST(ParseFlightList, NumbersRangesOrNone) {
  struct Case {
    const char* text;
    std::vector<int32_t> flights;
    const char* error;  // nullptr: accepted
  } cases[] = {
      {"3,7-9", {3, 7, 8, 9}, nullptr},
      {"9,2,2-3", {2, 3, 9}, nullptr},
      {"none", {}, nullptr},
      {"0-998", {}, nullptr},  // all of them; checked by count below
      {"", {}, "'' is not a flight number"},
      {"3,,4", {}, "'' is not a flight number"},
      {"3-", {}, "'' is not a flight number"},
      {"-3", {}, "'' is not a flight number"},
      {"+3", {}, "'+3' is not a flight number"},
      {"3 ", {}, "'3 ' is not a flight number"},
      {"9-7", {}, "the range '9-7' runs backwards"},
      {"999", {}, "flight 999 cannot fly as a ghost (0 to 998)"},
      {"1-99999999999", {}, "'99999999999' is not a flight number"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    std::vector<int32_t> flights;
    std::string error;
    EXPECT_EQ(ParseFlightList(c.text, flights, error), c.error == nullptr);
    if (c.error) {
      EXPECT_EQ(error, c.error);
    } else if (std::string(c.text) == "0-998") {
      EXPECT_EQ(flights.size(), 999u);
    } else {
      EXPECT_EQ(flights, c.flights);
    }
  }
}

// Only the chosen flights fly, each from the entry of the table that gives
// it its colour; chosen numbers without a file are named once.
TEST(LoadGhosts, TheChosenFlightsFlyFromTheirOwnEntries) {
  GameHarness h;
  LogStart("log.txt");
  for (int32_t n = 0; n < 6; ++n)
    WriteFlightFile(n, StraightFlight(100, {100.0f * static_cast<float>(n), 1, 0}, {0, 0, 1}));
  std::ofstream("mem.txt") << "6\n";
  ChooseGhosts({1, 3, 4, 8, 12});
  testing::internal::CaptureStderr();
  LoadGhosts();
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "vantaloop: no saved flight 8, 12: skipped\n");
  for (int32_t entry = 1; entry < kMaxRecordings; ++entry) {
    SCOPED_TRACE(entry);
    const Recording& r = recordings[entry];
    const int32_t file = entry - 1;
    if (file == 1 || file == 3 || file == 4) {
      ASSERT_EQ(r.frameCount, 100);
      EXPECT_EQ(r.frames[0].position.x, 100.0f * static_cast<float>(file));
      EXPECT_EQ(r.cursor, kReplayStart);
    } else {
      EXPECT_EQ(r.frameCount, 0);
    }
  }
  EXPECT_EQ(recordingCount, 6);
  EXPECT_EQ(recordings[0].frameCount, -kSkippedFrames);  // the live flight records as ever
  EXPECT_EQ(h.ReadLines("log.txt"),
            (std::vector<std::string>{"loading 5 recordings", "100 frames", "100 frames", "100 frames",
                                      "no saved flight 8, 12: skipped"}));
}

}  // namespace
}  // namespace vl
