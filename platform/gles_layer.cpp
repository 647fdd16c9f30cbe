#include "platform/gles_layer.h"

#include <SDL.h>
#ifdef __EMSCRIPTEN__
#include <GLES2/gl2.h>
#endif

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "render/gles/es_api.h"
#include "render/gles/gl_layer.h"

namespace vl {

bool GlesLayerWanted() {
#ifdef __EMSCRIPTEN__
  return true;
#else
  const char* wanted = std::getenv("VANTALOOP_GLES");
  return wanted && *wanted && std::strcmp(wanted, "0") != 0;
#endif
}

bool InstallGlesLayer() {
  EsApi found{};
  const char* missing = nullptr;
#ifdef __EMSCRIPTEN__
  // The browser's WebGL functions are linked in by name.
#define VL_ES_DRIVER(ret, name, params, args) found.name = reinterpret_cast<ret(*) params>(&gl##name);
#else
  // The desktop's ES entry points come from the driver SDL loaded for the
  // context (EGL or GLX), not from the OpenGL library the game links.
#define VL_ES_DRIVER(ret, name, params, args)                                       \
  found.name = reinterpret_cast<ret(*) params>(SDL_GL_GetProcAddress("gl" #name)); \
  if (!found.name && !missing) missing = "gl" #name;
#endif
  VL_ES_FUNCTIONS(VL_ES_DRIVER)
#undef VL_ES_DRIVER
  if (missing) {
    std::fprintf(stderr, "vantaloop: the OpenGL ES driver has no %s\n", missing);
    return false;
  }
  es = found;
  if (!gles::StartLayer()) {
    std::fprintf(stderr, "vantaloop: the OpenGL ES driver cannot build the game's shaders\n");
    return false;
  }
  gles::InstallLayer();
  return true;
}

}  // namespace vl
