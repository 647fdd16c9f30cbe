#include "render/scene.h"

#include "flight/camera.h"
#include "flight/ghost_choice.h"
#include "render/face_lighting.h"

namespace vl {

void glkInit() {
  ComputeFacePalette();

  // The flight starts 6 units above the ground south of the city, looking
  // north along +z. `right` follows from forward and up on the first frame.
  camera.position = {6.0f, 6.0f, -25.0f};
  camera.velocity = {0.0f, 0.0f, 0.0f};
  camera.rollRate = 0.0f;
  camera.pitchRate = 0.0f;
  camera.forward = {0.0f, 0.0f, 1.0f};
  camera.up = {0.0f, 1.0f, 0.0f};

  LoadGhosts();
}

}  // namespace vl
