#include "platform/sdl_window.h"

#include <cstdio>

#include "platform/gles_layer.h"
#include "platform/icon_file.h"
#include "platform/message_box.h"

namespace vl {

SdlWindowState sdlWindow;

namespace {
// Multisampled formats are numbered from here on: the number minus the base
// is the sample count.
constexpr int32_t kMultisampleFormatBase = 1000;

// Whether SDL_VIDEODRIVER (a comma-separated list) names `driver`.
bool DriverNamed(const char* driver) {
  const char* list = SDL_GetHint(SDL_HINT_VIDEODRIVER);
  const size_t length = SDL_strlen(driver);
  for (const char* p = list; p && *p;) {
    const char* end = SDL_strchr(p, ',');
    const size_t n = end ? static_cast<size_t>(end - p) : SDL_strlen(p);
    if (n == length && SDL_strncasecmp(p, driver, n) == 0) return true;
    p = end ? end + 1 : nullptr;
  }
  return false;
}

// SDL's drivers that show nothing. Without a display SDL falls back to them
// by itself, and the game would run on where no one can see it; they are
// used only when asked for by name (as the tests do).
bool InvisibleDriverUnasked() {
  const char* driver = SDL_GetCurrentVideoDriver();
  if (!driver || (SDL_strcmp(driver, "offscreen") != 0 && SDL_strcmp(driver, "dummy") != 0)) return false;
  return !DriverNamed(driver);
}
}  // namespace

SdlWindowPlatform::~SdlWindowPlatform() {
  if (icon_) SDL_FreeSurface(icon_);
}

void SdlWindowPlatform::LoadWindowIcon(const char* path) {
  if (icon_) return;
  // An icon that is missing or in a format not read here leaves the window
  // without one, silently.
  icon_ = LoadIconFile(path);
}

bool SdlWindowPlatform::MakeWindow(const char* title, int32_t x, int32_t y, int32_t width,
                                     int32_t height, const PixelFormatDescriptor& pfd,
                                     int32_t pixelFormat) {
  // Windows captures the mouse for a window only when asked, and the game
  // never asks: dragging out of the window with a button held is a leave at
  // once. SDL would capture it until the button is let go.
  SDL_SetHint(SDL_HINT_MOUSE_AUTO_CAPTURE, "0");
  if (!SDL_WasInit(SDL_INIT_VIDEO) && SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
    std::fprintf(stderr, "vantaloop: no video device: %s\n", SDL_GetError());
    return false;
  }
  if (InvisibleDriverUnasked()) {
    std::fprintf(stderr,
                 "vantaloop: no display found (set DISPLAY or WAYLAND_DISPLAY; "
                 "SDL_VIDEODRIVER=%s runs the game unseen)\n",
                 SDL_GetCurrentVideoDriver());
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    return false;
  }
  // The framebuffer has to be described before the window exists. The game
  // uses fixed-function OpenGL, so it asks for a compatibility context, or
  // for OpenGL ES 2 when it draws through its layer (a browser's WebGL has
  // no compatibility profile to give).
  SDL_GL_ResetAttributes();
  if (gles) {
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_ES);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 2);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 0);
  } else {
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
  }
  SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
  SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
  SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
  SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, (pfd.dwFlags & 0x01) ? 1 : 0);
  SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, pfd.cDepthBits);
  SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, pfd.cStencilBits);
  if (pixelFormat > kMultisampleFormatBase) {
    SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_MULTISAMPLEBUFFERS, 1);
    SDL_GL_SetAttribute(SDL_GL_MULTISAMPLESAMPLES, pixelFormat - kMultisampleFormatBase);
  }
  sdlWindow.window = SDL_CreateWindow(
      title, x, y, width, height,
      SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN | SDL_WINDOW_RESIZABLE | SDL_WINDOW_ALLOW_HIGHDPI);
  if (!sdlWindow.window) {
    std::fprintf(stderr, "vantaloop: SDL_CreateWindow: %s\n", SDL_GetError());
    return false;
  }
  if (icon_) SDL_SetWindowIcon(sdlWindow.window, icon_);
  return true;
}

int32_t SdlWindowPlatform::ChoosePixelFormat(const PixelFormatDescriptor&) {
  // SDL picked the closest framebuffer when it made the window.
  return sdlWindow.window ? 1 : 0;
}

