// The layer's own version of every GL 1.1 function the game calls.
#pragma once

#include <cstdint>

#include "render/gl_function_list.h"

namespace vl::gles::call {

#define VL_LAYER_DECLARE(ret, name, params, args) ret name params;
VL_GL_FUNCTIONS(VL_LAYER_DECLARE)
#undef VL_LAYER_DECLARE

}  // namespace vl::gles::call
