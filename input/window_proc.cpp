#include "input/window_proc.h"

#include <algorithm>
#include <cmath>

#include "input/input_state.h"
#include "shell/main_loop.h"
#include "shell/window.h"

namespace vl {

WindowOps* windowOps = nullptr;

namespace {

int32_t SignedLo(intptr_t v) { return static_cast<int16_t>(static_cast<uint32_t>(v) & 0xFFFFu); }
int32_t SignedHi(intptr_t v) { return static_cast<int16_t>((static_cast<uint32_t>(v) >> 16) & 0xFFFFu); }

// One coordinate in the units of the window settings' size: divide first,
// then multiply, rounded to the nearest integer with ties to even. A client
// area far smaller than the recorded size could scale past what an int32
// holds; such a value is pinned to the int32 range.
int32_t ScaleCoordinate(double v, int32_t client, int32_t settings) {
  const double scaled = std::nearbyint(v / client * settings);
  return static_cast<int32_t>(std::clamp(scaled, -2147483648.0, 2147483647.0));
}

// Scales a client position to the units of the window settings' size. A
// client area of zero width or height keeps the previous value.
void ScaledPosition(intptr_t lParam, int32_t& outX, int32_t& outY) {
  const double x = LoWord(static_cast<uintptr_t>(lParam));
  const double y = HiWord(static_cast<uintptr_t>(lParam));
  int32_t cw = 0, ch = 0;
  windowOps->GetClientRect(cw, ch);
  if (cw != 0) outX = ScaleCoordinate(x, cw, windowSettings.width);
  if (ch != 0) outY = ScaleCoordinate(y, ch, windowSettings.height);
}

}  // namespace

intptr_t WndProc(const Msg& msg) {
  const uintptr_t wParam = msg.wParam;
  const intptr_t lParam = msg.lParam;
  switch (msg.message) {
    case wm::MOVE: {
      const int32_t x = SignedLo(lParam) - windowOps->GetSystemMetrics(sm::CXFRAME);
      if (x > -3000) windowSettings.posX = x;
      const int32_t y = SignedHi(lParam) - windowOps->GetSystemMetrics(sm::CYFRAME) -
                        windowOps->GetSystemMetrics(sm::CYCAPTION);
      if (y > -3000) windowSettings.posY = y;
      return 0;
    }
    case wm::SIZE: {
      sizeChanged = true;
      const uint32_t w = LoWord(static_cast<uintptr_t>(lParam));
      const uint32_t h = HiWord(static_cast<uintptr_t>(lParam));
      if (w > 5) windowSettings.width = static_cast<int32_t>(w);
      if (h > 5) windowSettings.height = static_cast<int32_t>(h);
      ResizeViewport(windowSettings.width, windowSettings.height);
      return 0;
    }
    case wm::ACTIVATE: {
      const uint32_t state = LoWord(wParam);
      if (state == wa::INACTIVE) {
        windowActive = false;
        activationChanged = true;
      } else if (state == wa::ACTIVE || state == wa::CLICKACTIVE) {
        windowActive = HiWord(wParam) == 0;
        activationChanged = true;
      }
      return 0;
    }
    case wm::PAINT:
      ++paintCount;
      if (paintCount > 2) PresentFrame();
      return windowOps->DefaultWindowProc(msg);
    case wm::CLOSE:
      closeRequested = true;
      return 0;
    case wm::SETCURSOR:
      if (UpdateCursor()) return 0;
      return windowOps->DefaultWindowProc(msg);
    case wm::KEYDOWN: {
      const uint32_t k = static_cast<uint32_t>(wParam) & 0xFFFFu;
      if (!keysHeld[k]) keysPressed[k] = 1;
      keysHeld[k] = 1;
      return 0;
    }
    case wm::KEYUP:
      keysReleased[static_cast<uint32_t>(wParam) & 0xFFFFu] = 1;
      return 0;
    case wm::CHAR: {
      uint8_t c = static_cast<uint8_t>(wParam & 0xFFu);
      if (c >= 'a' && c <= 'z') c = static_cast<uint8_t>(c - 32);
      typedChar = c;
      return 0;
    }
    case wm::SYSKEYDOWN:
      return 0;
    case wm::MOUSEMOVE:
      if (!mouseInside) {
        mouseInside = true;
        windowOps->TrackMouseLeave();
      }
      ScaledPosition(lParam, mouseX, mouseY);
      return 0;
    case wm::LBUTTONDOWN:
      mouseLeft = true;
      ScaledPosition(lParam, clickX, clickY);
      clickPending = true;
      return 0;
    case wm::LBUTTONUP:
      mouseLeft = false;
      return 0;
    case wm::RBUTTONDOWN:
      mouseRight = true;
      return 0;
    case wm::RBUTTONUP:
      mouseRight = false;
      return 0;
    case wm::MBUTTONDOWN:
      mouseMiddle = true;
      return 0;
    case wm::MBUTTONUP:
      mouseMiddle = false;
      return 0;
    case wm::MOUSEWHEEL: {
      const uint32_t d = HiWord(wParam);
      if ((d & 0x7FFFu) == 0) return 0;
      mouseWheel += (d & 0x8000u) ? -1 : 1;
      return 0;
    }
    case wm::MOUSELEAVE:
      mouseLeft = mouseRight = mouseMiddle = false;
      mouseInside = false;
      return 0;
    default:
      return windowOps->DefaultWindowProc(msg);
  }
}

bool CursorInClient() {
  int32_t x = 0, y = 0;
  windowOps->GetCursorPos(x, y);
  const int32_t left = windowSettings.posX + windowOps->GetSystemMetrics(sm::CXFRAME);
  const int32_t top = windowSettings.posY + windowOps->GetSystemMetrics(sm::CYFRAME) +
                      windowOps->GetSystemMetrics(sm::CYCAPTION);
  return left <= x && x < left + windowSettings.width && top <= y && y < top + windowSettings.height;
}

bool UpdateCursor() {
  if (!mouseInside || !CursorInClient()) return false;
  if (cursorHidden) {
    windowOps->SetCursor(nullptr);
    return true;
  }
  switch (cursorShape) {
    case 0: windowOps->SetCursor(cursorTable[0]); break;
    case 1: windowOps->SetCursor(nullptr); break;
    case 2: case 3: case 4: case 5: windowOps->SetCursor(cursorTable[cursorShape]); break;
    default: break;
  }
  return true;
}

}  // namespace vl
