// The game's work for one frame.
#pragma once

namespace vl {

void GameFrame();

}  // namespace vl
