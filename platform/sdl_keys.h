// Key numbering: SDL's keys to Windows virtual-key codes (the message input
// state) and to DirectInput key codes (the device object's keyboard).
#pragma once

#include <SDL.h>

namespace vl {

// The Windows virtual-key code of a key, 0 for keys Windows has none for.
int VirtualKeyFromSdl(const SDL_Keysym& key);
// The DirectInput key code of a physical key, 0 for none.
int DirectInputKeyFromScancode(SDL_Scancode sc);

}  // namespace vl
