#include "render/gles/layer_state.h"

#include <algorithm>

#include "render/gl_api.h"
#include "render/gles/es_api.h"

namespace vl::gles {

LayerState layer;

MatrixStack& CurrentStack() { return layer.projectionMode ? layer.projection : layer.modelview; }

void DrawBuffer(uint32_t buffer, Primitive kind, const Mat4& matrix, int32_t first, int32_t count,
                const float* colour) {
  if (count <= 0 || kind == Primitive::None) return;
  es.BindBuffer(esc::ARRAY_BUFFER, buffer);
  es.UniformMatrix4fv(layer.program.matrixLocation, 1, glc::FALSE_, matrix.data());
  es.VertexAttribPointer(kPositionAttribute, 4, esc::FLOAT, glc::FALSE_, sizeof(EsVertex), nullptr);
  es.VertexAttribPointer(kColourAttribute, 4, esc::UNSIGNED_BYTE, glc::TRUE_, sizeof(EsVertex),
                         reinterpret_cast<const void*>(offsetof(EsVertex, colour)));
  if (colour) {
    const auto c = [colour](int i) { return std::clamp(colour[i], 0.0f, 1.0f); };
    es.DisableVertexAttribArray(kColourAttribute);
    es.VertexAttrib4f(kColourAttribute, c(0), c(1), c(2), c(3));
  }
  es.DrawArrays(kind == Primitive::Lines ? glc::LINES : esc::TRIANGLES, first, count);
  if (colour) es.EnableVertexAttribArray(kColourAttribute);
}

void FlushBatch() {
  if (layer.batch.empty()) return;
  es.BindBuffer(esc::ARRAY_BUFFER, layer.streamBuffer);
  es.BufferData(esc::ARRAY_BUFFER, static_cast<std::ptrdiff_t>(layer.batch.size() * sizeof(EsVertex)),
                layer.batch.data(), esc::STREAM_DRAW);
  DrawBuffer(layer.streamBuffer, layer.batchKind, layer.projection.Top(), 0,
             static_cast<int32_t>(layer.batch.size()), nullptr);
  layer.batch.clear();
}

}  // namespace vl::gles
