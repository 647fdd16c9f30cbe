// vantaloop: fly through the box city; every long flight is kept and flown
// again by a ghost in later runs.
#include <SDL.h>

#include <csignal>

#include "platform/gl_functions.h"
#include "platform/sdl_loop.h"
#include "platform/sdl_window.h"
#include "shell/main_loop.h"

int main(int, char**) {
  // The video and joystick parts start when the window and the devices are
  // made; SDL's own start-up also turns SIGINT and SIGTERM into a quit.
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "0");
  if (SDL_Init(SDL_INIT_EVENTS) != 0) {
    SDL_Log("vantaloop: SDL could not start: %s", SDL_GetError());
    return 1;
  }
  // A file-size limit makes a write fail, reported like a full disk,
  // instead of ending the game.
  std::signal(SIGXFSZ, SIG_IGN);
  vl::InstallSystemGl();
  int code = 0;
  {
    vl::SdlWindowPlatform windowPlatform;
    vl::SdlWindowOps windowOps;
    vl::SdlLoopPlatform loopPlatform;
    vl::windowPlatform = &windowPlatform;
    vl::windowOps = &windowOps;
    vl::loopPlatform = &loopPlatform;

    code = vl::WinMain();

    vl::inputDevices.reset();
  }
  SDL_Quit();
  return code;
}
