// libFuzzer target: the window icon reader, from whatever bytes icon.ico
// holds. A decoded icon is never larger than 256 x 256.
#include <SDL.h>

#include <cstdint>
#include <cstdlib>

#include "platform/icon_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (SDL_Surface* s = vl::DecodeIcon(data, size)) {
    if (s->w < 1 || s->h < 1 || s->w > 256 || s->h > 256) std::abort();
    SDL_FreeSurface(s);
  }
  return 0;
}
