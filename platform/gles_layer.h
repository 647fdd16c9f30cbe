// The GL 1.1 layer over OpenGL ES 2 on SDL: chosen on the web always, and
// on the desktop with VANTALOOP_GLES=1, where the game otherwise draws
// through the system's own OpenGL 1.1.
#pragma once

namespace vl {

// Whether this run draws through the layer.
bool GlesLayerWanted();
// In the ES context just made current: fills the layer's ES table from the
// driver, starts the layer and points the game's GL table at it. False,
// with the reason on stderr, when the driver lacks what the layer needs.
bool InstallGlesLayer();

}  // namespace vl
