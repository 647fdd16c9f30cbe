#include "platform/gl_functions.h"

namespace vl {

// A web page has no OpenGL 1.1 driver: the game draws through its GL 1.1
// layer over WebGL, which fills the game's GL table once the window's
// context is made (platform/gles_layer.cpp).
void InstallSystemGl() {}

}  // namespace vl
