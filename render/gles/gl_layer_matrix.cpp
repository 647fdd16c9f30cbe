// The layer's matrix calls. A change of the projection draws the waiting
// batch first, since its vertices still need the projection they were given
// under; modelview changes are already in the batch's vertices.
#include "render/gl_api.h"
#include "render/gles/gl_layer_functions.h"
#include "render/gles/layer_state.h"

namespace vl::gles::call {

namespace {
// Whether a matrix call may act now: GL refuses them inside glBegin.
bool Acts() {
  if (layer.inBegin) return false;
  if (layer.projectionMode) FlushBatch();
  return true;
}

void MultiplyCurrent(const Mat4& m) {
  if (!Acts()) return;
  Mat4& top = CurrentStack().Top();
  top = Multiply(top, m);
}
}  // namespace

void MatrixMode(uint32_t mode) {
  if (KeptInList([=] { MatrixMode(mode); }) || layer.inBegin) return;
  // The texture matrix does nothing in a game without textures; other
  // modes are not GL's.
  if (mode == glc::MODELVIEW || mode == glc::PROJECTION) layer.projectionMode = mode == glc::PROJECTION;
}

void LoadIdentity() {
  if (KeptInList([] { LoadIdentity(); }) || !Acts()) return;
  CurrentStack().Top() = Identity();
}

void Ortho(double l, double r, double b, double t, double n, double f) {
  if (KeptInList([=] { Ortho(l, r, b, t, n, f); })) return;
  Mat4 m;
  if (gles::Ortho(static_cast<float>(l), static_cast<float>(r), static_cast<float>(b),
            static_cast<float>(t), static_cast<float>(n), static_cast<float>(f), m))
    MultiplyCurrent(m);
}

void Frustum(double l, double r, double b, double t, double n, double f) {
  if (KeptInList([=] { Frustum(l, r, b, t, n, f); })) return;
  Mat4 m;
  if (gles::Frustum(static_cast<float>(l), static_cast<float>(r), static_cast<float>(b),
              static_cast<float>(t), static_cast<float>(n), static_cast<float>(f), m))
    MultiplyCurrent(m);
}

void PushMatrix() {
  if (KeptInList([] { PushMatrix(); }) || !Acts()) return;
  CurrentStack().Push();
}

void PopMatrix() {
  if (KeptInList([] { PopMatrix(); }) || !Acts()) return;
  CurrentStack().Pop();
}

void Translatef(float x, float y, float z) {
  if (!KeptInList([=] { Translatef(x, y, z); })) MultiplyCurrent(Translation(x, y, z));
}

void Scalef(float x, float y, float z) {
  if (!KeptInList([=] { Scalef(x, y, z); })) MultiplyCurrent(Scaling(x, y, z));
}

void Rotatef(float angle, float x, float y, float z) {
  if (!KeptInList([=] { Rotatef(angle, x, y, z); })) MultiplyCurrent(Rotation(angle, x, y, z));
}

void MultMatrixf(const float* m) {
  Mat4 copy;
  for (int i = 0; i < 16; ++i) copy[i] = m[i];
  if (!KeptInList([=] { MultMatrixf(copy.data()); })) MultiplyCurrent(copy);
}

}  // namespace vl::gles::call
