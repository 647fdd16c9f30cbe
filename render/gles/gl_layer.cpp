#include "render/gles/gl_layer.h"

#include <vector>

#include "render/gl_api.h"
#include "render/gles/es_api.h"
#include "render/gles/gl_layer_functions.h"
#include "render/gles/layer_state.h"

namespace vl::gles {

bool StartLayer() {
  // The objects of an earlier context went with it.
  layer = LayerState{};
  layer.program = BuildProgram();
  if (!layer.program.program) return false;
  es.GenBuffers(1, &layer.streamBuffer);
  // The quads' index pattern stays bound for the life of the context.
  uint32_t quadIndices = 0;
  es.GenBuffers(1, &quadIndices);
  es.BindBuffer(esc::ELEMENT_ARRAY_BUFFER, quadIndices);
  const std::vector<uint16_t> indices = QuadIndices();
  es.BufferData(esc::ELEMENT_ARRAY_BUFFER, static_cast<std::ptrdiff_t>(indices.size() * sizeof(uint16_t)),
                indices.data(), esc::STATIC_DRAW);
  es.UseProgram(layer.program.program);
  es.EnableVertexAttribArray(kPositionAttribute);
  es.EnableVertexAttribArray(kColourAttribute);
  return true;
}

void InstallLayer() {
#define VL_LAYER_INSTALL(ret, name, params, args) gl.name = &call::name;
  VL_GL_FUNCTIONS(VL_LAYER_INSTALL)
#undef VL_LAYER_INSTALL
}

void FlushPending() { FlushBatch(); }

}  // namespace vl::gles
