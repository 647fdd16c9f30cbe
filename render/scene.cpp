#include "render/scene.h"

#include "flight/recordings.h"

namespace vl {

void glkInit() { LoadRecordings(); }

}  // namespace vl
