#include "shell/main_loop.h"

#include <cstring>
#include <string>

#include "flight/game_frame.h"
#include "flight/flight_save.h"
#include "flight/replay.h"
#include "input/input_state.h"
#include "render/gl_api.h"
#include "render/scene.h"
#include "shell/log.h"
#include "shell/tick.h"
#include "shell/window.h"

namespace vl {

LoopPlatform* loopPlatform = nullptr;
CursorHandle cursorTable[6] = {};
uint32_t lastFrameTime = 0;
FlatOut flatOut;
void (*saveAtEscape)() = EndOfFlightSave;

namespace {
// The title the window shows now: a replay's says where it stands.
std::string shownTitle;
}  // namespace

bool PumpMessages() {
  Msg msg;
  if (!loopPlatform->PeekNextMessage(msg)) return false;
  do {
    loopPlatform->TranslateMessage(msg);
    if (!loopPlatform->TakeMessage(msg)) return true;
    WndProc(msg);
  } while (loopPlatform->PeekNextMessage(msg));
  return false;
}

bool BeginFrame() {
  // The tick is measured from when the previous frame began. The difference
  // is taken modulo 2^32, so the wait behaves the same across the clock's
  // wrap-around.
  while (!flatOut.on && static_cast<uint32_t>(loopPlatform->TimeGetTime() - lastFrameTime) < kTickMs) {
    loopPlatform->Sleep(0);
  }
  lastFrameTime = loopPlatform->TimeGetTime();
  if (windowActive && keysPressed[vk::ESCAPE]) {
    saveAtEscape();
    return false;
  }
  // A replay played through ends the program once its last frame has been
  // shown.
  return !ReplayFinished();
}

void PresentFrame() {
  gl.Finish();
  gl.Disable(glc::SCISSOR_TEST);
  gl.Disable(glc::BLEND);
  gl.Color4f(1, 1, 1, 1);
  gl.LoadIdentity();
  gl.Flush();
  loopPlatform->SwapBuffers();
}

bool MainLoopPass() {
  bool quit = false;
  inputDevices->update();
  sizeChanged = false;
  if (PumpMessages()) quit = true;
  if (closeRequested) return false;

  const bool savedLeft = mouseLeft;
  const int32_t savedX = mouseX, savedY = mouseY;
  if (clickPending) {
    mouseLeft = true;
    mouseX = clickX;
    mouseY = clickY;
  }

  if (!BeginFrame()) return false;
  if (flatOut.frames == 0) flatOut.firstMs = lastFrameTime;
  GameFrame();
  // The timedemo draws for speed, not to be watched.
  if (ReplayActive() && !flatOut.on && shownTitle != ReplayTitle()) {
    shownTitle = ReplayTitle();
    windowPlatform->SetTitle(shownTitle.c_str());
  }

  std::memset(keysPressed, 0, 256);
  for (int k = 0; k < 256; ++k) {
    if (keysReleased[k]) {
      keysHeld[k] = 0;
      keysReleased[k] = 0;
    }
  }
  if (clickPending) {
    clickPending = false;
    mouseLeft = savedLeft;
    mouseX = savedX;
    mouseY = savedY;
  }
  typedChar = 0;
  closeRequested = false;

  if (windowActive) {
    PresentFrame();
    paintCount = 0;
    flatOut.frames += 1;
    flatOut.lastMs = loopPlatform->TimeGetTime();
  } else {
    loopPlatform->Sleep(10);
  }
  if (resizePending) {
    resizePending = false;
    ResizeViewport(windowSettings.width, windowSettings.height);
  }
  activationChanged = false;
  return !quit;
}

bool StartGame() {
  typedChar = 0;
  LogStart("log.txt");
  std::memset(keysPressed, 0, sizeof keysPressed);
  std::memset(keysReleased, 0, sizeof keysReleased);
  windowSettings.width = 800;
  windowSettings.height = 500;
  windowSettings.posX = 100;
  windowSettings.posY = 50;
  windowSettings.maximised = false;
  windowSettings.sampleCount = 0;
  std::memset(keysHeld, 0, sizeof keysHeld);

  // A data folder that cannot take a flight is said at once, not after the
  // flight: the player can still fly, and watch the ghosts it holds.
  const std::string trouble = CheckFlightsCanBeKept();
  if (!trouble.empty()) {
    LogWrite("%s: %s", kFlightsNotKept, trouble.c_str());
    windowPlatform->ShowMessage(kFlightsNotKept, trouble.c_str());
  }

  LogWrite("CreateGLWindow()");
  // The window has said why it failed; the exit status says so as well.
  shownTitle = ReplayActive() ? ReplayTitle() : kGameTitle;
  if (!CreateGLWindow(shownTitle.c_str(), windowSettings.width, windowSettings.height, 32, -1)) return false;
  mouseX = -1000;
  mouseWheel = 0;

  LogWrite("load cursors");
  for (int i = 0; i < 6; ++i) cursorTable[i] = loopPlatform->LoadSystemCursor(kCursorIds[i]);

  inputDevices = std::make_unique<InputDevices>(loopPlatform->OpenDevices());
  LogWrite("numjoyaxes: %i", inputDevices->numJoyAxes());

  LogWrite("glkInit()");
  glkInit();

  LogResume();
  LogWrite("hwnd=%08X", loopPlatform->WindowHandle());
  LogWrite("enter message loop ------------ USAGE START");
  LogSuspend();
  return true;
}

void EndGame() {
  LogResume();
  LogWrite("leave message loop ------------ USAGE END");
  windowSettings.maximised = loopPlatform->IsZoomed();
  LogWrite("glkFree()");
  LogWrite("kill window");
  DestroyGLWindow();
  LogWrite("end of WinMain() -> exit program");
}

int WinMain() {
  if (!StartGame()) return 1;
  while (MainLoopPass()) {
  }
  EndGame();
  return 0;
}

}  // namespace vl
