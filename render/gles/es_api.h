// The OpenGL ES 2 calls the GL 1.1 layer makes, as one table of function
// pointers, filled by the platform layer when the layer is chosen.
#pragma once

#include <cstdint>

#include "render/gles/es_function_list.h"

namespace vl {

// ES's own numbers, for what the layer passes on and what it asks for.
namespace esc {
constexpr uint32_t TRIANGLES = 0x0004;
constexpr uint32_t FLOAT = 0x1406;
constexpr uint32_t UNSIGNED_BYTE = 0x1401;
constexpr uint32_t UNSIGNED_SHORT = 0x1403;
constexpr uint32_t ARRAY_BUFFER = 0x8892;
constexpr uint32_t ELEMENT_ARRAY_BUFFER = 0x8893;
constexpr uint32_t STREAM_DRAW = 0x88E0;
constexpr uint32_t STATIC_DRAW = 0x88E4;
constexpr uint32_t DYNAMIC_DRAW = 0x88E8;
constexpr uint32_t FRAGMENT_SHADER = 0x8B30;
constexpr uint32_t VERTEX_SHADER = 0x8B31;
constexpr uint32_t COMPILE_STATUS = 0x8B81;
constexpr uint32_t LINK_STATUS = 0x8B82;
}  // namespace esc

struct EsApi {
#define VL_ES_POINTER(ret, name, params, args) ret(*name) params;
  VL_ES_FUNCTIONS(VL_ES_POINTER)
#undef VL_ES_POINTER
};

// The table the layer draws through.
extern EsApi es;

}  // namespace vl
