#include "render/gles/layer_state.h"

#include <algorithm>
#include <cstddef>

#include "render/gl_api.h"
#include "render/gles/es_api.h"

namespace vl::gles {

LayerState layer;

MatrixStack& CurrentStack() { return layer.projectionMode ? layer.projection : layer.modelview; }

namespace {
// Points the attributes at the vertices from `first` on in the bound buffer.
void PointAt(size_t first) {
  const size_t offset = first * sizeof(EsVertex);
  es.VertexAttribPointer(kPositionAttribute, 4, esc::FLOAT, glc::FALSE_, sizeof(EsVertex),
                         reinterpret_cast<const void*>(offset));
  es.VertexAttribPointer(kColourAttribute, 4, esc::UNSIGNED_BYTE, glc::TRUE_, sizeof(EsVertex),
                         reinterpret_cast<const void*>(offset + offsetof(EsVertex, colour)));
}
}  // namespace

void DrawBuffer(uint32_t buffer, Primitive kind, const Mat4& matrix, int32_t first, int32_t count,
                const float* colour) {
  if (count <= 0 || kind == Primitive::None) return;
  es.BindBuffer(esc::ARRAY_BUFFER, buffer);
  es.UniformMatrix4fv(layer.program.matrixLocation, 1, glc::FALSE_, matrix.data());
  if (colour) {
    const auto c = [colour](int i) { return std::clamp(colour[i], 0.0f, 1.0f); };
    es.DisableVertexAttribArray(kColourAttribute);
    es.VertexAttrib4f(kColourAttribute, c(0), c(1), c(2), c(3));
  }
  if (kind == Primitive::Quads) {
    // Each piece starts the shared index pattern at its own first vertex.
    constexpr int32_t kPiece = static_cast<int32_t>(kQuadsPerDraw * 4);
    for (int32_t done = 0; done < count; done += kPiece) {
      PointAt(static_cast<size_t>(first + done));
      es.DrawElements(esc::TRIANGLES, std::min(count - done, kPiece) / 4 * 6, esc::UNSIGNED_SHORT,
                      nullptr);
    }
  } else {
    PointAt(0);
    es.DrawArrays(kind == Primitive::Lines ? glc::LINES : esc::TRIANGLES, first, count);
  }
  if (colour) es.EnableVertexAttribArray(kColourAttribute);
}

void FlushBatch() {
  if (layer.batch.empty()) return;
  const size_t bytes = layer.batch.size() * sizeof(EsVertex);
  es.BindBuffer(esc::ARRAY_BUFFER, layer.streamBuffer);
  if (bytes > layer.streamCapacity) {
    layer.streamCapacity = std::max(bytes, 2 * layer.streamCapacity);
    es.BufferData(esc::ARRAY_BUFFER, static_cast<std::ptrdiff_t>(layer.streamCapacity), nullptr,
                  esc::DYNAMIC_DRAW);
  }
  es.BufferSubData(esc::ARRAY_BUFFER, 0, static_cast<std::ptrdiff_t>(bytes), layer.batch.data());
  DrawBuffer(layer.streamBuffer, layer.batchKind, layer.projection.Top(), 0,
             static_cast<int32_t>(layer.batch.size()), nullptr);
  layer.batch.clear();
}

}  // namespace vl::gles
