// The game's OpenGL 1.1 calls drawn through OpenGL ES 2 (and so WebGL 1):
// the matrix stacks, the current colour, immediate-mode blocks gathered
// into large vertex batches, display lists kept in static buffers, and the
// state the game sets. Nothing here includes a GL header: the layer draws
// through the `es` table, which the platform fills.
#pragma once

namespace vl::gles {

// Starts the layer in the ES context just made current: builds its program
// and stream buffer and forgets everything an earlier context held. False
// when the program cannot be built there.
bool StartLayer();
// Points the game's GL table at the layer.
void InstallLayer();
// Draws what the layer still holds back, before the picture is shown.
void FlushPending();

}  // namespace vl::gles
