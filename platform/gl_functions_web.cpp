#include "platform/gl_functions.h"

namespace vl {

// A web page has no OpenGL 1.1 driver: the game's GL table keeps its
// do-nothing entries until the GL 1.1 layer over WebGL fills it.
void InstallSystemGl() {}

}  // namespace vl
