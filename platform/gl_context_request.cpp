#include "platform/gl_context_request.h"

#include <SDL.h>

namespace vl {

// The game uses fixed-function OpenGL: a compatibility context.
void RequestGlContext() { SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY); }

}  // namespace vl
