#include "platform/message_box.h"

#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace vl {

namespace {
bool DialogsAllowed() {
  const char* off = std::getenv("VANTALOOP_NO_DIALOGS");
  if (off && *off && std::strcmp(off, "0") != 0) return false;
  // Without a desktop (the offscreen or dummy drivers, or no display at
  // all) nobody could answer a dialog.
  const char* driver = SDL_GetCurrentVideoDriver();
  if (driver && (std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0)) return false;
  const char* hint = std::getenv("SDL_VIDEODRIVER");
  if (hint && (std::strcmp(hint, "offscreen") == 0 || std::strcmp(hint, "dummy") == 0)) return false;
#ifdef _WIN32
  // Windows always has its desktop.
  return true;
#else
  return std::getenv("DISPLAY") != nullptr || std::getenv("WAYLAND_DISPLAY") != nullptr;
#endif
}
}  // namespace

void ShowErrorMessage(const char* caption, const char* text) {
  std::fprintf(stderr, "vantaloop: %s: %s\n", caption, text);
  std::fflush(stderr);
  if (DialogsAllowed()) SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_WARNING, caption, text, nullptr);
}

}  // namespace vl
