// A web page never waits: the browser calls the game at its display frames
// and runs only the ticks that are due then (shell/tick_schedule.h), so
// there is nothing to yield to and a sleep would only hold the page up,
// the 10 ms rest of a window in the background included.
#include "platform/sdl_loop.h"

namespace vl {

void SdlLoopPlatform::Sleep(uint32_t) {}

}  // namespace vl
