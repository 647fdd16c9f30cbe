#include "flight/flight_list.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <limits>

#include "flight/flight_save.h"
#include "tests/support/fakes.h"
#include "tests/support/flight_files.h"

namespace vl {
namespace {

using test::GameHarness;
using test::StraightFlight;
using test::WriteFlightFile;

// Flies `frames` as the live flight and leaves with Escape: the game saves
// it as it saves any flight.
void SaveFlight(const std::vector<FrameRecord>& frames) {
  LoadRecordings();
  for (int t = 0; t < kSkippedFrames; ++t) RecordFrame(frames[0].position, frames[0].rotation);
  for (const FrameRecord& f : frames) RecordFrame(f.position, f.rotation);
  EndOfFlightSave();
}

void WriteText(const char* name, const char* text) { std::ofstream(name) << text; }

TEST(FlightList, EveryFileGetsARowThatSaysWhatIsWrongWithIt) {
  GameHarness h;
  // Saved flights 0 and 1; mem.txt then moved on to 5 (as a restored
  // backup can), so the third saved flight is 6, the newest.
  SaveFlight(StraightFlight(601, {0, 1, 0}, {0.1f, 0.2f, 0.2f}));  // 0.3 a frame, climbing
  SaveFlight(StraightFlight(700, {0, 3, 0}, {-0.3f, 0, -0.4f}));   // 0.5 a frame, level
  WriteText("mem.txt", "5\n");
  SaveFlight(StraightFlight(650, {0, 5, 0}, {0, 0, 0.5f}));
  WriteFlightFile(3, StraightFlight(700, {0, 2, 0}, {1, 0, 0}), 800);      // cut short
  WriteFlightFile(4, StraightFlight(60, {0, 1, 0}, {0, 0, 1}));            // never shown
  std::vector<FrameRecord> holed = StraightFlight(100, {0, 4, 0}, {0, 0, 2});
  holed[50].position.x = std::numeric_limits<float>::quiet_NaN();
  WriteFlightFile(5, holed, -1, 5);
  WriteFlightFile(7, StraightFlight(10801, {0, 0.3f, 0}, {0, 0, 0}));  // longer than any flight
  WriteFlightFile(8, {}, 0);
  std::filesystem::resize_file("recordings/rec0008.bin", 2);
  std::filesystem::create_directory("recordings/rec0009.bin");
  WriteFlightFile(12, {}, 0xFFFFFFFFLL);  // a frame count of -1
  // Names the game never gives a flight.
  WriteFlightFile(13, StraightFlight(80, {0, 0, 0}, {1, 0, 0}));
  std::filesystem::rename("recordings/rec0013.bin", "recordings/rec013.bin");
  WriteFlightFile(14, StraightFlight(80, {0, 0, 0}, {1, 0, 0}));
  std::filesystem::rename("recordings/rec0014.bin", "recordings/rec0014.bin.1.tmp");

  EXPECT_EQ(FlightTable(ReadSavedFlights()),
            "flight  frames  duration  distance  lowest  highest  ghost  remarks\n"
            "     0     601  0:09.616     180.0    1.00   121.00  yes\n"
            "     1     700  0:11.200     349.5    3.00     3.00  yes\n"
            "     2       -         -         -       -        -  no     missing\n"
            "     3     700  0:11.200     699.0    2.00     2.00  yes    cut short: holds 700 of 800 frames\n"
            "     4      60  0:00.960      59.0    1.00     1.00  no     60 frames or fewer: never shown\n"
            "     5     100  0:01.600     194.0    4.00     4.00  yes    5 bytes after the last frame; 1 frame with a "
            "position that is not a number\n"
            "     6     650  0:10.400     324.5    5.00     5.00  no     the newest: flies after the next save\n"
            "     7   10800  2:52.800       0.0    0.30     0.30  no     oversized: 10801 frames, only the first 10800 "
            "fly; not loaded: numbered above mem.txt's 6\n"
            "     8       0  0:00.000       0.0       -        -  no     no frame count (2 bytes); not loaded: "
            "numbered above mem.txt's 6\n"
            "     9       0  0:00.000       0.0       -        -  no     not a plain file; not loaded: numbered "
            "above mem.txt's 6\n"
            "    12       0  0:00.000       0.0       -        -  no     frame count -1 is negative; not loaded: "
            "numbered above mem.txt's 6\n"
            "11 flights: 6 damaged, 1 missing; 4 fly as ghosts at the next start (mem.txt holds 6)\n");
}

// mem.txt decides which flights fly; its number is a decimal.
TEST(FlightList, TheNumberInMemTxtSaysWhichFly) {
  struct Case {
    const char* memTxt;  // nullptr: no file
    const char* summary;
  } cases[] = {
      {nullptr, "1 flight: 0 damaged, 0 missing; 0 fly as ghosts at the next start (no mem.txt)"},
      {"none\n", "1 flight: 0 damaged, 0 missing; 0 fly as ghosts at the next start (mem.txt holds no number)"},
      {"08\n", "8 flights: 0 damaged, 7 missing; 1 flies as a ghost at the next start (mem.txt holds 8)"},
      {"1200\n", "999 flights: 0 damaged, 998 missing; 1 flies as a ghost at the next start (mem.txt holds 1200)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.memTxt ? c.memTxt : "no mem.txt");
    GameHarness h;
    WriteFlightFile(0, StraightFlight(61, {0, 1, 0}, {0, 0, 1}));
    if (c.memTxt) WriteText("mem.txt", c.memTxt);
    const std::string table = FlightTable(ReadSavedFlights());
    EXPECT_EQ(table.substr(table.rfind('\n', table.size() - 2) + 1), std::string(c.summary) + "\n");
  }
}

// Scripts get the same as JSON; a missing file has no heights.
TEST(FlightList, JsonForScripts) {
  GameHarness h;
  WriteFlightFile(0, StraightFlight(61, {0, 1.5f, 0}, {0, 0, 1}));
  WriteText("mem.txt", "2\n");
  EXPECT_EQ(FlightJson(ReadSavedFlights()),
            "{\"counter\": 2, \"ghosts_next_start\": 1, \"flights\": [\n"
            "  {\"number\": 0, \"file\": \"recordings/rec0000.bin\", \"present\": true, \"frames\": 61, "
            "\"duration_ms\": 976, \"distance\": 60.000, \"lowest\": 1.5, \"highest\": 1.5, \"problem\": \"\", "
            "\"ghost\": true, \"note\": \"\"},\n"
            "  {\"number\": 1, \"file\": \"recordings/rec0001.bin\", \"present\": false, \"frames\": 0, "
            "\"duration_ms\": 0, \"distance\": 0.000, \"lowest\": null, \"highest\": null, \"problem\": "
            "\"missing\", \"ghost\": false, \"note\": \"\"}\n"
            "]}\n");
}

}  // namespace
}  // namespace vl
