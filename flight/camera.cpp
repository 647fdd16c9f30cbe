#include "flight/camera.h"

namespace vl {

Camera camera;

}  // namespace vl
