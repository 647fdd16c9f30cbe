#include "platform/gles_layer.h"

#include <SDL.h>

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
#define VL_ES_DRIVER(ret, name, params, args)                                            \
  found.name = reinterpret_cast<ret(*) params>(SDL_GL_GetProcAddress("gl" #name)); \
  if (!found.name && !missing) missing = "gl" #name;
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
