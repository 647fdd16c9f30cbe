#include "platform/sdl_loop.h"

#include <SDL_syswm.h>

#include "platform/sdl_devices.h"
#include "platform/sdl_events.h"
#include "platform/sdl_window.h"
#include "render/gles/gl_layer.h"
#include "shell/tick.h"

namespace vl {

SdlLoopPlatform::~SdlLoopPlatform() {
  for (void* c : cursors_) SDL_FreeCursor(static_cast<SDL_Cursor*>(c));
}

// The clock counts from an origin half its range away from 0. The main loop
// measures the frame tick from `lastFrameTime`, which starts at 0, so the
// first pass never waits however soon after start-up it comes; the tick
// compare works modulo 2^32 and does not mind where the count starts.
constexpr uint32_t kClockOrigin = 0x80000000u;

uint32_t SdlLoopPlatform::TimeGetTime() {
  return static_cast<uint32_t>(SDL_GetTicks64()) + kClockOrigin;
}

void SdlLoopPlatform::FillQueue() {
  EventContext& ctx = events_;
  ctx.windowId = 0;
  ctx.pixelsPerPointX = ctx.pixelsPerPointY = 1.0f;
  if (sdlWindow.window) {
    ctx.windowId = SDL_GetWindowID(sdlWindow.window);
    int w = 0, h = 0, pw = 0, ph = 0;
    SDL_GetWindowSize(sdlWindow.window, &w, &h);
    SDL_GL_GetDrawableSize(sdlWindow.window, &pw, &ph);
    if (w > 0 && h > 0 && pw > 0 && ph > 0) {
      ctx.pixelsPerPointX = static_cast<float>(pw) / static_cast<float>(w);
      ctx.pixelsPerPointY = static_cast<float>(ph) / static_cast<float>(h);
    }
  }
  SDL_Event e;
  while (SDL_PollEvent(&e)) TranslateEvent(e, ctx, queue_);
}

bool SdlLoopPlatform::Front() {
  for (;;) {
    if (queue_.empty()) FillQueue();
    if (queue_.empty()) return false;
    Msg& m = queue_.front();
    if (m.message != kPointerLeft) return true;
    // The pointer left: a WM_MOUSELEAVE if the window procedure has armed
    // leave tracking by now (perhaps with the move just before), as
    // Windows decides it when the pointer leaves, not when it entered.
    if (sdlWindow.leaveArmed) {
      sdlWindow.leaveArmed = false;
      m = {wm::MOUSELEAVE, 0, 0};
      return true;
    }
    queue_.pop_front();
  }
}

bool SdlLoopPlatform::PeekNextMessage(Msg& out) {
  if (!Front()) return false;
  out = queue_.front();
  return true;
}

void SdlLoopPlatform::TranslateMessage(const Msg&) {
  // SDL delivers typed text as events of its own, which already arrive here
  // as character messages right after their key-down.
}

bool SdlLoopPlatform::TakeMessage(Msg& out) {
  if (!Front()) {
    out = Msg{};
    return true;
  }
  out = queue_.front();
  queue_.pop_front();
  return out.message != wm::QUIT;
}

CursorHandle SdlLoopPlatform::LoadSystemCursor(int id) {
  SDL_SystemCursor which = SDL_SYSTEM_CURSOR_ARROW;
  switch (id) {
    case 32512: which = SDL_SYSTEM_CURSOR_ARROW; break;
    case 32515: which = SDL_SYSTEM_CURSOR_CROSSHAIR; break;
    case 32646: which = SDL_SYSTEM_CURSOR_SIZEALL; break;
    case 32514: which = SDL_SYSTEM_CURSOR_WAIT; break;
    case 32648: which = SDL_SYSTEM_CURSOR_NO; break;
    case 32513: which = SDL_SYSTEM_CURSOR_IBEAM; break;
    default: break;
  }
  SDL_Cursor* c = SDL_CreateSystemCursor(which);
  if (c) cursors_.push_back(c);
  return c;
}

bool SdlLoopPlatform::IsZoomed() {
  return sdlWindow.window && (SDL_GetWindowFlags(sdlWindow.window) & SDL_WINDOW_MAXIMIZED) != 0;
}

void SdlLoopPlatform::SwapBuffers() {
  if (!sdlWindow.window) return;
  // A frame drawn through the ES layer may still have its last batch held
  // back; it belongs to this picture.
  gles::FlushPending();
  SDL_GL_SwapWindow(sdlWindow.window);
  if (frameCount) frameCount->Presented();
}

uint32_t SdlLoopPlatform::WindowHandle() {
  if (!sdlWindow.window) return 0;
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (SDL_GetWindowWMInfo(sdlWindow.window, &info)) {
#if defined(SDL_VIDEO_DRIVER_X11)
    if (info.subsystem == SDL_SYSWM_X11) return static_cast<uint32_t>(info.info.x11.window);
#endif
#if defined(SDL_VIDEO_DRIVER_WINDOWS)
    // Window handles fit in 32 bits, also in 64-bit Windows.
    if (info.subsystem == SDL_SYSWM_WINDOWS)
      return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(info.info.win.window));
#endif
  }
  return SDL_GetWindowID(sdlWindow.window);
}

std::unique_ptr<DeviceBackend> SdlLoopPlatform::OpenDevices() {
  return std::make_unique<SdlDeviceBackend>(sdlWindow.window, &events_);
}

}  // namespace vl
