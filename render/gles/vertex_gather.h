// Immediate mode as GL 1.1 takes it (glBegin, glVertex, glEnd) gathered
// into what ES draws. The vertices are kept as they come, and a primitive
// left unfinished at glEnd is dropped, as GL drops it; quads are drawn as
// two triangles each, (0, 1, 2) and (0, 2, 3), through one shared pattern
// of 16-bit indices (WebGL 1 has no 32-bit ones), in pieces of at most
// kQuadsPerDraw quads, so a block of any length draws whole.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace vl::gles {

// One vertex as the layer's buffers hold it: a homogeneous position and a
// colour of four 8-bit channels, the precision the framebuffer keeps.
struct EsVertex {
  float position[4];
  uint8_t colour[4];
};
static_assert(sizeof(EsVertex) == 20, "vertices are packed for the vertex buffers");

// The ES primitive a block is drawn as.
enum class Primitive : uint8_t { None, Lines, Triangles, Quads };

// The primitive for a glBegin mode; None for modes the layer does not draw
// (the game draws only lines and quads).
Primitive PrimitiveOf(uint32_t mode);
// GL's colour channel in 0..1 (clamped, NaN as 0) as an 8-bit one.
uint8_t ToUnorm8(float channel);

// The most quads one draw takes: their vertices are all that 16-bit
// indices reach.
constexpr size_t kQuadsPerDraw = 65536 / 4;
// The index pattern that draws kQuadsPerDraw quads as triangles.
std::vector<uint16_t> QuadIndices();

class PrimitiveGatherer {
 public:
  // Starts a block whose whole primitives go to the end of `out`.
  void Begin(uint32_t mode, std::vector<EsVertex>* out);
  void Vertex(const EsVertex& v) {
    if (out_) out_->push_back(v);
  }
  // Ends the block, dropping a primitive it left unfinished.
  void End();

 private:
  std::vector<EsVertex>* out_ = nullptr;
  size_t first_ = 0;
  size_t perPrimitive_ = 1;
};

}  // namespace vl::gles
