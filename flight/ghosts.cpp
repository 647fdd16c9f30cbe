#include "flight/ghosts.h"

#include <cmath>

#include "flight/recordings.h"
#include "render/boxes.h"
#include "render/gl_api.h"

namespace vl {

Vec3 GhostColour(int index) {
  const float i = static_cast<float>(index);
  const float r = (std::cos(1.21f * i) + 1.0f) * 0.5f;
  float g = (std::cos(0.31f * i) + 1.0f) * 0.5f;
  const float b = (std::sin(7.61f * i) + 1.0f) * 0.5f;
  g = g * 0.7f;
  // Every channel is pulled 60 % of the way towards 0.7, so no ghost is
  // very dark or very bright.
  const auto soften = [](float c) { return c + (0.7f - c) * 0.6f; };
  return {soften(r), soften(g), soften(b)};
}

namespace {

// The little aircraft, in model units: nose at +z, wings along x.
void DrawGhostModel() {
  // Fuselage.
  DrawCenteredBox({0.0f, 0.0f, 0.0f}, {1.3f, 0.9f, 2.0f});
  DrawCenteredBox({0.0f, -0.4f, 1.0f}, {0.8f, 0.5f, 4.5f});
  DrawCenteredBox({0.0f, 0.0f, -2.0f}, {2.0f, 1.5f, 3.0f});
  DrawCenteredBox({0.0f, 0.0f, -3.0f}, {1.5f, 1.0f, 3.0f});
  // Wing on the +x side, tilted down and swept back.
  gl.PushMatrix();
  gl.Rotatef(-20.0f, 0.0f, 0.0f, 1.0f);
  gl.Rotatef(15.0f, 0.0f, 1.0f, 0.0f);
  DrawCenteredBox({3.0f, 0.0f, -2.0f}, {4.0f, 0.3f, 2.0f});
  DrawCenteredBox({2.0f, 0.3f, -2.0f}, {2.0f, 0.3f, 2.0f});
  gl.PopMatrix();
  // Wing on the -x side, mirrored.
  gl.PushMatrix();
  gl.Rotatef(20.0f, 0.0f, 0.0f, 1.0f);
  gl.Rotatef(-15.0f, 0.0f, 1.0f, 0.0f);
  DrawCenteredBox({-3.0f, 0.0f, -2.0f}, {4.0f, 0.3f, 2.0f});
  DrawCenteredBox({-2.0f, 0.3f, -2.0f}, {2.0f, 0.3f, 2.0f});
  gl.PopMatrix();
  // Two tail fins leaning 20 degrees apart each way.
  gl.PushMatrix();
  gl.Rotatef(20.0f, 0.0f, 0.0f, 1.0f);
  DrawCenteredBox({-0.5f, 1.0f, -4.0f}, {0.2f, 1.0f, 1.5f});
  gl.Rotatef(-40.0f, 0.0f, 0.0f, 1.0f);
  DrawCenteredBox({0.5f, 1.0f, -4.0f}, {0.2f, 1.0f, 1.5f});
  gl.PopMatrix();
}

}  // namespace

void DrawGhostAircraft(const FrameRecord& frame, Vec3 colour) {
  colorMultiplier = colour;
  gl.PushMatrix();
  gl.Translatef(frame.position.x, frame.position.y, frame.position.z);
  gl.MultMatrixf(frame.rotation);
  // Model +z along the recorded forward, +y up, +x to the left; one model
  // unit is 0.2 world units.
  gl.Scalef(-0.2f, 0.2f, -0.2f);
  DrawGhostModel();
  gl.PopMatrix();
}

void DrawGhosts() {
  for (int32_t i = 1; i < recordingCount; ++i) {
    Recording& r = recordings[i];
    if (r.cursor >= r.frameCount) continue;  // this flight has ended
    const FrameRecord& frame = r.frames[r.cursor];
    r.cursor += 1;
    DrawGhostAircraft(frame, GhostColour(i));
  }
}

}  // namespace vl
