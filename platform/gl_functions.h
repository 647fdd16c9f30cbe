// Points the game's GL table at the real OpenGL driver.
#pragma once

namespace vl {

void InstallSystemGl();

}  // namespace vl
