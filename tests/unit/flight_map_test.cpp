#include "render/flight_map.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <limits>
#include <memory>
#include <regex>

#include "tests/support/fakes.h"
#include "tests/support/file_size_limit.h"

namespace vl {
namespace {

using Points = std::vector<std::pair<double, double>>;

Recording Flight(const std::vector<Vec3>& positions) {
  Recording r;
  r.frameCount = static_cast<int32_t>(positions.size());
  r.frames.reset(new FrameRecord[positions.size()]);
  for (size_t i = 0; i < positions.size(); ++i) r.frames[i].position = positions[i];
  return r;
}

// A flight seen from above keeps the points that shape its line.
TEST(TrackOf, KeepsOnlyThePointsThatChangeTheLine) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  std::vector<Vec3> straight, square, fine, coarse, broken;
  for (int i = 0; i < 1000; ++i)
    straight.push_back({0.25f * static_cast<float>(i), 5, -0.5f * static_cast<float>(i)});
  for (int i = 0; i < 400; ++i) {
    const float s = static_cast<float>(i % 100);
    const Vec3 legs[4] = {{s, 1, 0}, {100, 1, s}, {100 - s, 1, 100}, {0, 1, 100 - s}};
    square.push_back(legs[i / 100]);
  }
  square.push_back({0, 1, 0});
  for (int i = 0; i < 9; ++i) {
    fine.push_back({i % 2 ? 0.04f : 0.0f, 1, static_cast<float>(i)});
    coarse.push_back({i == 4 ? 0.06f : 0.0f, 1, static_cast<float>(i)});
    broken.push_back({static_cast<float>(i), i == 4 ? nan : 1.0f, 0});
  }
  struct Case {
    const char* name;
    std::vector<Vec3> frames;
    std::vector<Points> runs;
  } cases[] = {
      {"a straight line needs its ends", straight, {{{0, 0}, {249.75, -499.5}}}},
      {"the corners of a square", square, {{{0, 0}, {100, 0}, {100, 100}, {0, 100}, {0, 0}}}},
      {"a wobble under the tolerance", fine, {{{0, 0}, {0, 8}}}},
      {"a bump over it", coarse, {{{0, 0}, {static_cast<double>(0.06f), 4}, {0, 8}}}},
      {"a position that is not a number splits the line", broken, {{{0, 0}, {3, 0}}, {{5, 0}, {8, 0}}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(TrackOf(FlightSummary{}, Flight(c.frames)).runs, c.runs);
  }
}

// Each flight is one path in its ghost's colour: entry 1 and entry 2 of the
// table hold flights 0 and 1. Seen from above with +z up, +x runs left.
TEST(FlightMapSvg, OnePathPerFlightInItsGhostColourNorthUp) {
  FlightTrack east{0, false, {{{0, 0}, {10, 0}}}};
  FlightTrack north{1, true, {{{0, 0}, {0, 10}}}};
  const std::string svg = FlightMapSvg({east, north});
  const std::regex path(
      "<path id=\"flight-(\\d+)\" class=\"flight\" d=\"M([-\\d.]+) ([-\\d.]+) L([-\\d.]+) "
      "([-\\d.]+)\" fill=\"none\" stroke=\"(#[0-9a-f]{6})\"");
  std::vector<std::smatch> found;
  for (auto it = std::sregex_iterator(svg.begin(), svg.end(), path); it != std::sregex_iterator(); ++it)
    found.push_back(*it);
  ASSERT_EQ(found.size(), 2u) << svg;
  const auto at = [&](int flight, int group) { return std::stod(found[flight][group].str()); };
  EXPECT_EQ(found[0][1], "0");
  EXPECT_EQ(found[0][6], "#b0b1d0");  // entry 1: (0.6906, 0.6933, 0.8141)
  EXPECT_LT(at(0, 4), at(0, 2));      // +x to the left
  EXPECT_EQ(at(0, 5), at(0, 3));
  EXPECT_EQ(found[1][1], "1");
  EXPECT_EQ(found[1][6], "#78acb6");  // entry 2: (0.4698, 0.6739, 0.7138)
  EXPECT_LT(at(1, 5), at(1, 3));      // +z up
  EXPECT_EQ(at(1, 4), at(1, 2));
  EXPECT_NE(svg.find(">flight 1 (damaged)</text>"), std::string::npos);
}

// --map writes only a new file or a plain file that is none of the data
// folder's own; whatever it refuses or fails to write stays as it was, and
// no temporary file is left.
TEST(WriteFlightMap, OnlyANewOrPlainFileOutsideTheDataFoldersOwn) {
  namespace fs = std::filesystem;
  const auto write = [](const fs::path& p, const char* text) { std::ofstream(p, std::ios::binary) << text; };
  const auto read = [](const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  };
  struct Case {
    const char* what;
    std::string target;
    std::function<void()> before;
    int status;
    std::function<void()> after;
  } cases[] = {
      {"a new file", "new.svg", [] {}, 0, [&] { EXPECT_EQ(read("new.svg").rfind("<?xml", 0), 0u); }},
      {"the counter", "mem.txt", [&] { write("mem.txt", "4\n"); }, 1, [&] { EXPECT_EQ(read("mem.txt"), "4\n"); }},
      {"the counter before there is one", "./MEM.TXT", [] {}, 1, [] { EXPECT_FALSE(fs::exists("mem.txt")); }},
      {"a recording", "recordings/rec0000.bin", [&] { write("recordings/rec0000.bin", "flight"); }, 1,
       [&] { EXPECT_EQ(read("recordings/rec0000.bin"), "flight"); }},
      {"a new name among the recordings", "recordings/map.svg", [] {}, 1,
       [] { EXPECT_TRUE(fs::is_empty("recordings")); }},
      {"a missing folder", "gone/map.svg", [] {}, 1, [] { EXPECT_FALSE(fs::exists("gone")); }},
#ifndef _WIN32
      {"a FIFO", "map.svg", [] { mkfifo("map.svg", 0644); }, 1, [] { EXPECT_TRUE(fs::is_fifo("map.svg")); }},
      {"a link to the counter", "map.svg", [&] { write("mem.txt", "4\n"); fs::create_symlink("mem.txt", "map.svg"); },
       1, [&] { EXPECT_TRUE(fs::is_symlink("map.svg")); EXPECT_EQ(read("mem.txt"), "4\n"); }},
      {"a read-only file keeps its mode", "old.svg", [&] { write("old.svg", "old"); chmod("old.svg", 0444); }, 0,
       [&] {
         EXPECT_EQ(read("old.svg").rfind("<?xml", 0), 0u);
         EXPECT_EQ(fs::status("old.svg").permissions(), fs::perms(0444));
       }},
      {"a file-size limit", "big.svg", [] {}, 1, [] { EXPECT_FALSE(fs::exists("big.svg")); }},
#endif
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    test::GameHarness h;
    c.before();
    testing::internal::CaptureStderr();
#ifndef _WIN32
    std::unique_ptr<test::FileSizeLimit> limit;
    if (c.target == "big.svg") limit = std::make_unique<test::FileSizeLimit>(1000);
#endif
    const int status = WriteFlightMap(c.target);
#ifndef _WIN32
    limit.reset();
#endif
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(status, c.status) << err;
    if (c.status != 0) {
      EXPECT_NE(err.find("vantaloop: "), std::string::npos);
    }
    c.after();
    for (const auto& entry : fs::recursive_directory_iterator("."))
      EXPECT_NE(entry.path().extension(), ".tmp") << entry.path();
  }
}

}  // namespace
}  // namespace vl
