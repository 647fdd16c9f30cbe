// The window procedure: the one place where window messages become the
// game's message input state.
#pragma once

#include <cstdint>

#include "input/messages.h"

namespace vl {

using CursorHandle = void*;

// The windowing operations the window procedure relies on.
class WindowOps {
 public:
  virtual ~WindowOps() = default;
  // Frame and caption sizes of the real window (SM_CXFRAME, SM_CYFRAME,
  // SM_CYCAPTION), used to turn the outer window corner into the client one.
  virtual int GetSystemMetrics(int index) = 0;
  // The client area's size, in the units of mouse positions.
  virtual void GetClientRect(int32_t& width, int32_t& height) = 0;
  // The pointer's position on the screen.
  virtual void GetCursorPos(int32_t& x, int32_t& y) = 0;
  // Asks for one WM_MOUSELEAVE when the pointer next leaves the window.
  virtual void TrackMouseLeave() = 0;
  // Shows the cursor, or none when given nullptr.
  virtual void SetCursor(CursorHandle cursor) = 0;
  // The window system's default handling of a message.
  virtual intptr_t DefaultWindowProc(const Msg& msg) = 0;
};

// The operations in use; set by the platform layer (or a test) before any
// message is dispatched.
extern WindowOps* windowOps;

intptr_t WndProc(const Msg& msg);
bool CursorInClient();
bool UpdateCursor();

}  // namespace vl
