#include "platform/sdl_events.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "platform/sdl_keys.h"

namespace vl {

namespace {

// WM_MOUSEMOVE's and the button messages' wParam flags.
namespace mk {
constexpr uintptr_t LBUTTON = 0x01, RBUTTON = 0x02, SHIFT = 0x04, CONTROL = 0x08, MBUTTON = 0x10,
                    X1 = 0x20, X2 = 0x40;  // MK_XBUTTON1, MK_XBUTTON2
}  // namespace mk

constexpr int kWheelDelta = 120;  // one notch of the wheel

SDL_Window* GameWindow(const EventContext& ctx) {
  return ctx.windowId != 0 ? SDL_GetWindowFromID(ctx.windowId) : nullptr;
}

bool IsMinimised(SDL_Window* w) {
  return w && (SDL_GetWindowFlags(w) & SDL_WINDOW_MINIMIZED) != 0;
}

// Without a window to ask (a test feeding events by hand) the game's window
// counts as focused.
bool HasFocus(SDL_Window* w) {
  return !w || (SDL_GetWindowFlags(w) & SDL_WINDOW_INPUT_FOCUS) != 0;
}

uintptr_t KeyStateFlags(uint32_t buttons) {
  uintptr_t flags = 0;
  if (buttons & SDL_BUTTON_LMASK) flags |= mk::LBUTTON;
  if (buttons & SDL_BUTTON_RMASK) flags |= mk::RBUTTON;
  if (buttons & SDL_BUTTON_MMASK) flags |= mk::MBUTTON;
  if (buttons & SDL_BUTTON_X1MASK) flags |= mk::X1;
  if (buttons & SDL_BUTTON_X2MASK) flags |= mk::X2;
  const SDL_Keymod mod = SDL_GetModState();
  if (mod & KMOD_SHIFT) flags |= mk::SHIFT;
  if (mod & KMOD_CTRL) flags |= mk::CONTROL;
  return flags;
}

int ToPixels(int points, float pixelsPerPoint) {
  const long px = std::lround(static_cast<double>(points) * pixelsPerPoint);
  return static_cast<int>(std::clamp(px, 0L, 0xFFFFL));
}

Msg SizeMessage(uintptr_t kind, int width, int height, const EventContext& ctx) {
  return {wm::SIZE, kind,
          MakeLParam(ToPixels(width, ctx.pixelsPerPointX), ToPixels(height, ctx.pixelsPerPointY))};
}

Msg ActivateMessage(bool active, bool minimised) {
  return {wm::ACTIVATE, MakeWParam(active ? static_cast<int>(wa::ACTIVE) : static_cast<int>(wa::INACTIVE),
                                   minimised ? 1 : 0),
          0};
}

void TranslateWindowEvent(const SDL_WindowEvent& e, EventContext& ctx, std::deque<Msg>& out) {
  SDL_Window* window = GameWindow(ctx);
  switch (e.event) {
    case SDL_WINDOWEVENT_CLOSE:
      out.push_back({wm::CLOSE, 0, 0});
      break;
    case SDL_WINDOWEVENT_FOCUS_GAINED:
      out.push_back(ActivateMessage(true, IsMinimised(window)));
      break;
    case SDL_WINDOWEVENT_FOCUS_LOST:
      out.push_back(ActivateMessage(false, IsMinimised(window)));
      break;
    case SDL_WINDOWEVENT_MINIMIZED:
      out.push_back(ActivateMessage(false, true));
      out.push_back({wm::SIZE, wmsize::MINIMIZED, 0});
      break;
    case SDL_WINDOWEVENT_RESTORED:
      if (window) {
        int w = 0, h = 0;
        SDL_GetWindowSize(window, &w, &h);
        out.push_back(SizeMessage(wmsize::RESTORED, w, h, ctx));
      }
      out.push_back(ActivateMessage(HasFocus(window), false));
      break;
    case SDL_WINDOWEVENT_SIZE_CHANGED: {
      const bool maximised = window && (SDL_GetWindowFlags(window) & SDL_WINDOW_MAXIMIZED) != 0;
      out.push_back(SizeMessage(maximised ? wmsize::MAXIMIZED : wmsize::RESTORED, e.data1, e.data2, ctx));
      break;
    }
    case SDL_WINDOWEVENT_MOVED:
      // SDL's window position is the client area's corner, as WM_MOVE's.
      out.push_back({wm::MOVE, 0, MakeLParam(e.data1, e.data2)});
      break;
    case SDL_WINDOWEVENT_EXPOSED:
      out.push_back({wm::PAINT, 0, 0});
      break;
    case SDL_WINDOWEVENT_LEAVE:
      out.push_back({kPointerLeft, 0, 0});
      break;
    default:
      break;
  }
}

void TranslateKey(const SDL_KeyboardEvent& e, EventContext& ctx, std::deque<Msg>& out) {
  const int vkCode = VirtualKeyFromSdl(e.keysym);
  if (vkCode == 0) return;
  const bool down = e.type == SDL_KEYDOWN;
  const uint16_t mod = e.keysym.mod;
  // Windows delivers AltGr as Control+Alt held together.
  const bool altGr = (mod & KMOD_MODE) != 0 || e.keysym.sym == SDLK_MODE ||
                     (ctx.rightAltIsAltGr &&
                      ((mod & KMOD_RALT) != 0 || e.keysym.scancode == SDL_SCANCODE_RALT));
  // SDL's modifier state already counts a modifier key's own press (and no
  // longer counts its release); the Alt and Control keys themselves count
  // as held for both of their messages, as on Windows.
  const bool alt = altGr || (mod & KMOD_ALT) != 0 || vkCode == vk::MENU;
  const bool ctrl = altGr || (mod & KMOD_CTRL) != 0 || vkCode == vk::CONTROL;
  const bool system = (alt && !ctrl) || vkCode == vk::F10;
  if (down) {
    ctx.rightAltKeyDown = (mod & (KMOD_RALT | KMOD_LALT | KMOD_CTRL | KMOD_SHIFT)) == KMOD_RALT;
    ctx.rightAltKeySym = e.keysym.sym;
    ctx.rightAltKeyScancode = e.keysym.scancode;
  }

  const WindowsScanCode scan = WindowsScanCodeFromScancode(e.keysym.scancode);
  uint32_t bits = 1u | (static_cast<uint32_t>(scan.code) << 16);
  if (scan.extended) bits |= 1u << 24;
  if (system && alt) bits |= 1u << 29;
  if (!down || e.repeat) bits |= 1u << 30;
  if (!down) bits |= 1u << 31;
  const intptr_t lParam = static_cast<intptr_t>(static_cast<int32_t>(bits));

  uint32_t message;
  if (down) {
    message = system ? wm::SYSKEYDOWN : wm::KEYDOWN;
  } else {
    message = system ? wm::SYSKEYUP : wm::KEYUP;
  }
  out.push_back({message, static_cast<uintptr_t>(vkCode), lParam});

  // Keys that type a control character (SDL's text events carry none).
  if (!down || system) return;
  int ch = 0;
  if (ctrl && !alt && vkCode >= 'A' && vkCode <= 'Z') {
    ch = vkCode - 'A' + 1;
  } else if (!ctrl) {
    switch (vkCode) {
      case vk::RETURN: ch = '\r'; break;
      case vk::TAB: ch = '\t'; break;
      case vk::BACK: ch = '\b'; break;
      case vk::ESCAPE: ch = 27; break;
      default: break;
    }
  }
  if (ch != 0) out.push_back({wm::CHAR, static_cast<uintptr_t>(ch), lParam});
}

// The Windows-1252 byte of a character, '?' where the code page has none.
uint8_t Windows1252(uint32_t cp) {
  if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<uint8_t>(cp);
  static constexpr struct {
    uint16_t cp;
    uint8_t byte;
  } kHigh[] = {{0x20AC, 0x80}, {0x201A, 0x82}, {0x0192, 0x83}, {0x201E, 0x84}, {0x2026, 0x85},
               {0x2020, 0x86}, {0x2021, 0x87}, {0x02C6, 0x88}, {0x2030, 0x89}, {0x0160, 0x8A},
               {0x2039, 0x8B}, {0x0152, 0x8C}, {0x017D, 0x8E}, {0x2018, 0x91}, {0x2019, 0x92},
               {0x201C, 0x93}, {0x201D, 0x94}, {0x2022, 0x95}, {0x2013, 0x96}, {0x2014, 0x97},
               {0x02DC, 0x98}, {0x2122, 0x99}, {0x0161, 0x9A}, {0x203A, 0x9B}, {0x0153, 0x9C},
               {0x017E, 0x9E}, {0x0178, 0x9F}};
  for (const auto& h : kHigh)
    if (h.cp == cp) return h.byte;
  return '?';
}

// The characters of UTF-8 text, '?' for a malformed one.
std::vector<uint32_t> CodePoints(const char* text) {
  std::vector<uint32_t> cps;
  const auto* p = reinterpret_cast<const unsigned char*>(text);
  const unsigned char* end = p + SDL_strlen(text);
  while (p < end) {
    uint32_t cp = *p;
    int extra = 0;
    if (cp >= 0xF0 && cp < 0xF8) {
      cp &= 0x07;
      extra = 3;
    } else if (cp >= 0xE0) {
      cp &= 0x0F;
      extra = 2;
    } else if (cp >= 0xC0) {
      cp &= 0x1F;
      extra = 1;
    } else if (cp >= 0x80) {
      cp = '?';  // a stray continuation byte
    }
    ++p;
    for (int i = 0; i < extra; ++i) {
      if (p >= end || (*p & 0xC0) != 0x80) {
        cp = '?';
        break;
      }
      cp = (cp << 6) | (*p++ & 0x3Fu);
    }
    cps.push_back(cp);
  }
  return cps;
}

// The small letter of a capital in the scripts of layouts with an AltGr key
// (Latin, Greek, Cyrillic); any other character as it is. Enough to tell a
// letter that Caps Lock turned into a capital from a character of its own.
uint32_t SmallLetter(uint32_t c) {
  if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) return c + 32;
  if (c == 0x178) return 0xFF;
  if (c >= 0x100 && c <= 0x17E && c != 0x130 && c != 0x131 && c != 0x138 && c != 0x149) {
    // Latin Extended-A: capitals and small letters in pairs, the capital
    // even up to U+0137 and from U+014A on, odd in between.
    const bool oddCapitals = (c >= 0x139 && c <= 0x148) || c >= 0x179;
    if ((c % 2 == 1) == oddCapitals) return c + 1;
    return c;
  }
  if (c >= 0x391 && c <= 0x3A9 && c != 0x3A2) return c + 32;  // Greek
  if (c >= 0x410 && c <= 0x42F) return c + 32;                // Cyrillic
  if (c >= 0x400 && c <= 0x40F) return c + 80;
  return c;
}

bool OnKeypad(SDL_Scancode sc) {
  return (sc >= SDL_SCANCODE_KP_DIVIDE && sc <= SDL_SCANCODE_KP_PERIOD) || sc == SDL_SCANCODE_KP_EQUALS ||
         sc == SDL_SCANCODE_KP_COMMA || sc == SDL_SCANCODE_KP_EQUALSAS400 ||
         (sc >= SDL_SCANCODE_KP_00 && sc <= SDL_SCANCODE_KP_HEXADECIMAL);
}

// Whether the right Alt key made the key type a character of its own: one
// that is neither case of the key's symbol, and not from the keypad.
bool TypedWithAltGr(const EventContext& ctx, uint32_t typed) {
  if (OnKeypad(ctx.rightAltKeyScancode)) return false;
  return SmallLetter(typed) != SmallLetter(static_cast<uint32_t>(ctx.rightAltKeySym));
}

void TranslateText(const char* text, EventContext& ctx, std::deque<Msg>& out) {
  const std::vector<uint32_t> cps = CodePoints(text);
  // Text typed with Alt held follows its system key-down; Windows sends it
  // as WM_SYSCHAR. Unless the right Alt key made the key type something
  // other than its own character: then that key is AltGr, the key-down was a
  // plain one, and so are the right Alt key's from now on.
  uint32_t message = !out.empty() && out.back().message == wm::SYSKEYDOWN ? wm::SYSCHAR : wm::CHAR;
  if (message == wm::SYSCHAR && ctx.rightAltKeyDown && !cps.empty() && TypedWithAltGr(ctx, cps[0])) {
    ctx.rightAltIsAltGr = true;
    out.back().message = wm::KEYDOWN;
    out.back().lParam &= ~static_cast<intptr_t>(1 << 29);
    message = wm::CHAR;
  }
  ctx.rightAltKeyDown = false;
  for (uint32_t cp : cps) out.push_back({message, Windows1252(cp), 1});
}

// Whether a point in window coordinates lies outside the client area. SDL
// keeps reporting the pointer while a button held inside the window is
// dragged out; Windows would send those moves to the window underneath.
bool OutsideClient(const EventContext& ctx, int x, int y) {
  if (x < 0 || y < 0) return true;
  SDL_Window* window = GameWindow(ctx);
  if (!window) return false;
  int w = 0, h = 0;
  SDL_GetWindowSize(window, &w, &h);
  return x >= w || y >= h;
}

void TranslateButton(const SDL_MouseButtonEvent& e, std::deque<Msg>& out) {
  const bool down = e.type == SDL_MOUSEBUTTONDOWN;
  uint32_t message = 0;
  uint32_t mask = 0;
  switch (e.button) {
    case SDL_BUTTON_LEFT:
      message = down ? wm::LBUTTONDOWN : wm::LBUTTONUP;
      mask = SDL_BUTTON_LMASK;
      break;
    case SDL_BUTTON_RIGHT:
      message = down ? wm::RBUTTONDOWN : wm::RBUTTONUP;
      mask = SDL_BUTTON_RMASK;
      break;
    case SDL_BUTTON_MIDDLE:
      message = down ? wm::MBUTTONDOWN : wm::MBUTTONUP;
      mask = SDL_BUTTON_MMASK;
      break;
    default:
      return;  // the side buttons mean nothing to the game
  }
  uint32_t buttons = SDL_GetMouseState(nullptr, nullptr);
  buttons = down ? (buttons | mask) : (buttons & ~mask);
  out.push_back({message, KeyStateFlags(buttons), MakeLParam(e.x, e.y)});
}

void TranslateWheel(const SDL_MouseWheelEvent& e, const EventContext& ctx, std::deque<Msg>& out) {
  double notches = e.preciseY != 0.0f ? static_cast<double>(e.preciseY) : static_cast<double>(e.y);
  if (e.direction == SDL_MOUSEWHEEL_FLIPPED) notches = -notches;
  const long delta = std::clamp(std::lround(notches * kWheelDelta), -32768L, 32767L);
  if (delta == 0) return;  // sideways scrolling only
  // The wheel message carries the pointer in screen coordinates.
  int wx = 0, wy = 0;
  if (SDL_Window* window = GameWindow(ctx)) SDL_GetWindowPosition(window, &wx, &wy);
  out.push_back({wm::MOUSEWHEEL,
                 MakeWParam(static_cast<int>(KeyStateFlags(SDL_GetMouseState(nullptr, nullptr))),
                            static_cast<int>(delta)),
                 MakeLParam(wx + e.mouseX, wy + e.mouseY)});
}

}  // namespace

