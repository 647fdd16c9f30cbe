// The game's initialisation.
#pragma once

namespace vl {

void glkInit();

}  // namespace vl
