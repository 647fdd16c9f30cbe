#include "tests/support/game_state.h"

#include "flight/camera.h"
#include "flight/ghost_choice.h"
#include "flight/recordings.h"
#include "flight/replay.h"
#include "input/input_devices.h"
#include "input/input_state.h"
#include "render/boxes.h"
#include "render/city.h"
#include "render/face_lighting.h"
#include "shell/log.h"
#include "shell/main_loop.h"
#include "shell/window.h"

namespace vl::test {

void ResetGameState() {
  LogResetForTest();
  ResetMessageState();
  ResetWindowStateForTest();
  lastFrameTime = 0;
  for (auto& c : cursorTable) c = nullptr;
  inputDevices.reset();
  joyAxisCount = 0;
  joystickFound = false;
  camera = Camera{};
  cityListPending = true;
  cityList = 0;
  for (auto& f : faceColors) f = {0, 0, 0};
  colorOffset = {0, 0, 0};
  colorMultiplier = {1, 1, 1};
  ResetRecordingsForTest();
  ResetGhostChoiceForTest();
  ResetReplayForTest();
  flatOut = FlatOut{};
}

}  // namespace vl::test
