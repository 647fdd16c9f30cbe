#include "platform/command_line.h"

#include <cstring>

namespace vl {

CommandLine ParseCommandLine(int argc, const char* const* argv) {
  CommandLine cl;
  for (int i = 1; i < argc && cl.error.empty(); ++i) {
    const std::string arg = argv[i];
    if (arg == "--data" || arg.rfind("--data=", 0) == 0) {
      std::string dir;
      if (arg == "--data") {
        if (i + 1 >= argc) {
          cl.error = "--data needs a folder";
          break;
        }
        dir = argv[++i];
      } else {
        dir = arg.substr(std::strlen("--data="));
      }
      if (dir.empty()) cl.error = "--data needs a folder";
      cl.dataDir = dir;
    } else if (arg == "--fullscreen") {
      cl.fullscreen = true;
    } else if (arg == "--low-power") {
      cl.lowPower = true;
    } else if (arg == "--help" || arg == "-h") {
      cl.help = true;
    } else if (arg == "--version") {
      cl.version = true;
    } else {
      cl.error = "unknown option '" + arg + "'";
    }
  }
  return cl;
}

const char* UsageText() {
  return "usage: vantaloop [--data DIR] [--fullscreen] [--low-power] [--help] [--version]\n"
         "\n"
         "Fly through the box city; every long flight is kept and flown again\n"
         "by a ghost in later runs.\n"
         "\n"
         "  --data DIR    keep the log, mem.txt and recordings/ in DIR (created\n"
         "                if missing) instead of the current folder\n"
         "  --fullscreen  start in full screen (F11 or Alt+Enter switch)\n"
         "  --low-power   rest the processor between frames instead of waiting\n"
         "                busily for the next frame\n"
         "  --help        show this text and exit\n"
         "  --version     show the version and exit\n"
         "\n"
         "Controls: arrow keys or W/A/S/D steer, Space or left Ctrl brakes, when\n"
         "no joystick or gamepad is plugged in; Escape ends the flight.\n";
}

}  // namespace vl
