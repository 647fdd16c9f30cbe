#include "tests/support/game_state.h"

#include "input/input_devices.h"
#include "input/input_state.h"
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
}

}  // namespace vl::test
