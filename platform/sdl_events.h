// The one place where SDL's events become the game's window messages.
//
// Each event becomes the messages Windows would have sent for the same
// happening, packed as Windows packs them:
//   key down/up      WM_KEYDOWN/WM_KEYUP, wParam the virtual-key code, lParam
//                    repeat count 1, scan code (bits 16-23), extended key
//                    (24), Alt down (29), previously down (30), released
//                    (31); with Alt held (and Control not) and for F10,
//                    WM_SYSKEYDOWN/WM_SYSKEYUP instead. AltGr counts as
//                    Control+Alt, as on Windows: its keys are not system
//                    keys. Enter, Tab, Backspace, Escape and Control+letter
//                    also give their control character as WM_CHAR, as
//                    Windows' TranslateMessage does.
//   typed text       one WM_CHAR per character, in the Windows-1252 code
//                    page ('?' for characters it lacks); WM_SYSCHAR when it
//                    follows a system key-down
//   pointer          positions in window coordinates (points); the window
//                    procedure scales them by the client size, also in points
//   pointer motion   WM_SETCURSOR (hit-test HTCLIENT), then WM_MOUSEMOVE with
//                    the client position; none while the pointer is outside
//                    the client area
//   buttons          WM_L/M/RBUTTONDOWN and ...UP with the client position
//   wheel            WM_MOUSEWHEEL, ±120 per notch in wParam's high word
//   window moved     WM_MOVE, lParam the client area's screen corner
//   size changed     WM_SIZE, lParam the drawable size in pixels, wParam
//                    SIZE_RESTORED or SIZE_MAXIMIZED
//   minimised        WM_ACTIVATE (inactive, minimised), WM_SIZE SIZE_MINIMIZED 0 x 0
//   restored         WM_SIZE SIZE_RESTORED, WM_ACTIVATE (focus, not minimised)
//   focus in/out     WM_ACTIVATE WA_ACTIVE/WA_INACTIVE, minimised state in
//                    the high word
//   exposed          WM_PAINT
//   close button     WM_CLOSE
//   pointer left     kPointerLeft; the queue turns it into WM_MOUSELEAVE when
//                    leave tracking is armed by the time it is taken out
//   SDL_QUIT         WM_QUIT
// Events for other windows are dropped.
#pragma once

#include <SDL.h>

#include <deque>

#include "input/messages.h"

namespace vl {

// What the translator knows of the window, and what it keeps from one event
// to the next.
struct EventContext {
  uint32_t windowId = 0;            // the game window's SDL id
  float pixelsPerPointX = 1.0f;     // drawable size / window size
  float pixelsPerPointY = 1.0f;
  // Whether the layout's right Alt key is AltGr. SDL reports AltGr as the
  // right Alt key; once it makes a key type a character of its own, neither
  // case of the key's symbol (AltGr+Q typing '@' on a German layout), the
  // layout is known to have one. The keypad teaches nothing: with Num Lock
  // its keys type digits whatever the layout.
  bool rightAltIsAltGr = false;
  // The last key pressed with the right Alt key as its only modifier, and
  // its symbol, until the text it types arrives.
  bool rightAltKeyDown = false;
  SDL_Keycode rightAltKeySym = SDLK_UNKNOWN;
  SDL_Scancode rightAltKeyScancode = SDL_SCANCODE_UNKNOWN;
};

// The pointer left the window. Windows sends WM_MOUSELEAVE only while leave
// tracking is armed, and the move that arms it may be the message just
// before this one; so the queue, not the translator, decides (a message
// number of the program's own, in the WM_APP range).
constexpr uint32_t kPointerLeft = 0x8001;

// WM_SIZE's wParam (SIZE_RESTORED and so on).
namespace wmsize {
constexpr uintptr_t RESTORED = 0;
constexpr uintptr_t MINIMIZED = 1;
constexpr uintptr_t MAXIMIZED = 2;
}  // namespace wmsize

// The hit-test code of the client area (HTCLIENT), in WM_SETCURSOR's lParam.
namespace ht {
constexpr int CLIENT = 1;
}  // namespace ht

// Appends the messages that Windows would have sent for this event.
void TranslateEvent(const SDL_Event& event, EventContext& ctx, std::deque<Msg>& out);

}  // namespace vl
