// vantaloop: fly through the box city; every long flight is kept and flown
// again by a ghost in later runs.
#include <SDL.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <system_error>

#include "flight/flight_list.h"
#include "flight/ghost_choice.h"
#include "flight/replay.h"
#include "os/files.h"
#include "shell/command_line.h"
#include "platform/console.h"
#include "platform/frame_count_file.h"
#include "platform/gl_functions.h"
#include "platform/gles_layer.h"
#include "platform/sdl_fullscreen.h"
#include "platform/sdl_loop.h"
#include "platform/sdl_window.h"
#include "platform/test_hooks.h"
#include "render/flight_map.h"
#include "shell/main_loop.h"

namespace {
// A folder named in UTF-8, as the command line gives it on every system
// (on Windows, SDL2main hands main() the command line in UTF-8).
std::filesystem::path Utf8Path(const std::string& name) {
  return std::filesystem::path(std::u8string(name.begin(), name.end()));
}

// A file named in the environment, taken from where the game was started,
// not from the data folder it moves to.
std::string FromStartFolder(const std::string& name) {
  if (name.empty()) return name;
  std::error_code ec;
  const std::filesystem::path whole = std::filesystem::absolute(Utf8Path(name), ec);
  if (ec) return name;
  const std::u8string text = whole.u8string();
  return std::string(text.begin(), text.end());
}

// The player's own folder for the game's files (on Windows
// %APPDATA%\vantaloop); empty when the system has none.
std::string PlayerDataFolder() {
  char* path = SDL_GetPrefPath("", "vantaloop");
  if (!path) return {};
  std::string folder = path;
  SDL_free(path);
  return folder;
}
}  // namespace

int main(int argc, char** argv) {
  const bool fromConsole = vl::ConnectToConsole();
  const vl::CommandLine cl = vl::ParseCommandLine(argc, argv);
  if (!cl.error.empty()) {
    std::fprintf(stderr, "vantaloop: %s\n%s", cl.error.c_str(), vl::UsageText());
    return 2;
  }
  if (cl.help) {
    std::fputs(vl::UsageText(), stdout);
    return 0;
  }
  if (cl.version) {
    std::printf("vantaloop %s\n", VANTALOOP_VERSION);
    return 0;
  }
  // A write that passes a file-size limit fails like a full disk, for the
  // map as for a flight, instead of ending the program.
  vl::os::KeepRunningAtFileSizeLimit();
  // The map's file name is taken from where the game was started, not from
  // the data folder.
  std::string mapFile = cl.mapFile;
  if (!mapFile.empty()) {
    std::error_code ec;
    const std::filesystem::path whole = std::filesystem::absolute(Utf8Path(mapFile), ec);
    if (ec) {
      // The folder the game was started in is gone, say: the name would
      // otherwise be taken inside the data folder.
      std::fprintf(stderr, "vantaloop: cannot write the map to '%s': %s\n", mapFile.c_str(), ec.message().c_str());
      return 1;
    }
    const std::u8string text = whole.lexically_normal().generic_u8string();
    mapFile.assign(text.begin(), text.end());
  }
  const std::string frameCountName = FromStartFolder(vl::FrameCountFile::NameFromEnvironment());
  // Showing the flights needs no window, and writes nothing into the data
  // folder: a missing one is not made.
  const bool showFlights = cl.list || !mapFile.empty();
  // Started from the desktop (a double-click, the start menu), the game's
  // working folder may be its own read-only install folder: its files go to
  // the player's own folder then. From a console they stay where they are.
  const std::string dataDir = !cl.dataDir.empty() || fromConsole ? cl.dataDir : PlayerDataFolder();
  if (!dataDir.empty()) {
    // The data folder becomes the working folder before anything is written.
    std::error_code ec;
    if (!showFlights) std::filesystem::create_directories(Utf8Path(dataDir), ec);
    if (!ec) std::filesystem::current_path(Utf8Path(dataDir), ec);
    if (ec) {
      std::fprintf(stderr, "vantaloop: cannot use '%s' as the data folder: %s\n", dataDir.c_str(),
                   ec.message().c_str());
      return 1;
    }
  }
  if (showFlights) {
    int code = cl.list ? vl::PrintFlightList(cl.json, stdout) : 0;
    if (!mapFile.empty() && code == 0) code = vl::WriteFlightMap(mapFile);
    return code;
  }
  if (cl.ghostsChosen) vl::ChooseGhosts(cl.ghosts);
  if (cl.replay >= 0) {
    std::string why;
    if (!vl::StartReplay(cl.replay, why)) {
      std::fprintf(stderr, "vantaloop: cannot replay flight %d: %s\n", cl.replay, why.c_str());
      return 1;
    }
  }
  vl::startFullscreen = cl.fullscreen;

  // The video and joystick parts start when the window and the devices are
  // made; SDL's own start-up also turns SIGINT and SIGTERM into a quit.
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "0");
  if (SDL_Init(SDL_INIT_EVENTS) != 0) {
    SDL_Log("vantaloop: SDL could not start: %s", SDL_GetError());
    return 1;
  }
  vl::InstallSystemGl();
  vl::InstallTestHooks();
  int code = 0;
  {
    vl::SdlWindowPlatform windowPlatform;
    windowPlatform.gles = vl::GlesLayerWanted();
    vl::SdlWindowOps windowOps;
    vl::SdlLoopPlatform loopPlatform;
    loopPlatform.lowPower = cl.lowPower;
    std::unique_ptr<vl::FrameCountFile> frameCount;
    if (!frameCountName.empty()) frameCount = std::make_unique<vl::FrameCountFile>(frameCountName);
    loopPlatform.frameCount = frameCount.get();
    vl::windowPlatform = &windowPlatform;
    vl::windowOps = &windowOps;
    vl::loopPlatform = &loopPlatform;

    code = vl::WinMain();

    vl::inputDevices.reset();
  }
  SDL_Quit();
  return code;
}
