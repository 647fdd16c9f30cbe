// 4 x 4 matrices as OpenGL 1.1 keeps them: single precision, column-major
// (element [c * 4 + r] is row r of column c), every product and sum rounded
// to single precision on its own, and the matrix stacks that hold them.
#pragma once

#include <array>
#include <cstddef>
#include <vector>

namespace vl::gles {

using Mat4 = std::array<float, 16>;

Mat4 Identity();
// a x b: b's transform applies first, as glMultMatrix multiplies on the right.
Mat4 Multiply(const Mat4& a, const Mat4& b);
Mat4 Translation(float x, float y, float z);
Mat4 Scaling(float x, float y, float z);
// A turn of `degrees` about the axis (x, y, z), counter-clockwise looking
// down the axis; a zero axis leaves the matrix unchanged, as GL does.
Mat4 Rotation(float degrees, float x, float y, float z);
// glFrustum's and glOrtho's matrices; their bounds are taken to single
// precision first. Bounds GL refuses (equal planes, a near plane at or
// behind the eye) give no matrix: the call changes nothing.
bool Frustum(float l, float r, float b, float t, float n, float f, Mat4& out);
bool Ortho(float l, float r, float b, float t, float n, float f, Mat4& out);

struct Vec4f {
  float x, y, z, w;
};
// m x (x, y, z, 1).
Vec4f Transform(const Mat4& m, float x, float y, float z);

// One matrix stack: the top is the current matrix. Pushing a full stack or
// popping its last matrix changes nothing, as GL refuses them.
class MatrixStack {
 public:
  explicit MatrixStack(size_t depth);
  Mat4& Top() { return stack_.back(); }
  const Mat4& Top() const { return stack_.back(); }
  bool Push();
  bool Pop();
  void Reset();

 private:
  size_t depth_;
  std::vector<Mat4> stack_;
};

}  // namespace vl::gles
