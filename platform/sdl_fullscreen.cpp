#include "platform/sdl_fullscreen.h"

namespace vl {

bool startFullscreen = false;

FullscreenKeys::FullscreenKeys(SDL_Window* window) : window_(window) {
  SDL_AddEventWatch(&FullscreenKeys::Watch, this);
  if (startFullscreen) SDL_SetWindowFullscreen(window_, SDL_WINDOW_FULLSCREEN_DESKTOP);
}

FullscreenKeys::~FullscreenKeys() { SDL_DelEventWatch(&FullscreenKeys::Watch, this); }

bool FullscreenKeys::IsToggleKey(const SDL_KeyboardEvent& key) {
  if (key.type != SDL_KEYDOWN || key.repeat) return false;
  const SDL_Scancode sc = key.keysym.scancode;
  if (sc == SDL_SCANCODE_F11) return true;
  return (sc == SDL_SCANCODE_RETURN || sc == SDL_SCANCODE_KP_ENTER) && (key.keysym.mod & KMOD_ALT) != 0;
}

int FullscreenKeys::Watch(void* self, SDL_Event* event) {
  auto* keys = static_cast<FullscreenKeys*>(self);
  if (event->type == SDL_KEYDOWN && event->key.windowID == SDL_GetWindowID(keys->window_) &&
      IsToggleKey(event->key))
    ++keys->pending_;
  return 0;
}

void FullscreenKeys::Apply() {
  if (pending_ % 2 != 0) ToggleFullscreen(window_);
  pending_ = 0;
}

void ToggleFullscreen(SDL_Window* window) {
  const bool full = (SDL_GetWindowFlags(window) & SDL_WINDOW_FULLSCREEN_DESKTOP) != 0;
  SDL_SetWindowFullscreen(window, full ? 0 : SDL_WINDOW_FULLSCREEN_DESKTOP);
}

}  // namespace vl
