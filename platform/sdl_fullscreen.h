// F11 and Alt+Enter switch the game window between a window and the whole
// desktop (SDL's desktop full screen: no change of display mode). Both keys
// are found through the layout, like the other keys that type no
// character; AltGr+Enter is not Alt+Enter. The keys are watched as SDL
// queues them and stay in the queue, so the game's own
// key state sees them as any other key. The switch itself is made at a
// quiet moment (Apply), never from inside SDL's event handling. The new
// size reaches the game through the usual size messages.
#pragma once

#include <SDL.h>

#include "platform/sdl_events.h"

namespace vl {

// Set by the command line (--fullscreen): the window starts in full screen.
extern bool startFullscreen;

class FullscreenKeys {
 public:
  // `layout` is what the event translator has learnt of the keyboard
  // layout (whether right Alt is AltGr); nullptr: right Alt is Alt.
  FullscreenKeys(SDL_Window* window, const EventContext* layout);
  ~FullscreenKeys();
  FullscreenKeys(const FullscreenKeys&) = delete;
  FullscreenKeys& operator=(const FullscreenKeys&) = delete;

  // Makes the switches asked for since the last call.
  void Apply();

  static bool IsToggleKey(const SDL_KeyboardEvent& key, bool rightAltIsAltGr);

 private:
  static int Watch(void* self, SDL_Event* event);
  SDL_Window* window_;
  const EventContext* layout_;
  int pending_ = 0;  // presses not yet applied
};

// Switches `window` between windowed and desktop full screen.
void ToggleFullscreen(SDL_Window* window);

}  // namespace vl
