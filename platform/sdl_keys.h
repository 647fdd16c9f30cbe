// Key numbering: SDL's keys to Windows virtual-key codes (the message input
// state) and to DirectInput key codes (the device object's keyboard).
//
// The message side reports keys the way Windows' WM_KEYDOWN does: both
// Shift keys as VK_SHIFT (0x10), both Control keys as VK_CONTROL (0x11) and
// both Alt keys as VK_MENU (0x12); left and right differ only in the scan
// code and in the extended-key flag (right Control and right Alt are
// extended keys). The device side keeps them apart, as DirectInput does
// (DIK_LSHIFT 0x2A, DIK_RSHIFT 0x36, ...).
#pragma once

#include <SDL.h>

#include <cstdint>

#include "input/messages.h"

namespace vl {

// The Windows virtual-key code of a key, 0 for keys Windows has none for.
// Letters and the keys that type no character (Escape, Caps Lock, the
// arrows, the modifiers, ...) follow the keyboard layout: the key that types
// 'a' is VK 'A', the key that acts as Escape is VK_ESCAPE wherever it sits.
// Digits and punctuation keep their US place. The keypad follows Num Lock as
// Windows does (keypad 7 without Num Lock is VK_HOME, keypad 5 is VK_CLEAR).
int VirtualKeyFromSdl(const SDL_Keysym& key);

// The DirectInput key code of a physical key, 0 for none.
int DirectInputKeyFromScancode(SDL_Scancode sc);

// The keyboard scan code Windows puts into bits 16-23 of a key message's
// lParam, and whether bit 24 (extended key) is set.
struct WindowsScanCode {
  uint8_t code = 0;
  bool extended = false;
};
WindowsScanCode WindowsScanCodeFromScancode(SDL_Scancode sc);

}  // namespace vl
