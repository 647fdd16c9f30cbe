#include "render/boxes.h"

#include "render/face_lighting.h"
#include "render/gl_api.h"

namespace vl {

Vec3 colorMultiplier{1.0f, 1.0f, 1.0f};

namespace {
void FaceColour(int f) {
  gl.Color3f((faceColors[f].x + colorOffset.x) * colorMultiplier.x,
             (faceColors[f].y + colorOffset.y) * colorMultiplier.y,
             (faceColors[f].z + colorOffset.z) * colorMultiplier.z);
}
}  // namespace

void DrawBox(Vec3 p, Vec3 s) {
  SetColorOffset(p.x, p.y, p.z);
  const Vec3 q{s.x + p.x, s.y + p.y, s.z + p.z};

  FaceColour(0);  // -x
  gl.Vertex3f(p.x, p.y, p.z);
  gl.Vertex3f(p.x, q.y, p.z);
  gl.Vertex3f(p.x, q.y, q.z);
  gl.Vertex3f(p.x, p.y, q.z);

  FaceColour(1);  // +x
  gl.Vertex3f(q.x, p.y, p.z);
  gl.Vertex3f(q.x, q.y, p.z);
  gl.Vertex3f(q.x, q.y, q.z);
  gl.Vertex3f(q.x, p.y, q.z);

  FaceColour(2);  // -y
  gl.Vertex3f(p.x, p.y, p.z);
  gl.Vertex3f(q.x, p.y, p.z);
  gl.Vertex3f(q.x, p.y, q.z);
  gl.Vertex3f(p.x, p.y, q.z);

  FaceColour(3);  // +y
  gl.Vertex3f(p.x, q.y, p.z);
  gl.Vertex3f(q.x, q.y, p.z);
  gl.Vertex3f(q.x, q.y, q.z);
  gl.Vertex3f(p.x, q.y, q.z);

  FaceColour(4);  // -z
  gl.Vertex3f(p.x, p.y, p.z);
  gl.Vertex3f(q.x, p.y, p.z);
  gl.Vertex3f(q.x, q.y, p.z);
  gl.Vertex3f(p.x, q.y, p.z);

  FaceColour(5);  // +z
  gl.Vertex3f(p.x, p.y, q.z);
  gl.Vertex3f(q.x, p.y, q.z);
  gl.Vertex3f(q.x, q.y, q.z);
  gl.Vertex3f(p.x, q.y, q.z);
}

void DrawCenteredBox(Vec3 c, Vec3 s) {
  gl.Begin(glc::QUADS);
  const Vec3 corner{c.x - s.x * 0.5f, c.y - s.y * 0.5f, c.z - s.z * 0.5f};
  DrawBox(corner, s);
  gl.End();
}

}  // namespace vl
