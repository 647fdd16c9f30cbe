#include "platform/sdl_keys.h"

namespace vl {

int VirtualKeyFromSdl(const SDL_Keysym& key) {
  switch (key.scancode) {
    case SDL_SCANCODE_ESCAPE: return 27;
    default: return 0;
  }
}

int DirectInputKeyFromScancode(SDL_Scancode sc) {
  switch (sc) {
    case SDL_SCANCODE_ESCAPE: return 0x01;
    default: return 0;
  }
}

}  // namespace vl
