#include "input/input_state.h"

#include <cstring>

namespace vl {

uint8_t keysPressed[kKeyCount];
uint8_t keysHeld[kKeyCount];
uint8_t keysReleased[kKeyCount];
uint8_t typedChar = 0;

int32_t mouseX = -1000, mouseY = 0;
bool mouseLeft = false, mouseRight = false, mouseMiddle = false;
int32_t mouseWheel = 0;
bool clickPending = false;
int32_t clickX = 0, clickY = 0;
bool mouseInside = false;

bool windowActive = true;
bool activationChanged = true;
bool sizeChanged = false;
bool closeRequested = false;
int32_t paintCount = 0;

int32_t cursorShape = 0;
bool cursorHidden = false;

void ResetMessageState() {
  std::memset(keysPressed, 0, sizeof keysPressed);
  std::memset(keysHeld, 0, sizeof keysHeld);
  std::memset(keysReleased, 0, sizeof keysReleased);
  typedChar = 0;
  mouseX = -1000;
  mouseY = 0;
  mouseLeft = mouseRight = mouseMiddle = false;
  mouseWheel = 0;
  clickPending = false;
  clickX = clickY = 0;
  mouseInside = false;
  windowActive = true;
  activationChanged = true;
  sizeChanged = false;
  closeRequested = false;
  paintCount = 0;
  cursorShape = 0;
  cursorHidden = false;
}

}  // namespace vl
