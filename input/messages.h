// Window messages as the game understands them: the classic Win32 message
// numbers, with wParam and lParam packed exactly as Windows packs them.
// Whatever the windowing system, its events arrive in this form.
#pragma once

#include <cstdint>

namespace vl {

struct Msg {
  uint32_t message = 0;
  uintptr_t wParam = 0;
  intptr_t lParam = 0;
};

namespace wm {
constexpr uint32_t MOVE = 0x0003;
constexpr uint32_t SIZE = 0x0005;
constexpr uint32_t ACTIVATE = 0x0006;
constexpr uint32_t PAINT = 0x000F;
constexpr uint32_t CLOSE = 0x0010;
constexpr uint32_t QUIT = 0x0012;
constexpr uint32_t SETCURSOR = 0x0020;
constexpr uint32_t KEYDOWN = 0x0100;
constexpr uint32_t KEYUP = 0x0101;
constexpr uint32_t CHAR = 0x0102;
constexpr uint32_t DEADCHAR = 0x0103;
constexpr uint32_t SYSKEYDOWN = 0x0104;
constexpr uint32_t SYSKEYUP = 0x0105;
constexpr uint32_t SYSCHAR = 0x0106;
constexpr uint32_t MOUSEMOVE = 0x0200;
constexpr uint32_t LBUTTONDOWN = 0x0201;
constexpr uint32_t LBUTTONUP = 0x0202;
constexpr uint32_t RBUTTONDOWN = 0x0204;
constexpr uint32_t RBUTTONUP = 0x0205;
constexpr uint32_t MBUTTONDOWN = 0x0207;
constexpr uint32_t MBUTTONUP = 0x0208;
constexpr uint32_t MOUSEWHEEL = 0x020A;
constexpr uint32_t MOUSELEAVE = 0x02A3;
}  // namespace wm

// WM_ACTIVATE's low word (WA_INACTIVE and so on). Like the other Win32
// numbers here they live in namespaces without their prefixes, so that
// windows.h, whose macros carry the prefixed names, can sit beside them.
namespace wa {
constexpr uint32_t INACTIVE = 0;
constexpr uint32_t ACTIVE = 1;
constexpr uint32_t CLICKACTIVE = 2;
}  // namespace wa

// GetSystemMetrics indices used to turn window positions into client ones.
namespace sm {
constexpr int CYCAPTION = 4;
constexpr int CXFRAME = 32;
constexpr int CYFRAME = 33;
}  // namespace sm

// Windows virtual-key codes the game and its back end refer to by name.
namespace vk {
constexpr int BACK = 0x08, TAB = 0x09, CLEAR = 0x0C, RETURN = 0x0D;
constexpr int SHIFT = 0x10, CONTROL = 0x11, MENU = 0x12;
constexpr int ESCAPE = 0x1B, SPACE = 0x20;
constexpr int PRIOR = 0x21, NEXT = 0x22, END = 0x23, HOME = 0x24;
constexpr int LEFT = 0x25, UP = 0x26, RIGHT = 0x27, DOWN = 0x28;
constexpr int INSERT = 0x2D, DELETE_ = 0x2E;
constexpr int NUMPAD0 = 0x60, MULTIPLY = 0x6A, ADD = 0x6B, SUBTRACT = 0x6D, DECIMAL = 0x6E,
              DIVIDE = 0x6F;
constexpr int F1 = 0x70, F10 = 0x79, F24 = 0x87;
constexpr int OEM_1 = 0xBA, OEM_PLUS = 0xBB, OEM_COMMA = 0xBC, OEM_MINUS = 0xBD,
              OEM_PERIOD = 0xBE, OEM_2 = 0xBF, OEM_3 = 0xC0, OEM_4 = 0xDB, OEM_5 = 0xDC,
              OEM_6 = 0xDD, OEM_7 = 0xDE, OEM_102 = 0xE2;
}  // namespace vk

// Win32's packing helpers.
constexpr intptr_t MakeLParam(int lo, int hi) {
  return static_cast<intptr_t>(static_cast<int32_t>(
      (static_cast<uint32_t>(lo) & 0xFFFFu) | ((static_cast<uint32_t>(hi) & 0xFFFFu) << 16)));
}
constexpr uintptr_t MakeWParam(int lo, int hi) {
  return static_cast<uintptr_t>(
      (static_cast<uint32_t>(lo) & 0xFFFFu) | ((static_cast<uint32_t>(hi) & 0xFFFFu) << 16));
}
constexpr uint32_t LoWord(uintptr_t v) { return static_cast<uint32_t>(v) & 0xFFFFu; }
constexpr uint32_t HiWord(uintptr_t v) { return (static_cast<uint32_t>(v) >> 16) & 0xFFFFu; }

}  // namespace vl
