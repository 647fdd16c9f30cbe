// How the main loop waits on a desktop: Sleep(0) yields, Sleep(n) sleeps.
#include <SDL.h>

#include <thread>

#include "platform/sdl_loop.h"
#include "shell/tick.h"

namespace vl {

void SdlLoopPlatform::Sleep(uint32_t ms) {
  if (ms == 0) {
    if (lowPower) {
      const auto left = static_cast<int32_t>(lastFrameTime + kTickMs - TimeGetTime());
      if (left > static_cast<int32_t>(kWakeBeforeTickMs))
        SDL_Delay(static_cast<Uint32>(left) - kWakeBeforeTickMs);
    }
    std::this_thread::yield();  // stay runnable; just let others run
  } else {
    SDL_Delay(ms);
  }
}

}  // namespace vl
