// An offscreen SDL window with a compatibility-profile OpenGL context (or an
// OpenGL ES 2 one drawn through the game's layer) at the game's default
// size, made current, with the driver in the game's GL table and the
// window's start-up GL state. Run with SDL_VIDEODRIVER=offscreen where there
// is no display.
#pragma once

#include <SDL.h>
#include <SDL_opengl.h>

#include <cstdio>
#include <cstdlib>

#include "platform/gl_functions.h"
#include "platform/sdl_window.h"
#include "render/gl_api.h"
#include "shell/window.h"

namespace vl::bench {

class WorldGlContext {
 public:
  // The game's own window and context code makes them, as at start-up;
  // with `gles`, an OpenGL ES 2 context drawn through the game's layer.
  explicit WorldGlContext(bool gles = false) {
    if (SDL_Init(SDL_INIT_VIDEO) != 0) Fail("SDL_Init");
    window_.gles = gles;
    PixelFormatDescriptor pfd;
    pfd.cColorBits = 32;
    pfd.cDepthBits = 16;
    pfd.cStencilBits = 2;
    if (!window_.MakeWindow("vantaloop bench", 0, 0, windowSettings.width, windowSettings.height,
                              pfd, -1))
      Fail("the window");
    if (!window_.CreateContext()) Fail("the OpenGL context");
    if (!gles) InstallSystemGl();
    // What the window's set-up leaves, with depth writes on as after the
    // first frame.
    ResizeViewport(windowSettings.width, windowSettings.height);
    gl.ShadeModel(glc::SMOOTH);
    gl.ClearColor(0, 0, 0, 0);
    gl.ClearDepth(1.0);
    gl.DepthMask(glc::TRUE_);
    gl.Disable(glc::CULL_FACE);
  }
  ~WorldGlContext() {
    window_.DestroyContext();
    window_.DestroyWindow();
    SDL_Quit();
  }
  WorldGlContext(const WorldGlContext&) = delete;
  WorldGlContext& operator=(const WorldGlContext&) = delete;

  const char* Renderer() const { return reinterpret_cast<const char*>(glGetString(GL_RENDERER)); }

  // Pixels of the last picture with any green in them: shows that the
  // measured work really drew the city.
  static long LitPixels() {
    static unsigned char pixels[800 * 500 * 4];
    gl.Finish();
    glReadPixels(0, 0, 800, 500, GL_RGBA, GL_UNSIGNED_BYTE, pixels);
    long lit = 0;
    for (int i = 0; i < 800 * 500; ++i) lit += pixels[4 * i + 1] != 0;
    return lit;
  }

 private:
  [[noreturn]] static void Fail(const char* what) {
    std::fprintf(stderr, "%s: %s\n", what, SDL_GetError());
    std::exit(1);
  }
  SdlWindowPlatform window_;
};

}  // namespace vl::bench
