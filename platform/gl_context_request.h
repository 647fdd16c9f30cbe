// The kind of OpenGL context the game's window asks for, set before the
// window is made.
#pragma once

namespace vl {

void RequestGlContext();

}  // namespace vl
