// The program's entry, its start-up and shutdown order, and the main loop
// that makes one pass per 16 ms frame.
#pragma once

#include <cstdint>
#include <memory>

#include "input/input_devices.h"
#include "input/messages.h"
#include "input/window_proc.h"

namespace vl {

// The system operations the main loop relies on.
class LoopPlatform {
 public:
  virtual ~LoopPlatform() = default;
  // A millisecond clock; wraps after 2^32 ms.
  virtual uint32_t TimeGetTime() = 0;
  // Sleep(0) gives up the rest of the time slice; Sleep(n) waits about n ms.
  virtual void Sleep(uint32_t ms) = 0;
  // Whether a message is waiting; copies it without removing it.
  virtual bool PeekNextMessage(Msg& out) = 0;
  // Turns a key-down into character messages where the system does so.
  virtual void TranslateMessage(const Msg& msg) = 0;
  // Removes the next message; false when it is the quit message.
  virtual bool TakeMessage(Msg& out) = 0;
  // A system cursor by its standard identifier (IDC_ARROW and so on).
  virtual CursorHandle LoadSystemCursor(int id) = 0;
  virtual bool IsZoomed() = 0;
  virtual void SwapBuffers() = 0;
  // The native window handle, as logged at start-up.
  virtual uint32_t WindowHandle() = 0;
  // The device layer for the InputDevices object, made after the window.
  virtual std::unique_ptr<DeviceBackend> OpenDevices() = 0;
};

// The operations in use; set by the platform layer (or a test).
extern LoopPlatform* loopPlatform;

// The six system cursors, in the order the cursor shapes number them.
constexpr int kCursorIds[6] = {32512, 32515, 32646, 32514, 32648, 32513};
extern CursorHandle cursorTable[6];

extern uint32_t lastFrameTime;

// The timedemo: frames follow each other as fast as they are drawn and
// presented, without the 16 ms wait. The loop counts them and notes when
// the first began and the last was presented (TimeGetTime).
struct FlatOut {
  bool on = false;
  int64_t frames = 0;
  uint32_t firstMs = 0, lastMs = 0;
};
extern FlatOut flatOut;

// The save that Escape runs (EndOfFlightSave). A web page runs it later
// itself, once it holds the browser's lock on the game's storage.
extern void (*saveAtEscape)();

// The whole program: start-up, main loop, shutdown. Returns the exit
// status: 1 when the window or its context could not be made, else 0.
int WinMain();
// WinMain's three stages, for a system that runs the passes of the loop
// itself (a web page runs one or more at each display frame of the
// browser): the start-up (false when the window or its context could not
// be made), one pass of the main loop (false when the loop ends), the
// shutdown.
bool StartGame();
bool MainLoopPass();
void EndGame();
bool PumpMessages();
bool BeginFrame();
void PresentFrame();

}  // namespace vl
