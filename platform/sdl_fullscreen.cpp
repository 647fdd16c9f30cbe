#include "platform/sdl_fullscreen.h"

namespace vl {

bool startFullscreen = false;

FullscreenKeys::FullscreenKeys(SDL_Window* window, const EventContext* layout)
    : window_(window), layout_(layout) {
  SDL_AddEventWatch(&FullscreenKeys::Watch, this);
  if (startFullscreen) SDL_SetWindowFullscreen(window_, SDL_WINDOW_FULLSCREEN_DESKTOP);
}

FullscreenKeys::~FullscreenKeys() { SDL_DelEventWatch(&FullscreenKeys::Watch, this); }

bool FullscreenKeys::IsToggleKey(const SDL_KeyboardEvent& key, bool rightAltIsAltGr) {
  if (key.type != SDL_KEYDOWN || key.repeat) return false;
  const SDL_Keycode sym = key.keysym.sym;
  if (sym == SDLK_F11) return true;
  if (sym != SDLK_RETURN && sym != SDLK_KP_ENTER) return false;
  const uint16_t mod = key.keysym.mod;
  if (mod & KMOD_MODE) return false;  // AltGr
  return (mod & KMOD_LALT) != 0 || ((mod & KMOD_RALT) != 0 && !rightAltIsAltGr);
}

int FullscreenKeys::Watch(void* self, SDL_Event* event) {
  auto* keys = static_cast<FullscreenKeys*>(self);
  if (event->type == SDL_KEYDOWN && event->key.windowID == SDL_GetWindowID(keys->window_) &&
      IsToggleKey(event->key, keys->layout_ && keys->layout_->rightAltIsAltGr))
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