bool SdlWindowPlatform::CreateContext() {
  sdlWindow.context = SDL_GL_CreateContext(sdlWindow.window);
  if (!sdlWindow.context) {
    std::fprintf(stderr, "vantaloop: SDL_GL_CreateContext: %s\n", SDL_GetError());
    return false;
  }
  if (SDL_GL_MakeCurrent(sdlWindow.window, sdlWindow.context) != 0) {
    std::fprintf(stderr, "vantaloop: SDL_GL_MakeCurrent: %s\n", SDL_GetError());
    return false;
  }
  // Each new context starts the layer afresh: nothing of an earlier one
  // (its lists, its buffers) lives on in it.
  return !gles || InstallGlesLayer();
}

int32_t SdlWindowPlatform::ChooseMultisampleFormat(const int32_t* attributes) {
  int32_t samples = 0;
  for (const int32_t* a = attributes; a[0] != 0; a += 2)
    if (a[0] == 0x2042) samples = a[1];
  return samples >= 1 ? kMultisampleFormatBase + samples : 0;
}

bool SdlWindowPlatform::DisableSwapWait() { return SDL_GL_SetSwapInterval(0) == 0; }

void SdlWindowPlatform::ShowWindow() {
  SDL_ShowWindow(sdlWindow.window);
  // On a high-DPI display the drawable has more pixels than the window has
  // points. Report the size once more so the viewport covers all of it.
  int w = 0, h = 0, pw = 0, ph = 0;
  SDL_GetWindowSize(sdlWindow.window, &w, &h);
  SDL_GL_GetDrawableSize(sdlWindow.window, &pw, &ph);
  if (pw != w || ph != h) {
    SDL_Event resized{};
    resized.type = SDL_WINDOWEVENT;
    resized.window.event = SDL_WINDOWEVENT_SIZE_CHANGED;
    resized.window.windowID = SDL_GetWindowID(sdlWindow.window);
    resized.window.data1 = w;
    resized.window.data2 = h;
    SDL_PushEvent(&resized);
  }
}

void SdlWindowPlatform::MaximiseWindow() { SDL_MaximizeWindow(sdlWindow.window); }

void SdlWindowPlatform::SetForegroundAndFocus() { SDL_RaiseWindow(sdlWindow.window); }

void SdlWindowPlatform::DestroyContext() {
  SDL_GL_MakeCurrent(sdlWindow.window, nullptr);
  SDL_GL_DeleteContext(sdlWindow.context);
  sdlWindow.context = nullptr;
}

void SdlWindowPlatform::DestroyWindow() {
  SDL_DestroyWindow(sdlWindow.window);
  sdlWindow.window = nullptr;
  sdlWindow.leaveArmed = false;
}

bool SdlWindowPlatform::HasContext() const { return sdlWindow.context != nullptr; }
bool SdlWindowPlatform::HasWindow() const { return sdlWindow.window != nullptr; }

void SdlWindowPlatform::ShowMessage(const char* caption, const char* text) {
  ShowErrorMessage(caption, text);
}

int SdlWindowOps::GetSystemMetrics(int index) {
  int top = 0, left = 0, bottom = 0, right = 0;
  if (!sdlWindow.window || SDL_GetWindowBordersSize(sdlWindow.window, &top, &left, &bottom, &right) != 0)
    return 0;
  switch (index) {
    case sm::CXFRAME: return left;
    case sm::CYFRAME: return bottom;
    case sm::CYCAPTION: return top > bottom ? top - bottom : 0;
    default: return 0;
  }
}

void SdlWindowOps::GetClientRect(int32_t& width, int32_t& height) {
  width = height = 0;
  if (sdlWindow.window) SDL_GetWindowSize(sdlWindow.window, &width, &height);
}

void SdlWindowOps::GetCursorPos(int32_t& x, int32_t& y) { SDL_GetGlobalMouseState(&x, &y); }

void SdlWindowOps::TrackMouseLeave() { sdlWindow.leaveArmed = true; }

void SdlWindowOps::SetCursor(CursorHandle cursor) {
  if (cursor) {
    SDL_SetCursor(static_cast<SDL_Cursor*>(cursor));
    SDL_ShowCursor(SDL_ENABLE);
  } else {
    SDL_ShowCursor(SDL_DISABLE);
  }
}

intptr_t SdlWindowOps::DefaultWindowProc(const Msg& msg) {
  // The default handling that matters here: over the client area the
  // window shows its arrow cursor.
  if (msg.message == wm::SETCURSOR) {
    SDL_SetCursor(SDL_GetDefaultCursor());
    SDL_ShowCursor(SDL_ENABLE);
  }
  return 0;
}

}  // namespace vl
