#include "platform/sdl_events.h"

#include "platform/sdl_keys.h"

namespace vl {

void TranslateEvent(const SDL_Event& e, EventContext& ctx, std::deque<Msg>& out) {
  switch (e.type) {
    case SDL_QUIT:
      out.push_back({wm::QUIT, 0, 0});
      break;
    case SDL_WINDOWEVENT:
      if (e.window.windowID != ctx.windowId) break;
      switch (e.window.event) {
        case SDL_WINDOWEVENT_CLOSE:
          out.push_back({wm::CLOSE, 0, 0});
          break;
        case SDL_WINDOWEVENT_FOCUS_GAINED:
          out.push_back({wm::ACTIVATE, MakeWParam(WA_ACTIVE, 0), 0});
          break;
        case SDL_WINDOWEVENT_FOCUS_LOST:
          out.push_back({wm::ACTIVATE, MakeWParam(WA_INACTIVE, 0), 0});
          break;
        case SDL_WINDOWEVENT_EXPOSED:
          out.push_back({wm::PAINT, 0, 0});
          break;
        default:
          break;
      }
      break;
    case SDL_KEYDOWN:
    case SDL_KEYUP: {
      if (e.key.windowID != ctx.windowId) break;
      const int vk = VirtualKeyFromSdl(e.key.keysym);
      if (vk == 0) break;
      out.push_back({e.type == SDL_KEYDOWN ? wm::KEYDOWN : wm::KEYUP, static_cast<uintptr_t>(vk), 0});
      break;
    }
    default:
      break;
  }
}

}  // namespace vl
