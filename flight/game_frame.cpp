#include "flight/game_frame.h"

#include "render/gl_api.h"

namespace vl {

void GameFrame() { gl.Clear(glc::COLOR_BUFFER_BIT | glc::DEPTH_BUFFER_BIT); }

}  // namespace vl
