#include "render/projection.h"

#include <cmath>

#include "render/gl_api.h"
#include "shell/window.h"

namespace vl {

void SetPerspective(double fovY, double aspect, double zNear, double zFar, double shiftX,
                    double shiftY) {
  // The game has always taken pi as 3.1415 here; the picture depends on it.
  const double halfAngle = ((fovY * 0.5) * 3.1415) * 2 * 0.002777777777777778;
  const double h = std::tan(halfAngle) * zNear;
  const double w = aspect * h;
  gl.Frustum(2 * shiftX * w - w, 2 * shiftX * w + w, 2 * shiftY * h - h, 2 * shiftY * h + h,
             zNear, zFar);
}

namespace {
double Aspect() {
  return static_cast<double>(windowSettings.width) / static_cast<double>(windowSettings.height);
}
}  // namespace

void SetProjection(bool threeD) {
  if (threeD) {
    gl.Enable(glc::DEPTH_TEST);
    gl.MatrixMode(glc::PROJECTION);
    gl.LoadIdentity();
    SetPerspective(60.0, Aspect(), 0.2f, 1000.0, 0.0, 0.0);
    gl.MatrixMode(glc::MODELVIEW);
    gl.LoadIdentity();
  } else {
    gl.MatrixMode(glc::PROJECTION);
    gl.LoadIdentity();
    const double a = Aspect();
    gl.Ortho(-0.5 * a, 0.5 * a, 1.0, 0.0, -1.0, 1.0);
    gl.MatrixMode(glc::MODELVIEW);
    gl.Disable(glc::DEPTH_TEST);
    gl.LoadIdentity();
  }
}

}  // namespace vl
