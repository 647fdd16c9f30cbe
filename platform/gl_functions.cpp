#include "platform/gl_functions.h"

#include <SDL_opengl.h>

#include "render/gl_api.h"

namespace vl {

void InstallSystemGl() {
#define VL_GL_DRIVER(ret, name, params, args) gl.name = &gl##name;
  VL_GL_FUNCTIONS(VL_GL_DRIVER)
#undef VL_GL_DRIVER
}

}  // namespace vl
