#include "flight/ghosts.h"

namespace vl {

void DrawGhosts() {}

}  // namespace vl
