// Box drawing: everything solid in the world is an axis-aligned box of six
// flat-coloured quads.
#pragma once

#include "flight/vec3.h"

namespace vl {

// Multiplies every face colour; the ghosts tint themselves with it.
extern Vec3 colorMultiplier;

// Emits the box from corner p to p + s inside an open GL_QUADS block: one
// colour and four vertices per face. Leaves colorOffset at 0.01 x p.
void DrawBox(Vec3 p, Vec3 s);
// Draws one box of size s around centre c in a GL_QUADS block of its own.
void DrawCenteredBox(Vec3 c, Vec3 s);

}  // namespace vl
