#include "platform/gl_functions.h"

#ifndef __EMSCRIPTEN__
#include <SDL_opengl.h>
#endif

#include "render/gl_api.h"

namespace vl {

void InstallSystemGl() {
#ifdef __EMSCRIPTEN__
  // A browser has no OpenGL 1.1: the game draws through its ES layer there,
  // installed when the window's context is made.
#else
#define VL_GL_DRIVER(ret, name, params, args) gl.name = &gl##name;
  VL_GL_FUNCTIONS(VL_GL_DRIVER)
#undef VL_GL_DRIVER
#endif
}

}  // namespace vl
