#include "platform/sdl_keys.h"

#include <array>

namespace vl {

namespace {

struct KeyCodes {
  uint8_t vk = 0;   // Windows virtual-key code
  uint8_t dik = 0;  // DirectInput key code (the keyboard scan code, 0x80 for extended keys)
};

struct KeyRow {
  SDL_Scancode sc;
  uint8_t vk;
  uint8_t dik;
};

// Every key the game's two key numberings know, by physical key. The
// virtual-key codes are those of the US layout; letters are taken from the
// layout at run time instead (see VirtualKeyFromSdl).
constexpr KeyRow kRows[] = {
    // Letters.
    {SDL_SCANCODE_A, 'A', 0x1E}, {SDL_SCANCODE_B, 'B', 0x30}, {SDL_SCANCODE_C, 'C', 0x2E},
    {SDL_SCANCODE_D, 'D', 0x20}, {SDL_SCANCODE_E, 'E', 0x12}, {SDL_SCANCODE_F, 'F', 0x21},
    {SDL_SCANCODE_G, 'G', 0x22}, {SDL_SCANCODE_H, 'H', 0x23}, {SDL_SCANCODE_I, 'I', 0x17},
    {SDL_SCANCODE_J, 'J', 0x24}, {SDL_SCANCODE_K, 'K', 0x25}, {SDL_SCANCODE_L, 'L', 0x26},
    {SDL_SCANCODE_M, 'M', 0x32}, {SDL_SCANCODE_N, 'N', 0x31}, {SDL_SCANCODE_O, 'O', 0x18},
    {SDL_SCANCODE_P, 'P', 0x19}, {SDL_SCANCODE_Q, 'Q', 0x10}, {SDL_SCANCODE_R, 'R', 0x13},
    {SDL_SCANCODE_S, 'S', 0x1F}, {SDL_SCANCODE_T, 'T', 0x14}, {SDL_SCANCODE_U, 'U', 0x16},
    {SDL_SCANCODE_V, 'V', 0x2F}, {SDL_SCANCODE_W, 'W', 0x11}, {SDL_SCANCODE_X, 'X', 0x2D},
    {SDL_SCANCODE_Y, 'Y', 0x15}, {SDL_SCANCODE_Z, 'Z', 0x2C},
    // The digit row.
    {SDL_SCANCODE_1, '1', 0x02}, {SDL_SCANCODE_2, '2', 0x03}, {SDL_SCANCODE_3, '3', 0x04},
    {SDL_SCANCODE_4, '4', 0x05}, {SDL_SCANCODE_5, '5', 0x06}, {SDL_SCANCODE_6, '6', 0x07},
    {SDL_SCANCODE_7, '7', 0x08}, {SDL_SCANCODE_8, '8', 0x09}, {SDL_SCANCODE_9, '9', 0x0A},
    {SDL_SCANCODE_0, '0', 0x0B},
    // Editing and whitespace.
    {SDL_SCANCODE_RETURN, vk::RETURN, 0x1C}, {SDL_SCANCODE_ESCAPE, vk::ESCAPE, 0x01},
    {SDL_SCANCODE_BACKSPACE, vk::BACK, 0x0E}, {SDL_SCANCODE_TAB, vk::TAB, 0x0F},
    {SDL_SCANCODE_SPACE, vk::SPACE, 0x39},
    // Punctuation (the OEM keys).
    {SDL_SCANCODE_MINUS, vk::OEM_MINUS, 0x0C}, {SDL_SCANCODE_EQUALS, vk::OEM_PLUS, 0x0D},
    {SDL_SCANCODE_LEFTBRACKET, vk::OEM_4, 0x1A}, {SDL_SCANCODE_RIGHTBRACKET, vk::OEM_6, 0x1B},
    {SDL_SCANCODE_BACKSLASH, vk::OEM_5, 0x2B}, {SDL_SCANCODE_NONUSHASH, vk::OEM_5, 0x2B},
    {SDL_SCANCODE_SEMICOLON, vk::OEM_1, 0x27}, {SDL_SCANCODE_APOSTROPHE, vk::OEM_7, 0x28},
    {SDL_SCANCODE_GRAVE, vk::OEM_3, 0x29}, {SDL_SCANCODE_COMMA, vk::OEM_COMMA, 0x33},
    {SDL_SCANCODE_PERIOD, vk::OEM_PERIOD, 0x34}, {SDL_SCANCODE_SLASH, vk::OEM_2, 0x35},
    {SDL_SCANCODE_NONUSBACKSLASH, vk::OEM_102, 0x56},
    // Locks.
    {SDL_SCANCODE_CAPSLOCK, 0x14, 0x3A}, {SDL_SCANCODE_SCROLLLOCK, 0x91, 0x46},
    {SDL_SCANCODE_NUMLOCKCLEAR, 0x90, 0x45},
    // Function keys.
    {SDL_SCANCODE_F1, 0x70, 0x3B}, {SDL_SCANCODE_F2, 0x71, 0x3C}, {SDL_SCANCODE_F3, 0x72, 0x3D},
    {SDL_SCANCODE_F4, 0x73, 0x3E}, {SDL_SCANCODE_F5, 0x74, 0x3F}, {SDL_SCANCODE_F6, 0x75, 0x40},
    {SDL_SCANCODE_F7, 0x76, 0x41}, {SDL_SCANCODE_F8, 0x77, 0x42}, {SDL_SCANCODE_F9, 0x78, 0x43},
    {SDL_SCANCODE_F10, 0x79, 0x44}, {SDL_SCANCODE_F11, 0x7A, 0x57}, {SDL_SCANCODE_F12, 0x7B, 0x58},
    {SDL_SCANCODE_F13, 0x7C, 0x64}, {SDL_SCANCODE_F14, 0x7D, 0x65}, {SDL_SCANCODE_F15, 0x7E, 0x66},
    {SDL_SCANCODE_F16, 0x7F, 0x67}, {SDL_SCANCODE_F17, 0x80, 0x68}, {SDL_SCANCODE_F18, 0x81, 0x69},
    {SDL_SCANCODE_F19, 0x82, 0x6A}, {SDL_SCANCODE_F20, 0x83, 0x6B}, {SDL_SCANCODE_F21, 0x84, 0x6C},
    {SDL_SCANCODE_F22, 0x85, 0x6D}, {SDL_SCANCODE_F23, 0x86, 0x6E}, {SDL_SCANCODE_F24, 0x87, 0x76},
    // Print screen, pause and the navigation block.
    {SDL_SCANCODE_PRINTSCREEN, 0x2C, 0xB7}, {SDL_SCANCODE_PAUSE, 0x13, 0xC5},
    {SDL_SCANCODE_INSERT, vk::INSERT, 0xD2}, {SDL_SCANCODE_DELETE, vk::DELETE_, 0xD3},
    {SDL_SCANCODE_HOME, vk::HOME, 0xC7}, {SDL_SCANCODE_END, vk::END, 0xCF},
    {SDL_SCANCODE_PAGEUP, vk::PRIOR, 0xC9}, {SDL_SCANCODE_PAGEDOWN, vk::NEXT, 0xD1},
    {SDL_SCANCODE_LEFT, vk::LEFT, 0xCB}, {SDL_SCANCODE_RIGHT, vk::RIGHT, 0xCD},
    {SDL_SCANCODE_UP, vk::UP, 0xC8}, {SDL_SCANCODE_DOWN, vk::DOWN, 0xD0},
    // The numeric keypad (with Num Lock on; see KeypadWithoutNumLock).
    {SDL_SCANCODE_KP_DIVIDE, vk::DIVIDE, 0xB5}, {SDL_SCANCODE_KP_MULTIPLY, vk::MULTIPLY, 0x37},
    {SDL_SCANCODE_KP_MINUS, vk::SUBTRACT, 0x4A}, {SDL_SCANCODE_KP_PLUS, vk::ADD, 0x4E},
    {SDL_SCANCODE_KP_ENTER, vk::RETURN, 0x9C}, {SDL_SCANCODE_KP_PERIOD, vk::DECIMAL, 0x53},
    {SDL_SCANCODE_KP_0, vk::NUMPAD0 + 0, 0x52}, {SDL_SCANCODE_KP_1, vk::NUMPAD0 + 1, 0x4F},
    {SDL_SCANCODE_KP_2, vk::NUMPAD0 + 2, 0x50}, {SDL_SCANCODE_KP_3, vk::NUMPAD0 + 3, 0x51},
    {SDL_SCANCODE_KP_4, vk::NUMPAD0 + 4, 0x4B}, {SDL_SCANCODE_KP_5, vk::NUMPAD0 + 5, 0x4C},
    {SDL_SCANCODE_KP_6, vk::NUMPAD0 + 6, 0x4D}, {SDL_SCANCODE_KP_7, vk::NUMPAD0 + 7, 0x47},
    {SDL_SCANCODE_KP_8, vk::NUMPAD0 + 8, 0x48}, {SDL_SCANCODE_KP_9, vk::NUMPAD0 + 9, 0x49},
    {SDL_SCANCODE_KP_EQUALS, 0x92, 0x8D}, {SDL_SCANCODE_KP_COMMA, 0x6C, 0xB3},
    // Modifiers: one virtual-key code for both sides, two DirectInput codes.
    {SDL_SCANCODE_LSHIFT, vk::SHIFT, 0x2A}, {SDL_SCANCODE_RSHIFT, vk::SHIFT, 0x36},
    {SDL_SCANCODE_LCTRL, vk::CONTROL, 0x1D}, {SDL_SCANCODE_RCTRL, vk::CONTROL, 0x9D},
    {SDL_SCANCODE_LALT, vk::MENU, 0x38}, {SDL_SCANCODE_RALT, vk::MENU, 0xB8},
    {SDL_SCANCODE_LGUI, 0x5B, 0xDB}, {SDL_SCANCODE_RGUI, 0x5C, 0xDC},
    {SDL_SCANCODE_APPLICATION, 0x5D, 0xDD},
    // Keys of Japanese and Brazilian keyboards.
    {SDL_SCANCODE_INTERNATIONAL1, 0xC1, 0x73}, {SDL_SCANCODE_INTERNATIONAL2, 0x15, 0x70},
    {SDL_SCANCODE_INTERNATIONAL3, vk::OEM_5, 0x7D}, {SDL_SCANCODE_INTERNATIONAL4, 0x1C, 0x79},
    {SDL_SCANCODE_INTERNATIONAL5, 0x1D, 0x7B},
    // System, media and browser keys.
    {SDL_SCANCODE_POWER, 0, 0xDE}, {SDL_SCANCODE_SLEEP, 0x5F, 0xDF},
    {SDL_SCANCODE_MUTE, 0xAD, 0xA0}, {SDL_SCANCODE_AUDIOMUTE, 0xAD, 0xA0},
    {SDL_SCANCODE_VOLUMEDOWN, 0xAE, 0xAE}, {SDL_SCANCODE_VOLUMEUP, 0xAF, 0xB0},
    {SDL_SCANCODE_AUDIONEXT, 0xB0, 0x99}, {SDL_SCANCODE_AUDIOPREV, 0xB1, 0x90},
    {SDL_SCANCODE_AUDIOSTOP, 0xB2, 0xA4}, {SDL_SCANCODE_AUDIOPLAY, 0xB3, 0xA2},
    {SDL_SCANCODE_MAIL, 0xB4, 0xEC}, {SDL_SCANCODE_MEDIASELECT, 0xB5, 0xED},
    {SDL_SCANCODE_COMPUTER, 0xB6, 0xEB}, {SDL_SCANCODE_CALCULATOR, 0xB7, 0xA1},
    {SDL_SCANCODE_AC_BACK, 0xA6, 0xEA}, {SDL_SCANCODE_AC_FORWARD, 0xA7, 0xE9},
    {SDL_SCANCODE_AC_REFRESH, 0xA8, 0xE7}, {SDL_SCANCODE_AC_STOP, 0xA9, 0xE8},
    {SDL_SCANCODE_AC_SEARCH, 0xAA, 0xE5}, {SDL_SCANCODE_AC_BOOKMARKS, 0xAB, 0xE6},
    {SDL_SCANCODE_AC_HOME, 0xAC, 0xB2},
};

constexpr std::array<KeyCodes, SDL_NUM_SCANCODES> BuildTable() {
  std::array<KeyCodes, SDL_NUM_SCANCODES> table{};
  for (const KeyRow& row : kRows) table[row.sc] = {row.vk, row.dik};
  return table;
}

constexpr std::array<KeyCodes, SDL_NUM_SCANCODES> kTable = BuildTable();

// Without Num Lock the keypad's digit keys are navigation keys, and Windows
// reports them as such (not as extended keys, unlike the separate block).
int KeypadWithoutNumLock(SDL_Scancode sc) {
  switch (sc) {
    case SDL_SCANCODE_KP_7: return vk::HOME;
    case SDL_SCANCODE_KP_8: return vk::UP;
    case SDL_SCANCODE_KP_9: return vk::PRIOR;
    case SDL_SCANCODE_KP_4: return vk::LEFT;
    case SDL_SCANCODE_KP_5: return vk::CLEAR;
    case SDL_SCANCODE_KP_6: return vk::RIGHT;
    case SDL_SCANCODE_KP_1: return vk::END;
    case SDL_SCANCODE_KP_2: return vk::DOWN;
    case SDL_SCANCODE_KP_3: return vk::NEXT;
    case SDL_SCANCODE_KP_0: return vk::INSERT;
    case SDL_SCANCODE_KP_PERIOD: return vk::DELETE_;
    default: return 0;
  }
}

bool OnKeypad(SDL_Scancode sc) { return sc >= SDL_SCANCODE_KP_DIVIDE && sc <= SDL_SCANCODE_KP_PERIOD; }

// The keys that type no character, by what the layout makes of them. A
// player whose layout swaps Caps Lock and Escape (XKB's caps:escape or
// caps:swapescape) has Escape wherever their layout puts it, as on Windows.
int VirtualKeyFromSymbol(SDL_Keycode sym) {
  switch (sym) {
    case SDLK_ESCAPE: return vk::ESCAPE;
    case SDLK_RETURN: return vk::RETURN;
    case SDLK_TAB: return vk::TAB;
    case SDLK_BACKSPACE: return vk::BACK;
    case SDLK_CAPSLOCK: return 0x14;
    case SDLK_NUMLOCKCLEAR: return 0x90;
    case SDLK_SCROLLLOCK: return 0x91;
    case SDLK_PAUSE: return 0x13;
    case SDLK_PRINTSCREEN: return 0x2C;
    case SDLK_INSERT: return vk::INSERT;
    case SDLK_DELETE: return vk::DELETE_;
    case SDLK_HOME: return vk::HOME;
    case SDLK_END: return vk::END;
    case SDLK_PAGEUP: return vk::PRIOR;
    case SDLK_PAGEDOWN: return vk::NEXT;
    case SDLK_LEFT: return vk::LEFT;
    case SDLK_RIGHT: return vk::RIGHT;
    case SDLK_UP: return vk::UP;
    case SDLK_DOWN: return vk::DOWN;
    case SDLK_LSHIFT:
    case SDLK_RSHIFT: return vk::SHIFT;
    case SDLK_LCTRL:
    case SDLK_RCTRL: return vk::CONTROL;
    case SDLK_LALT:
    case SDLK_RALT:
    case SDLK_MODE: return vk::MENU;  // AltGr is the right Alt key on Windows
    case SDLK_LGUI: return 0x5B;
    case SDLK_RGUI: return 0x5C;
    case SDLK_APPLICATION: return 0x5D;
    default: break;
  }
  if (sym >= SDLK_F1 && sym <= SDLK_F12) return vk::F1 + static_cast<int>(sym - SDLK_F1);
  if (sym >= SDLK_F13 && sym <= SDLK_F24) return vk::F1 + 12 + static_cast<int>(sym - SDLK_F13);
  return 0;
}

}  // namespace

int VirtualKeyFromSdl(const SDL_Keysym& key) {
  const SDL_Scancode sc = key.scancode;
  if (sc < 0 || sc >= SDL_NUM_SCANCODES) return 0;
  // Letters by what the layout types, as Windows numbers them.
  if (key.sym >= 'a' && key.sym <= 'z') return static_cast<int>(key.sym - 'a' + 'A');
  if (OnKeypad(sc)) {
    if (!(key.mod & KMOD_NUM)) {
      const int nav = KeypadWithoutNumLock(sc);
      if (nav != 0) return nav;
    }
    return kTable[sc].vk;
  }
  // Digits and punctuation keep their place, as Windows' layouts mostly
  // number them.
  const int named = VirtualKeyFromSymbol(key.sym);
  return named != 0 ? named : kTable[sc].vk;
}

int DirectInputKeyFromScancode(SDL_Scancode sc) {
  if (sc < 0 || sc >= SDL_NUM_SCANCODES) return 0;
  return kTable[sc].dik;
}

WindowsScanCode WindowsScanCodeFromScancode(SDL_Scancode sc) {
  // Pause and Num Lock share scan code 0x45; the keyboard marks Num Lock as
  // the extended one, while DirectInput numbers Pause as the extended one.
  if (sc == SDL_SCANCODE_PAUSE) return {0x45, false};
  if (sc == SDL_SCANCODE_NUMLOCKCLEAR) return {0x45, true};
  const uint8_t dik = static_cast<uint8_t>(DirectInputKeyFromScancode(sc));
  return {static_cast<uint8_t>(dik & 0x7F), (dik & 0x80) != 0};
}

}  // namespace vl
