// Immediate mode as GL 1.1 takes it (glBegin, glVertex, glEnd) turned into
// what ES draws: independent triangles or lines, with no index buffer, so a
// block of any length draws whole. A quad becomes the triangles (0, 1, 2)
// and (0, 2, 3); a primitive left unfinished at glEnd is dropped, as GL
// drops it.
#pragma once

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

// The ES primitive a block is drawn with.
enum class Primitive : uint8_t { None, Lines, Triangles };

// The ES primitive for a glBegin mode; None for modes the layer does not
// draw (the game draws only lines and quads).
Primitive PrimitiveOf(uint32_t mode);
// GL's colour channel in 0..1 (clamped, NaN as 0) as an 8-bit one.
uint8_t ToUnorm8(float channel);

class PrimitiveGatherer {
 public:
  // Starts a block whose whole primitives go to the end of `out`.
  void Begin(uint32_t mode, std::vector<EsVertex>* out);
  void Vertex(const EsVertex& v);
  // Ends the block, dropping a primitive it left unfinished.
  void End();

 private:
  uint32_t mode_ = 0;
  std::vector<EsVertex>* out_ = nullptr;
  EsVertex pending_[3]{};
  int pendingCount_ = 0;
};

}  // namespace vl::gles
