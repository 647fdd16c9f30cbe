#include "render/gles/vertex_gather.h"

#include <cmath>

#include "render/gl_api.h"

namespace vl::gles {

namespace {
constexpr uint32_t kTriangles = 0x0004;

size_t VerticesPerPrimitive(Primitive kind) {
  switch (kind) {
    case Primitive::Lines: return 2;
    case Primitive::Triangles: return 3;
    case Primitive::Quads: return 4;
    default: return 0;
  }
}
}  // namespace

Primitive PrimitiveOf(uint32_t mode) {
  switch (mode) {
    case glc::LINES: return Primitive::Lines;
    case kTriangles: return Primitive::Triangles;
    case glc::QUADS: return Primitive::Quads;
    default: return Primitive::None;
  }
}

uint8_t ToUnorm8(float channel) {
  if (!(channel > 0.0f)) return 0;
  if (channel >= 1.0f) return 255;
  return static_cast<uint8_t>(std::lround(channel * 255.0f));
}

std::vector<uint16_t> QuadIndices() {
  std::vector<uint16_t> indices;
  indices.reserve(kQuadsPerDraw * 6);
  for (size_t q = 0; q < kQuadsPerDraw; ++q)
    for (size_t corner : {0, 1, 2, 0, 2, 3}) indices.push_back(static_cast<uint16_t>(q * 4 + corner));
  return indices;
}

void PrimitiveGatherer::Begin(uint32_t mode, std::vector<EsVertex>* out) {
  perPrimitive_ = VerticesPerPrimitive(PrimitiveOf(mode));
  out_ = perPrimitive_ ? out : nullptr;
  first_ = out ? out->size() : 0;
}

void PrimitiveGatherer::End() {
  if (out_) out_->resize(out_->size() - (out_->size() - first_) % perPrimitive_);
  out_ = nullptr;
}

}  // namespace vl::gles
