// The game's command line:
//
//   vantaloop [--data DIR] [--fullscreen] [--low-power] [--help] [--version]
#pragma once

#include <string>

namespace vl {

struct CommandLine {
  std::string dataDir;  // empty: stay in the folder the game was started in
  bool fullscreen = false;
  bool lowPower = false;
  bool help = false;
  bool version = false;
  std::string error;  // what was wrong with the arguments; empty when nothing
};

CommandLine ParseCommandLine(int argc, const char* const* argv);

// The usage text, several lines, ending in a newline.
const char* UsageText();

}  // namespace vl