void TranslateEvent(const SDL_Event& e, EventContext& ctx, std::deque<Msg>& out) {
  switch (e.type) {
    case SDL_QUIT:
      out.push_back({wm::QUIT, 0, 0});
      break;
    case SDL_WINDOWEVENT:
      if (e.window.windowID == ctx.windowId) TranslateWindowEvent(e.window, ctx, out);
      break;
    case SDL_KEYDOWN:
    case SDL_KEYUP:
      if (e.key.windowID == ctx.windowId) TranslateKey(e.key, ctx, out);
      break;
    case SDL_TEXTINPUT:
      if (e.text.windowID == ctx.windowId) TranslateText(e.text.text, ctx, out);
      break;
    case SDL_MOUSEMOTION:
      if (e.motion.windowID != ctx.windowId || OutsideClient(ctx, e.motion.x, e.motion.y)) break;
      out.push_back({wm::SETCURSOR, ctx.windowId, MakeLParam(ht::CLIENT, static_cast<int>(wm::MOUSEMOVE))});
      out.push_back({wm::MOUSEMOVE, KeyStateFlags(e.motion.state), MakeLParam(e.motion.x, e.motion.y)});
      break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
      if (e.button.windowID == ctx.windowId) TranslateButton(e.button, out);
      break;
    case SDL_MOUSEWHEEL:
      if (e.wheel.windowID == ctx.windowId) TranslateWheel(e.wheel, ctx, out);
      break;
    default:
      break;
  }
}

}  // namespace vl
