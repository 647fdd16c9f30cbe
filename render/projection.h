// The projections: the perspective the world is drawn in, and a 2D view one
// unit high.
#pragma once

namespace vl {

// Multiplies the current matrix by a frustum with the full vertical field of
// view fovY (degrees). shiftX and shiftY move the frustum window sideways
// and up in units of its half-size.
void SetPerspective(double fovY, double aspect, double zNear, double zFar, double shiftX,
                    double shiftY);
// Loads the 3D perspective (threeD) or the 2D view, y running down from 0 at
// the top of the window to 1 at the bottom. Either way the model-view matrix
// is selected and set to the identity afterwards.
void SetProjection(bool threeD);

}  // namespace vl
