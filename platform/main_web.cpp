// vantaloop in a web page. The page (web/vantaloop.html) has read the data
// folder from the browser's storage into /data before main() runs. The
// browser, not the game, decides when the program runs: main() starts the
// game and returns, and the browser calls back once per display frame,
// where the 16 ms ticks that are due run (shell/tick_schedule.h). So the
// platform objects outlive main(). When a flight ends with Escape, the page
// takes its turn at the storage (two tabs may be saving), saves the flight
// and puts it into the browser's storage before it says the flight is kept;
// only then does the game shut down.
#include <SDL.h>
#include <emscripten.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "flight/flight_list.h"
#include "flight/flight_save.h"
#include "flight/recordings.h"
#include "os/files.h"
#include "platform/frame_count_file.h"
#include "platform/gl_functions.h"
#include "platform/gles_layer.h"
#include "platform/sdl_loop.h"
#include "platform/sdl_window.h"
#include "render/flight_map.h"
#include "shell/main_loop.h"
#include "shell/tick_schedule.h"

// What the page does for the game (web/page_storage.js).
EM_JS(void, PageSaveFlight, (), { Module.vlSaveFlight(); });
EM_JS(void, PageGameEnded, (int code), { Module.vlGameEnded(code); });

namespace {

constexpr const char* kDataFolder = "/data";

struct WebGame {
  vl::SdlWindowPlatform windowPlatform;
  vl::SdlWindowOps windowOps;
  vl::SdlLoopPlatform loopPlatform;
  std::unique_ptr<vl::FrameCountFile> frameCount;
};
WebGame* game = nullptr;
bool saveWanted = false;

void WantSave() { saveWanted = true; }

void EndTheGame(int code) {
  vl::inputDevices.reset();
  delete game;
  game = nullptr;
  SDL_Quit();
  PageGameEnded(code);
}

void DisplayFrame() {
  if (vl::RunDueTicks()) return;
  emscripten_cancel_main_loop();
  if (saveWanted) {
    PageSaveFlight();  // calls vl_save_flight and then vl_end_game
    return;
  }
  vl::EndGame();
  EndTheGame(0);
}

// What the last call below had to say, for vl_last_text.
std::string lastText;

}  // namespace

extern "C" {

// The end-of-flight save, run by the page once it holds the storage.
EMSCRIPTEN_KEEPALIVE void vl_save_flight() { vl::EndOfFlightSave(); }

// The frames of the flight that has just ended.
EMSCRIPTEN_KEEPALIVE int vl_flight_frames() { return vl::recordings[0].frameCount; }

// The shutdown after the save.
EMSCRIPTEN_KEEPALIVE void vl_end_game() {
  vl::EndGame();
  EndTheGame(0);
}

// A flight file the page has written under the temporary name `temp`:
// named as a save names a flight. Returns its number, or -1 with the reason
// in vl_last_text().
EMSCRIPTEN_KEEPALIVE int vl_add_flight(const char* temp) {
  std::string why;
  const int32_t number = vl::AddFlightFile(temp, why);
  lastText = why;
  return number;
}

// A new temporary name beside recording file 0, for vl_add_flight; the
// file is made, empty.
EMSCRIPTEN_KEEPALIVE const char* vl_new_flight_temp() {
  std::string temp;
  std::FILE* f = vl::os::CreateTemp("recordings/rec0000.bin", temp);
  if (!f) return nullptr;
  std::fclose(f);
  static std::string kept;
  kept = std::string(kDataFolder) + "/" + temp;
  return kept.c_str();
}

// The table of --list (json: the JSON of --list --json).
EMSCRIPTEN_KEEPALIVE const char* vl_flight_list(int json) {
  static std::string text;
  char* buffer = nullptr;
  size_t size = 0;
  std::FILE* out = open_memstream(&buffer, &size);
  if (!out) return "";
  vl::PrintFlightList(json != 0, out);
  std::fclose(out);
  text.assign(buffer, size);
  std::free(buffer);
  return text.c_str();
}

// The map of --map, written to `path`; 0 when it was written.
EMSCRIPTEN_KEEPALIVE int vl_flight_map(const char* path) { return vl::WriteFlightMap(path); }

EMSCRIPTEN_KEEPALIVE const char* vl_last_text() { return lastText.c_str(); }

}  // extern "C"

int main() {
  if (::chdir(kDataFolder) != 0) {
    std::fprintf(stderr, "vantaloop: cannot use %s as the data folder\n", kDataFolder);
    PageGameEnded(1);
    return 1;
  }
  // The keys reach the game only while its canvas has the focus, so that
  // the page's own buttons and fields take theirs.
  SDL_SetHint(SDL_HINT_EMSCRIPTEN_KEYBOARD_ELEMENT, "#canvas");
  if (SDL_Init(SDL_INIT_EVENTS) != 0) {
    std::fprintf(stderr, "vantaloop: SDL could not start: %s\n", SDL_GetError());
    PageGameEnded(1);
    return 1;
  }
  vl::InstallSystemGl();
  game = new WebGame;
  const std::string frameCountName = vl::FrameCountFile::NameFromEnvironment();
  if (!frameCountName.empty()) game->frameCount = std::make_unique<vl::FrameCountFile>(frameCountName);
  game->loopPlatform.frameCount = game->frameCount.get();
  game->windowPlatform.gles = vl::GlesLayerWanted();
  vl::windowPlatform = &game->windowPlatform;
  vl::windowOps = &game->windowOps;
  vl::loopPlatform = &game->loopPlatform;
  vl::saveAtEscape = WantSave;
  saveWanted = false;

  if (!vl::StartGame()) {
    EndTheGame(1);
    return 1;
  }
  emscripten_set_main_loop(DisplayFrame, 0, false);
  return 0;
}
