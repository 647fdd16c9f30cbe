// The layer's colour and immediate-mode calls. glColor sets the current
// colour and every glVertex takes it, as in GL 1.1. Outside a list, a block
// joins the waiting batch when it draws the same kind of primitive;
// compiled into a list, it goes into the list's own vertices.
#include <memory>

#include "render/gl_api.h"
#include "render/gles/gl_layer_functions.h"
#include "render/gles/layer_state.h"

namespace vl::gles::call {

namespace {
void SetColour(float r, float g, float b, float a) {
  const float given[4] = {r, g, b, a};
  // Compiled, a colour is the list's until the list runs.
  uint8_t* bytes = layer.compiling ? layer.listColourBytes : layer.colourBytes;
  for (int i = 0; i < 4; ++i) bytes[i] = ToUnorm8(given[i]);
  if (layer.compiling) {
    layer.listColourSet = true;
    return;
  }
  for (int i = 0; i < 4; ++i) layer.colour[i] = given[i];
}

// The block just compiled, replayed as one draw from the list's buffer.
void KeepBlock(DisplayList& list, Primitive kind, size_t first, bool replayColour) {
  const auto start = static_cast<int32_t>(first);
  const auto count = static_cast<int32_t>(list.vertices.size() - first);
  if (count == 0) return;
  DisplayList* self = &list;
  list.commands.push_back([self, kind, start, count, replayColour] {
    if (layer.inBegin) return;
    FlushBatch();
    DrawBuffer(self->buffer, kind, Multiply(layer.projection.Top(), layer.modelview.Top()), start,
               count, replayColour ? layer.colour : nullptr);
  });
}
}  // namespace

// Compiled, a colour is both kept for the list's call and given to the
// vertices that follow it in the list.
void Color3f(float r, float g, float b) {
  KeptInList([=] { Color3f(r, g, b); });
  SetColour(r, g, b, 1.0f);
}

void Color4f(float r, float g, float b, float a) {
  KeptInList([=] { Color4f(r, g, b, a); });
  SetColour(r, g, b, a);
}

void Begin(uint32_t mode) {
  if (layer.inBegin) return;
  layer.inBegin = true;
  layer.beginMode = mode;
  if (layer.compiling) {
    layer.blockFirst = layer.compiling->vertices.size();
    layer.gatherer.Begin(mode, &layer.compiling->vertices);
    return;
  }
  const Primitive kind = PrimitiveOf(mode);
  if (kind != layer.batchKind) FlushBatch();
  layer.batchKind = kind;
  layer.gatherer.Begin(mode, &layer.batch);
}

void Vertex3f(float x, float y, float z) {
  if (!layer.inBegin) return;
  EsVertex v;
  if (layer.compiling) {
    v = {{x, y, z, 1.0f}, {}};
    for (int i = 0; i < 4; ++i) v.colour[i] = layer.listColourBytes[i];
  } else {
    const Vec4f eye = Transform(layer.modelview.Top(), x, y, z);
    v = {{eye.x, eye.y, eye.z, eye.w}, {}};
    for (int i = 0; i < 4; ++i) v.colour[i] = layer.colourBytes[i];
  }
  layer.gatherer.Vertex(v);
}

void End() {
  if (!layer.inBegin) return;
  layer.inBegin = false;
  layer.gatherer.End();
  if (layer.compiling)
    KeepBlock(*layer.compiling, PrimitiveOf(layer.beginMode), layer.blockFirst, !layer.listColourSet);
}

}  // namespace vl::gles::call
