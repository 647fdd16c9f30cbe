#include "render/gles/vertex_gather.h"

#include <cmath>

#include "render/gl_api.h"

namespace vl::gles {

namespace {
constexpr uint32_t kTriangles = 0x0004;
}  // namespace

Primitive PrimitiveOf(uint32_t mode) {
  switch (mode) {
    case glc::LINES: return Primitive::Lines;
    case kTriangles:
    case glc::QUADS: return Primitive::Triangles;
    default: return Primitive::None;
  }
}

uint8_t ToUnorm8(float channel) {
  if (!(channel > 0.0f)) return 0;
  if (channel >= 1.0f) return 255;
  return static_cast<uint8_t>(std::lround(channel * 255.0f));
}

void PrimitiveGatherer::Begin(uint32_t mode, std::vector<EsVertex>* out) {
  mode_ = mode;
  out_ = out;
  pendingCount_ = 0;
}

void PrimitiveGatherer::Vertex(const EsVertex& v) {
  if (!out_) return;
  switch (mode_) {
    case glc::LINES:
      if (pendingCount_ == 0) {
        pending_[pendingCount_++] = v;
      } else {
        out_->push_back(pending_[0]);
        out_->push_back(v);
        pendingCount_ = 0;
      }
      break;
    case kTriangles:
      if (pendingCount_ < 2) {
        pending_[pendingCount_++] = v;
      } else {
        out_->insert(out_->end(), {pending_[0], pending_[1], v});
        pendingCount_ = 0;
      }
      break;
    case glc::QUADS:
      if (pendingCount_ < 3) {
        pending_[pendingCount_++] = v;
      } else {
        out_->insert(out_->end(), {pending_[0], pending_[1], pending_[2], pending_[0], pending_[2], v});
        pendingCount_ = 0;
      }
      break;
    default: break;
  }
}

void PrimitiveGatherer::End() {
  out_ = nullptr;
  pendingCount_ = 0;
}

}  // namespace vl::gles
