// The game's window and OpenGL context on SDL2, and the window queries the
// window procedure makes.
#pragma once

#include <SDL.h>

#include "input/window_proc.h"
#include "shell/window.h"

namespace vl {

// The one window and its context, shared by the SDL back end's parts.
struct SdlWindowState {
  SDL_Window* window = nullptr;
  SDL_GLContext context = nullptr;
  bool leaveArmed = false;  // a WM_MOUSELEAVE is owed when the pointer leaves
};
extern SdlWindowState sdlWindow;

class SdlWindowPlatform final : public WindowPlatform {
 public:
  ~SdlWindowPlatform() override;
  void LoadWindowIcon(const char* path) override;
  bool MakeWindow(const char* title, int32_t x, int32_t y, int32_t width, int32_t height,
                    const PixelFormatDescriptor& pfd, int32_t pixelFormat) override;
  int32_t ChoosePixelFormat(const PixelFormatDescriptor& pfd) override;
  bool CreateContext() override;
  int32_t ChooseMultisampleFormat(const int32_t* attributes) override;
  bool DisableSwapWait() override;
  void ShowWindow() override;
  void MaximiseWindow() override;
  void SetForegroundAndFocus() override;
  void DestroyContext() override;
  void DestroyWindow() override;
  bool HasContext() const override;
  bool HasWindow() const override;
  void ShowMessage(const char* caption, const char* text) override;

  // Draw through the GL 1.1 layer in an OpenGL ES 2 context instead of the
  // system's OpenGL 1.1.
  bool gles = false;

 private:
  SDL_Surface* icon_ = nullptr;
};

class SdlWindowOps final : public WindowOps {
 public:
  int GetSystemMetrics(int index) override;
  void GetClientRect(int32_t& width, int32_t& height) override;
  void GetCursorPos(int32_t& x, int32_t& y) override;
  void TrackMouseLeave() override;
  void SetCursor(CursorHandle cursor) override;
  intptr_t DefaultWindowProc(const Msg& msg) override;
};

}  // namespace vl
