// The one place where SDL's events become the game's window messages.
#pragma once

#include <SDL.h>

#include <deque>

#include "input/messages.h"

namespace vl {

struct EventContext {
  uint32_t windowId = 0;            // the game window's SDL id
  float pixelsPerPointX = 1.0f;     // drawable size / window size
  float pixelsPerPointY = 1.0f;
  bool* leaveArmed = nullptr;       // set by TrackMouseLeave, cleared here
};

// Appends the messages that Windows would have sent for this event.
void TranslateEvent(const SDL_Event& event, EventContext& ctx, std::deque<Msg>& out);

}  // namespace vl
