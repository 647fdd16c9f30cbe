// The file operations where the systems differ most: the save lock, names
// beyond ASCII, reading while another copy replaces the file, and telling
// which temporary files no running copy is writing.
#include "os/files.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

#include "tests/support/fakes.h"

namespace vl {
namespace {

namespace fs = std::filesystem;
using test::GameHarness;

// A new file `name` holding `text`, made the way the game makes its files.
void MakeFile(const std::string& name, const std::string& text) {
  std::string temp;
  std::FILE* f = os::CreateTemp(name, temp);
  ASSERT_NE(f, nullptr);
  std::fputs(text.c_str(), f);
  ASSERT_TRUE(os::Finish(f));
  ASSERT_EQ(os::ClaimName(temp, name, true), os::Claim::kDone);
}

std::string ReadAll(std::FILE* f) {
  std::string text;
  for (int c; (c = std::fgetc(f)) != EOF;) text += static_cast<char>(c);
  return text;
}

TEST(SaveLock, OneCopyAtATimeAndNothingLeftBehind) {
  GameHarness h;
  fs::create_directory("recordings");
  {
    const os::SaveLock first("recordings", 0);
    ASSERT_TRUE(first.Held());
    const os::SaveLock second("recordings", 20);
    EXPECT_FALSE(second.Held());
  }
  {
    const os::SaveLock again("recordings", 0);
    EXPECT_TRUE(again.Held());
  }
  EXPECT_TRUE(fs::is_empty("recordings"));
}

TEST(Files, NamesBeyondAsciiAreKeptAsTheyAre) {
  GameHarness h;
  const std::string name = "fl\xC3\xBCge-\xE2\x9C\x88.txt";  // "flüge-✈.txt" in UTF-8
  MakeFile(name, "7\n");
  EXPECT_TRUE(fs::is_regular_file(fs::path(u8"fl\u00FCge-\u2708.txt")));
  std::FILE* f = os::OpenForReading(name);
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(ReadAll(f), "7\n");
  std::fclose(f);
}

// Another copy may move mem.txt on while this one is reading it: the move
// waits the moment that the reading takes (on Windows, unless the drive lets
// the old file live on for its reader without its name).
TEST(Files, AFileBeingReadIsReplacedOnceTheReaderLetsGo) {
  GameHarness h;
  MakeFile("mem.txt", "3\n");
  std::FILE* reading = os::OpenForReading("mem.txt");
  ASSERT_NE(reading, nullptr);
  std::string temp;
  std::FILE* f = os::CreateTemp("mem.txt", temp);
  ASSERT_NE(f, nullptr);
  std::fputs("4\n", f);
  ASSERT_TRUE(os::Finish(f));
  std::thread reader([reading] {
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    std::fclose(reading);
  });
  EXPECT_TRUE(os::MoveOver(temp, "mem.txt"));
  reader.join();
  std::FILE* now = os::OpenForReading("mem.txt");
  ASSERT_NE(now, nullptr);
  EXPECT_EQ(ReadAll(now), "4\n");
  std::fclose(now);
}

TEST(Files, OnlyTheTemporaryFilesOfGoneWritersAreLeftovers) {
  GameHarness h;
  std::string mine;
  std::FILE* f = os::CreateTemp("rec0001.bin", mine);
  ASSERT_NE(f, nullptr);
  ASSERT_TRUE(os::Finish(f));
  // No process has this number on any system: too large for Linux, and
  // not a multiple of four as Windows numbers are.
  MakeFile("rec0002.bin.2147483647.1.tmp", "cut off");
  MakeFile("rec0003.bin", "whole");
  EXPECT_EQ(os::LeftoverTemps(".", "rec"), std::vector<std::string>({"./rec0002.bin.2147483647.1.tmp"}));
}

}  // namespace
}  // namespace vl
