#include "shell/log.h"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "tests/support/fakes.h"

namespace vl {
namespace {

using test::GameHarness;

std::string Slurp(const std::filesystem::path& p) {
  std::ifstream in(p);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(Log, StartEmptiesAnExistingFile) {
  GameHarness h;
  { std::ofstream("log.txt") << "old text\nmore\n"; }
  LogStart("log.txt");
  ASSERT_TRUE(std::filesystem::exists("log.txt"));
  EXPECT_EQ(Slurp("log.txt"), "");
  LogWrite("line %d", 1);
  EXPECT_EQ(Slurp("log.txt"), "line 1\n");
}

// Whatever stands in the log's place, the game neither writes outside its
// folder nor waits: a link, a hard link or a FIFO gives way to a new log.
TEST(Log, ALinkOrAFifoGivesWayToANewLog) {
  GameHarness h;
  const auto outside = h.dir.string() + "-outside.txt";
  { std::ofstream(outside) << "keep\n"; }
  const std::function<void()> plant[] = {
#ifndef _WIN32  // mingw's std::filesystem makes no symbolic links
      [&] { std::filesystem::create_symlink(outside, "log.txt"); },
#endif
      [&] { std::filesystem::create_hard_link(outside, "log.txt"); },
#ifndef _WIN32  // Windows has no FIFOs
      [] { ASSERT_EQ(::mkfifo("log.txt", 0600), 0); },
#endif
  };
  for (const auto& how : plant) {
    std::filesystem::remove("log.txt");
    how();
#ifndef _WIN32
    ::alarm(10);  // a log stuck opening a FIFO ends the test here
#endif
    LogStart("log.txt");
    LogWrite("line");
#ifndef _WIN32
    ::alarm(0);
#endif
    EXPECT_EQ(Slurp(outside), "keep\n");
    EXPECT_TRUE(std::filesystem::is_regular_file(std::filesystem::symlink_status("log.txt")));
    EXPECT_EQ(Slurp("log.txt"), "line\n");
  }
  std::filesystem::remove(outside);
}

TEST(Log, NothingHappensBeforeStart) {
  GameHarness h;
  LogWrite("too early");
  LogResume();
  LogWrite("still too early");
  LogSuspend();
  EXPECT_FALSE(std::filesystem::exists("log.txt"));
  LogStart("log.txt");
  LogWrite("now");
  EXPECT_EQ(Slurp("log.txt"), "now\n");
}

TEST(Log, FloodWritesFourHundredNinetyNineLinesThenTheMarker) {
  GameHarness h;
  LogStart("log.txt");
  for (int i = 1; i <= 600; ++i) LogWrite("line %d", i);
  const auto lines = h.ReadLines("log.txt");
  ASSERT_EQ(lines.size(), 501u);
  EXPECT_EQ(lines[0], "line 1");
  EXPECT_EQ(lines[498], "line 499");
  EXPECT_EQ(lines[499], "---- Log flood prevention");
  EXPECT_EQ(lines[500], "");

  // Resuming leaves room for two more lines, then floods again.
  LogResume();
  LogWrite("after a");
  LogWrite("after b");
  LogWrite("after c");
  const auto again = h.ReadLines("log.txt");
  ASSERT_EQ(again.size(), 505u);
  EXPECT_EQ(again[501], "after a");
  EXPECT_EQ(again[502], "after b");
  EXPECT_EQ(again[503], "---- Log flood prevention");
  EXPECT_EQ(again[504], "");
}

TEST(Log, SuspendDropsLinesAndRestartsTheCount) {
  GameHarness h;
  LogStart("log.txt");
  for (int i = 0; i < 400; ++i) LogWrite("a");
  LogSuspend();
  LogWrite("dropped");
  LogResume();
  // The count began again at 0, so 499 more lines fit before the marker.
  for (int i = 0; i < 499; ++i) LogWrite("b");
  const auto lines = h.ReadLines("log.txt");
  EXPECT_EQ(lines.size(), 899u);
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "dropped"), 0);
  EXPECT_NE(lines.back(), "---- Log flood prevention");
}

TEST(Log, WindowHandleIsEightUpperCaseHexDigits) {
  GameHarness h;
  LogStart("log.txt");
  LogWrite("hwnd=%08X", 6699u);
  EXPECT_EQ(Slurp("log.txt"), "hwnd=00001A2B\n");
}

TEST(Log, LongLinesAreCutNotOverrun) {
  GameHarness h;
  LogStart("log.txt");
  const std::string big(5000, 'x');
  LogWrite("%s", big.c_str());
  const auto lines = h.ReadLines("log.txt");
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].size(), 1023u);
}

TEST(Log, AnUnopenableLogIsNotFatal) {
  GameHarness h;
  std::filesystem::create_directory("log-dir");
  LogStart("log-dir");  // a folder: can be neither emptied nor appended to
  LogWrite("lost line");
  LogWrite("another");
  SUCCEED() << "writing to an unopenable log returned normally";
  EXPECT_TRUE(std::filesystem::is_directory("log-dir"));
}

}  // namespace
}  // namespace vl
