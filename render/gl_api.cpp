#include "render/gl_api.h"

namespace vl {

// Until the platform layer installs the driver, every call does nothing, so
// logic that touches GL before a context exists cannot crash.
GlApi gl = {
#define VL_GL_NOTHING(ret, name, params, args) [](auto...) -> ret { return ret(); },
    VL_GL_FUNCTIONS(VL_GL_NOTHING)
#undef VL_GL_NOTHING
};

}  // namespace vl
