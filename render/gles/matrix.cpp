#include "render/gles/matrix.h"

#include <cmath>

namespace vl::gles {

Mat4 Identity() { return {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}; }

Mat4 Multiply(const Mat4& a, const Mat4& b) {
  Mat4 p{};
  for (int c = 0; c < 4; ++c)
    for (int r = 0; r < 4; ++r)
      p[c * 4 + r] = a[r] * b[c * 4] + a[4 + r] * b[c * 4 + 1] + a[8 + r] * b[c * 4 + 2] +
                     a[12 + r] * b[c * 4 + 3];
  return p;
}

Mat4 Translation(float x, float y, float z) {
  Mat4 m = Identity();
  m[12] = x;
  m[13] = y;
  m[14] = z;
  return m;
}

Mat4 Scaling(float x, float y, float z) {
  Mat4 m = Identity();
  m[0] = x;
  m[5] = y;
  m[10] = z;
  return m;
}

Mat4 Rotation(float degrees, float x, float y, float z) {
  const float length = std::sqrt(x * x + y * y + z * z);
  if (!(length > 0.0f) || !std::isfinite(length)) return Identity();
  x /= length;
  y /= length;
  z /= length;
  const float radians = degrees * static_cast<float>(3.14159265358979323846 / 180.0);
  const float s = std::sin(radians), c = std::cos(radians), k = 1.0f - c;
  Mat4 m = Identity();
  m[0] = x * x * k + c;
  m[1] = y * x * k + z * s;
  m[2] = x * z * k - y * s;
  m[4] = x * y * k - z * s;
  m[5] = y * y * k + c;
  m[6] = y * z * k + x * s;
  m[8] = x * z * k + y * s;
  m[9] = y * z * k - x * s;
  m[10] = z * z * k + c;
  return m;
}

bool Frustum(float l, float r, float b, float t, float n, float f, Mat4& out) {
  if (n <= 0.0f || f <= 0.0f || l == r || b == t || n == f) return false;
  out = Mat4{};
  out[0] = (2.0f * n) / (r - l);
  out[5] = (2.0f * n) / (t - b);
  out[8] = (r + l) / (r - l);
  out[9] = (t + b) / (t - b);
  out[10] = -(f + n) / (f - n);
  out[11] = -1.0f;
  out[14] = -(2.0f * f * n) / (f - n);
  return true;
}

bool Ortho(float l, float r, float b, float t, float n, float f, Mat4& out) {
  if (l == r || b == t || n == f) return false;
  out = Identity();
  out[0] = 2.0f / (r - l);
  out[5] = 2.0f / (t - b);
  out[10] = -2.0f / (f - n);
  out[12] = -(r + l) / (r - l);
  out[13] = -(t + b) / (t - b);
  out[14] = -(f + n) / (f - n);
  return true;
}

Vec4f Transform(const Mat4& m, float x, float y, float z) {
  return {m[0] * x + m[4] * y + m[8] * z + m[12], m[1] * x + m[5] * y + m[9] * z + m[13],
          m[2] * x + m[6] * y + m[10] * z + m[14], m[3] * x + m[7] * y + m[11] * z + m[15]};
}

MatrixStack::MatrixStack(size_t depth) : depth_(depth), stack_{Identity()} {}

bool MatrixStack::Push() {
  if (stack_.size() >= depth_) return false;
  stack_.push_back(stack_.back());
  return true;
}

bool MatrixStack::Pop() {
  if (stack_.size() <= 1) return false;
  stack_.pop_back();
  return true;
}

void MatrixStack::Reset() { stack_.assign(1, Identity()); }

}  // namespace vl::gles
