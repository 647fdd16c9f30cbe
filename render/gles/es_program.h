// The layer's one shader program: each vertex's position through one
// matrix, and its own colour, unchanged, on every pixel it covers.
#pragma once

#include <cstdint>

namespace vl::gles {

constexpr uint32_t kPositionAttribute = 0;
constexpr uint32_t kColourAttribute = 1;

struct EsProgram {
  uint32_t program = 0;  // 0: it could not be built
  int32_t matrixLocation = -1;
};

// Compiles and links the program in the current ES context, through `es`.
EsProgram BuildProgram();

}  // namespace vl::gles
