// The OpenGL 1.1 calls the game makes, as one table of function pointers.
//
// The game never calls OpenGL by name: it calls through `gl`, which the
// platform layer fills with the real driver entry points at start-up and
// which tests fill with recording functions. A call through the table costs
// one indirect call, the same as the driver's own dispatch.
#pragma once

#include <cstdint>

#include "render/gl_function_list.h"

namespace vl {

// The numeric values are OpenGL's own, so the real table can pass them on.
namespace glc {
constexpr uint32_t COLOR_BUFFER_BIT = 0x00004000;
constexpr uint32_t DEPTH_BUFFER_BIT = 0x00000100;
constexpr uint32_t LINES = 0x0001;
constexpr uint32_t LINE_STRIP = 0x0003;
constexpr uint32_t QUADS = 0x0007;
constexpr uint32_t LEQUAL = 0x0203;
constexpr uint32_t SRC_ALPHA = 0x0302;
constexpr uint32_t ONE_MINUS_SRC_ALPHA = 0x0303;
constexpr uint32_t FRONT_AND_BACK = 0x0408;
constexpr uint32_t CULL_FACE = 0x0B44;
constexpr uint32_t DEPTH_TEST = 0x0B71;
constexpr uint32_t BLEND = 0x0BE2;
constexpr uint32_t SCISSOR_TEST = 0x0C11;
constexpr uint32_t PERSPECTIVE_CORRECTION_HINT = 0x0C50;
constexpr uint32_t TEXTURE_2D = 0x0DE1;
constexpr uint32_t NICEST = 0x1102;
constexpr uint32_t MODELVIEW = 0x1700;
constexpr uint32_t PROJECTION = 0x1701;
constexpr uint32_t FILL = 0x1B02;
constexpr uint32_t SMOOTH = 0x1D01;
constexpr uint32_t COMPILE = 0x1300;
constexpr uint8_t FALSE_ = 0;
constexpr uint8_t TRUE_ = 1;
}  // namespace glc

struct GlApi {
#define VL_GL_POINTER(ret, name, params, args) ret(*name) params;
  VL_GL_FUNCTIONS(VL_GL_POINTER)
#undef VL_GL_POINTER
};

// The table every part of the game draws through.
extern GlApi gl;

}  // namespace vl
