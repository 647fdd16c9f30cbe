// The message input state: what the window procedure has learned from the
// window's messages during the current frame. The main loop resets parts of
// it at fixed points of every frame.
#pragma once

#include <cstdint>

namespace vl {

constexpr int kKeyCount = 65536;

extern uint8_t keysPressed[kKeyCount];   // went down since the previous frame ended
extern uint8_t keysHeld[kKeyCount];      // down, or went up during this frame
extern uint8_t keysReleased[kKeyCount];  // went up during this frame
extern uint8_t typedChar;                // last character typed this frame, a-z folded to A-Z

extern int32_t mouseX, mouseY;
extern bool mouseLeft, mouseRight, mouseMiddle;
extern int32_t mouseWheel;
extern bool clickPending;
extern int32_t clickX, clickY;
extern bool mouseInside;

extern bool windowActive;
extern bool activationChanged;
extern bool sizeChanged;
extern bool closeRequested;
extern int32_t paintCount;

extern int32_t cursorShape;
extern bool cursorHidden;

// Every field back to its start value (for tests; the game starts with them).
void ResetMessageState();

}  // namespace vl
