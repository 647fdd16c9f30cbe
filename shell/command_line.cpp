#include "shell/command_line.h"

#include <cstring>

#include "flight/ghost_choice.h"

namespace vl {

namespace {

// The value of an option written "--name VALUE" or "--name=VALUE". False
// when `arg` is another option.
bool OptionValue(const std::string& name, int argc, const char* const* argv, int& i, std::string& value,
                 bool& missing) {
  const std::string arg = argv[i];
  if (arg == name) {
    missing = i + 1 >= argc;
    value = missing ? "" : argv[++i];
    return true;
  }
  if (arg.rfind(name + "=", 0) != 0) return false;
  value = arg.substr(name.size() + 1);
  missing = false;
  return true;
}

// "1280x720": even sizes (the video's colour planes are halved) that any
// encoder takes.
bool ParseSize(const std::string& text, int32_t& width, int32_t& height) {
  const size_t x = text.find('x');
  int32_t w = 0, h = 0;
  if (x == std::string::npos || !ParseFlightNumber(std::string_view(text).substr(0, x), w) ||
      !ParseFlightNumber(std::string_view(text).substr(x + 1), h))
    return false;
  if (w < 16 || h < 16 || w > 7680 || h > 4320 || w % 2 || h % 2) return false;
  width = w;
  height = h;
  return true;
}

}  // namespace

CommandLine ParseCommandLine(int argc, const char* const* argv) {
  CommandLine cl;
  bool sizeGiven = false;
  std::string value;
  bool missing = false;
  for (int i = 1; i < argc && cl.error.empty(); ++i) {
    const std::string arg = argv[i];
    if (OptionValue("--data", argc, argv, i, value, missing)) {
      if (value.empty()) cl.error = "--data needs a folder";
      cl.dataDir = value;
    } else if (OptionValue("--map", argc, argv, i, value, missing)) {
      if (value.empty()) cl.error = "--map needs a file name";
      cl.mapFile = value;
    } else if (OptionValue("--replay", argc, argv, i, value, missing)) {
      if (!ParseFlightNumber(value, cl.replay))
        cl.error = "--replay needs a flight number, not '" + value + "'";
      if (missing) cl.error = "--replay needs a flight number";
    } else if (OptionValue("--ghosts", argc, argv, i, value, missing)) {
      std::string why;
      cl.ghostsChosen = true;
      if (!ParseFlightList(value, cl.ghosts, why)) cl.error = "--ghosts: " + why;
      if (missing || value.empty()) cl.error = "--ghosts needs a list of flights, such as 3,7-9 or none";
    } else if (OptionValue("--video", argc, argv, i, value, missing)) {
      if (value.empty()) cl.error = "--video needs a file name ending in .webm or .mp4";
      cl.videoFile = value;
    } else if (OptionValue("--size", argc, argv, i, value, missing)) {
      sizeGiven = true;
      if (!ParseSize(value, cl.videoWidth, cl.videoHeight))
        cl.error = "--size needs WIDTHxHEIGHT in even pixels from 16x16 to 7680x4320, not '" + value + "'";
    } else if (OptionValue("--camera", argc, argv, i, value, missing)) {
      if (value != "cockpit" && value != "chase" && value != "top")
        cl.error = "--camera is cockpit, chase or top, not '" + value + "'";
      cl.camera = value;
    } else if (OptionValue("--follow", argc, argv, i, value, missing)) {
      if (!ParseFlightNumber(value, cl.follow)) cl.error = "--follow needs a flight number, not '" + value + "'";
    } else if (arg == "--timedemo") {
      cl.timedemo = true;
    } else if (arg == "--list") {
      cl.list = true;
    } else if (arg == "--json") {
      cl.json = true;
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
  if (cl.error.empty() && cl.json && !cl.list) cl.error = "--json goes with --list";
  if (cl.error.empty() && cl.replay < 0 && (cl.timedemo || !cl.videoFile.empty() || !cl.camera.empty() || cl.follow >= 0))
    cl.error = "--timedemo, --video, --camera and --follow go with --replay";
  if (cl.error.empty() && cl.timedemo && !cl.videoFile.empty()) cl.error = "--timedemo and --video do not go together";
  if (cl.error.empty() && cl.videoFile.empty() && sizeGiven) cl.error = "--size goes with --video";
  if (cl.error.empty() && (cl.list || !cl.mapFile.empty()) && (cl.replay >= 0 || cl.ghostsChosen))
    cl.error = "--list and --map show the flights without playing: leave out --replay and --ghosts";
  return cl;
}

const char* UsageText() {
  return "usage: vantaloop [--data DIR] [--fullscreen] [--low-power] [--help] [--version]\n"
         "                 [--ghosts LIST] [--list [--json]] [--map FILE.svg]\n"
         "                 [--replay N [--timedemo | --video FILE [--size WxH]]\n"
         "                  [--camera cockpit|chase|top] [--follow N]]\n"
         "\n"
         "Fly through the box city; every long flight is kept and flown again\n"
         "by a ghost in later runs.\n"
         "\n"
         "  --data DIR    keep the log, mem.txt and recordings/ in DIR (created\n"
         "                if missing) instead of the current folder\n"
         "  --fullscreen  start in full screen (F11 or Alt+Enter switch)\n"
         "  --low-power   rest the processor between frames instead of waiting\n"
         "                busily for the next frame\n"
         "  --ghosts LIST fly these saved flights as ghosts, such as 3,7-9 or none,\n"
         "                instead of those below the number in mem.txt\n"
         "  --replay N    watch flight N again from its cockpit, its ghosts beside\n"
         "                it; nothing is saved (keys below)\n"
         "  --timedemo    with --replay: play it once as fast as the machine draws,\n"
         "                then print the frames, seconds and frames per second\n"
         "  --video FILE  with --replay: render it into FILE, .webm (VP9) or .mp4\n"
         "                (H.264), one video frame per recorded frame, without a\n"
         "                window (Linux builds only)\n"
         "  --size WxH    the video's size (1280x720)\n"
         "  --camera VIEW with --replay: start in the cockpit, chase or top view\n"
         "  --follow N    with --replay: the chase and top views follow flight N\n"
         "  --list        print a table of the saved flights and exit (--json: as\n"
         "                JSON)\n"
         "  --map FILE    draw the city and the saved flights from above into an\n"
         "                SVG file and exit\n"
         "  --help        show this text and exit\n"
         "  --version     show the version and exit\n"
         "\n"
         "Controls: arrow keys or W/A/S/D steer, Space or left Ctrl brakes, when\n"
         "no joystick or gamepad is plugged in; Escape ends the flight.\n"
         "\n"
         "Replay keys: Space pauses; while paused Left/Right or ,/. step a frame;\n"
         "-/+ change the speed (1/4 to 8x); Page Up/Down jump 10 s; Home/End go\n"
         "to the first/last frame; C: cockpit, chase or top view; Tab/Shift+Tab:\n"
         "the aircraft followed; Escape or closing the window ends it.\n";
}

}  // namespace vl
