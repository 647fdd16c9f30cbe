// Flat face lighting: six face colours from one fixed light, shifted per box
// by a colour offset that follows the box's position.
#pragma once

#include "flight/vec3.h"

namespace vl {

// Face colours by outward normal: 0 -x, 1 +x, 2 -y, 3 +y, 4 -z, 5 +z.
extern Vec3 faceColors[6];
// Added to every face colour; 0.01 x the corner of the box being drawn.
extern Vec3 colorOffset;

void SetColorOffset(float x, float y, float z);
Vec3 ShadeFace(Vec3 light, Vec3 normal, Vec3 diffuse, Vec3 base);
// Computes the palette from the fixed light (the first step of glkInit).
void ComputeFacePalette();

}  // namespace vl
