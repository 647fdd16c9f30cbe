// The game's command line:
//
//   vantaloop [--data DIR] [--fullscreen] [--low-power] [--ghosts LIST]
//             [--replay N [--timedemo | --video FILE [--size WxH]]
//              [--camera VIEW] [--follow N]] [--list [--json]] [--map FILE.svg]
//             [--help] [--version]
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vl {

struct CommandLine {
  std::string dataDir;  // empty: stay in the folder the game was started in
  bool fullscreen = false;
  bool lowPower = false;
  bool help = false;
  bool version = false;
  bool list = false;           // print the saved flights and exit
  bool json = false;           // ... as JSON
  std::string mapFile;         // write the map of the flights there and exit
  int32_t replay = -1;         // the flight to watch again; -1: play
  bool timedemo = false;       // ... as fast as it draws, once, and print the speed
  std::string videoFile;       // ... rendered into this video file, without a window
  int32_t videoWidth = 1280, videoHeight = 720;
  std::string camera;          // the replay's first view: cockpit, chase or top
  int32_t follow = -1;         // the flight the chase and top views follow; -1: the replayed one
  bool ghostsChosen = false;   // fly these ghosts instead of the loading rule
  std::vector<int32_t> ghosts;
  std::string error;  // what was wrong with the arguments; empty when nothing
};

CommandLine ParseCommandLine(int argc, const char* const* argv);

// The usage text, several lines, ending in a newline.
const char* UsageText();

}  // namespace vl
