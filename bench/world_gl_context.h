// An offscreen SDL window with a compatibility-profile OpenGL context at the
// game's default size, made current, with the system driver in the game's
// GL table and the window's start-up GL state. Run with
// SDL_VIDEODRIVER=offscreen where there is no display.
#pragma once

#include <SDL.h>
#include <SDL_opengl.h>

#include <cstdio>
#include <cstdlib>

#include "platform/gl_functions.h"
#include "shell/window.h"

namespace vl::bench {

class WorldGlContext {
 public:
  WorldGlContext() {
    if (SDL_Init(SDL_INIT_VIDEO) != 0) Fail("SDL_Init");
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    window_ = SDL_CreateWindow("vantaloop bench", 0, 0, windowSettings.width,
                               windowSettings.height, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    if (!window_) Fail("SDL_CreateWindow");
    context_ = SDL_GL_CreateContext(window_);
    if (!context_) Fail("SDL_GL_CreateContext");
    SDL_GL_MakeCurrent(window_, context_);
    InstallSystemGl();
    // What the window's set-up leaves, with depth writes on as after the
    // first frame.
    ResizeViewport(windowSettings.width, windowSettings.height);
    glShadeModel(GL_SMOOTH);
    glClearColor(0, 0, 0, 0);
    glClearDepth(1.0);
    glDepthMask(GL_TRUE);
    glDisable(GL_CULL_FACE);
  }
  ~WorldGlContext() {
    SDL_GL_DeleteContext(context_);
    SDL_DestroyWindow(window_);
    SDL_Quit();
  }
  WorldGlContext(const WorldGlContext&) = delete;
  WorldGlContext& operator=(const WorldGlContext&) = delete;

  const char* Renderer() const { return reinterpret_cast<const char*>(glGetString(GL_RENDERER)); }

 private:
  [[noreturn]] static void Fail(const char* what) {
    std::fprintf(stderr, "%s: %s\n", what, SDL_GetError());
    std::exit(1);
  }
  SDL_Window* window_ = nullptr;
  SDL_GLContext context_ = nullptr;
};

}  // namespace vl::bench
