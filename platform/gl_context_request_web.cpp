#include "platform/gl_context_request.h"

namespace vl {

// A web page gets what WebGL offers (OpenGL ES 2), which SDL asks for by
// itself; a request for a desktop profile would fail there.
void RequestGlContext() {}

}  // namespace vl
