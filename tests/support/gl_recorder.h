// A GL table that records every call instead of drawing, so tests can check
// the exact stream of OpenGL calls a piece of the game makes.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "render/gl_api.h"

namespace vl::test {

enum class GlOp : uint8_t {
#define VL_GL_OP(ret, name, params, args) name,
  VL_GL_FUNCTIONS(VL_GL_OP)
#undef VL_GL_OP
};

const char* GlOpName(GlOp op);

struct GlCall {
  GlOp op;
  uint8_t argc;
  std::array<double, 16> a;  // arguments as passed, widened to double

  // Float arguments exactly as the game passed them.
  float f(int i) const { return static_cast<float>(a[i]); }
  uint32_t u(int i) const { return static_cast<uint32_t>(a[i]); }
  std::string ToString() const;
};

// Installs the recording table into `gl` for the life of the object and puts
// the previous table back afterwards.
class GlRecorder {
 public:
  GlRecorder();
  ~GlRecorder();
  GlRecorder(const GlRecorder&) = delete;
  GlRecorder& operator=(const GlRecorder&) = delete;

  const std::vector<GlCall>& calls() const;
  void Clear();
  size_t Count(GlOp op) const;
  // Every call of one kind, in order.
  std::vector<GlCall> Only(GlOp op) const;
  // The value the next GenLists call returns.
  void SetNextListName(uint32_t name);

 private:
  GlApi saved_;
};

}  // namespace vl::test
