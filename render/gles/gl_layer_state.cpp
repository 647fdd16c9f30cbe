// The layer's state calls. Those ES has pass on after the waiting batch is
// drawn under the old state; those of GL 1.1's fixed pipeline that ES lacks
// change nothing the game's pictures show: it binds no texture, draws only
// filled polygons and gives each face one colour, so texturing, the
// perspective hint, the polygon mode and the shade model are left to ES's
// own behaviour.
#include <algorithm>

#include "render/gl_api.h"
#include "render/gles/es_api.h"
#include "render/gles/gl_layer_functions.h"
#include "render/gles/layer_state.h"

namespace vl::gles::call {

namespace {
// Capabilities that ES 2 has, with GL's numbers.
bool EsCapability(uint32_t cap) {
  switch (cap) {
    case glc::CULL_FACE:
    case glc::DEPTH_TEST:
    case glc::BLEND:
    case glc::SCISSOR_TEST:
    case 0x0B90:  // stencil test
    case 0x0BD0:  // dither
    case 0x8037:  // polygon offset fill
      return true;
    default: return false;
  }
}

// Whether a state call acts now: not inside glBegin, where GL refuses it,
// and only once the batch is drawn under the state it was given in.
bool Acts() {
  if (layer.inBegin) return false;
  FlushBatch();
  return true;
}
}  // namespace

void Viewport(int32_t x, int32_t y, int32_t w, int32_t h) {
  if (KeptInList([=] { Viewport(x, y, w, h); }) || !Acts()) return;
  es.Viewport(x, y, w, h);
}

void Enable(uint32_t cap) {
  if (KeptInList([=] { Enable(cap); }) || !EsCapability(cap) || !Acts()) return;
  es.Enable(cap);
}

void Disable(uint32_t cap) {
  if (KeptInList([=] { Disable(cap); }) || !EsCapability(cap) || !Acts()) return;
  es.Disable(cap);
}

void ShadeModel(uint32_t) {}
void Hint(uint32_t, uint32_t) {}
void PolygonMode(uint32_t, uint32_t) {}

void ClearColor(float r, float g, float b, float a) {
  if (KeptInList([=] { ClearColor(r, g, b, a); }) || layer.inBegin) return;
  es.ClearColor(r, g, b, a);
}

void ClearDepth(double d) {
  if (KeptInList([=] { ClearDepth(d); }) || layer.inBegin) return;
  es.ClearDepthf(static_cast<float>(std::clamp(d, 0.0, 1.0)));
}

void DepthMask(uint8_t flag) {
  if (KeptInList([=] { DepthMask(flag); }) || !Acts()) return;
  es.DepthMask(flag);
}

void DepthFunc(uint32_t func) {
  if (KeptInList([=] { DepthFunc(func); }) || !Acts()) return;
  es.DepthFunc(func);
}

void Clear(uint32_t mask) {
  if (KeptInList([=] { Clear(mask); }) || !Acts()) return;
  es.Clear(mask);
}

void Finish() {
  if (!Acts()) return;
  es.Finish();
}

void Flush() {
  if (!Acts()) return;
  es.Flush();
}

void LineWidth(float w) {
  if (KeptInList([=] { LineWidth(w); }) || !Acts()) return;
  es.LineWidth(w);
}

void BlendFunc(uint32_t src, uint32_t dst) {
  if (KeptInList([=] { BlendFunc(src, dst); }) || !Acts()) return;
  es.BlendFunc(src, dst);
}

}  // namespace vl::gles::call
