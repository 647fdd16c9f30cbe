// F11 and Alt+Enter switch the game window between a window and the whole
// desktop (SDL's desktop full screen: no change of display mode). The keys
// are watched as SDL queues them and stay in the queue, so the game's own
// key state sees them as any other key. The switch itself is made at a
// quiet moment (Apply), never from inside SDL's event handling. The new
// size reaches the game through the usual size messages.
#pragma once

#include <SDL.h>

namespace vl {

// Set by the command line (--fullscreen): the window starts in full screen.
extern bool startFullscreen;

class FullscreenKeys {
 public:
  explicit FullscreenKeys(SDL_Window* window);
  ~FullscreenKeys();
  FullscreenKeys(const FullscreenKeys&) = delete;
  FullscreenKeys& operator=(const FullscreenKeys&) = delete;

  // Makes the switches asked for since the last call.
  void Apply();

  static bool IsToggleKey(const SDL_KeyboardEvent& key);

 private:
  static int Watch(void* self, SDL_Event* event);
  SDL_Window* window_;
  int pending_ = 0;  // presses not yet applied
};

// Switches `window` between windowed and desktop full screen.
void ToggleFullscreen(SDL_Window* window);

}  // namespace vl
