#include "shell/window.h"

#include "render/gl_api.h"

namespace vl {

WindowSettings windowSettings;
PixelFormatDescriptor pixelFormatDescriptor;
bool resizePending = false;
WindowPlatform* windowPlatform = nullptr;

namespace {
bool descriptorComplete = false;

void ShowError(const char* text) { windowPlatform->ShowMessage("ERROR", text); }
}  // namespace

bool CreateGLWindow(const char* title, int32_t width, int32_t height, uint8_t colourBits,
                    int32_t pixelFormat) {
  WindowPlatform& wp = *windowPlatform;
  wp.LoadWindowIcon("icon.ico");

  // The first call fixes the framebuffer the game asks for; later calls
  // keep it, whatever colour depth they are given.
  if (!descriptorComplete) {
    pixelFormatDescriptor.cColorBits = colourBits;
    pixelFormatDescriptor.cDepthBits = 16;
    pixelFormatDescriptor.cStencilBits = 2;
    descriptorComplete = true;
  }

  if (!wp.MakeWindow(title, windowSettings.posX, windowSettings.posY, width, height,
                       pixelFormatDescriptor, pixelFormat)) {
    DestroyGLWindow();
    ShowError("Could not create window");
    return false;
  }

  bool formatChosen = false;
  if (pixelFormat == -1) {
    formatChosen = wp.ChoosePixelFormat(pixelFormatDescriptor) != 0;
  } else {
    resizePending = true;
  }
  // Without a current context every GL call would do nothing: the game
  // would run in a black window.
  if (!wp.CreateContext()) {
    DestroyGLWindow();
    ShowError("OpenGL initialization failed");
    return false;
  }

  // When the multisampled window cannot be made, the first one is gone
  // already and the failed call has said why: the start-up fails.
  if (windowSettings.sampleCount >= 1 && formatChosen &&
      !RecreateWithMultisample(title, windowSettings.sampleCount) && !wp.HasWindow())
    return false;

  wp.ShowWindow();
  wp.SetForegroundAndFocus();
  ResizeViewport(width, height);
  if (windowSettings.maximised) wp.MaximiseWindow();

  if (!SetupGLState()) {
    DestroyGLWindow();
    ShowError("OpenGL initialization failed");
    return false;
  }
  return true;
}

bool RecreateWithMultisample(const char* title, int32_t samples) {
  const int32_t attributes[] = {
      0x2001, 1,       // draw to window
      0x2010, 1,       // supports OpenGL
      0x2003, 0x2027,  // full acceleration
      0x2014, 24,      // colour bits
      0x201B, 8,       // alpha bits
      0x2022, 16,      // depth bits
      0x2023, 2,       // stencil bits
      0x2011, 1,       // double buffer
      0x2041, 1,       // sample buffers
      0x2042, samples, // samples
      0,      0,
  };
  const int32_t format = windowPlatform->ChooseMultisampleFormat(attributes);
  if (format < 0) return false;
  if (format == 0) {
    windowPlatform->ShowMessage("ERROR", "Multisampling failed to initialise.");
    return false;
  }
  DestroyGLWindow();
  return CreateGLWindow(title, windowSettings.width, windowSettings.height, 32, format);
}

bool SetupGLState() {
  gl.Enable(glc::TEXTURE_2D);
  gl.ShadeModel(glc::SMOOTH);
  gl.ClearColor(0, 0, 0, 0);
  gl.ClearDepth(1.0);
  gl.DepthMask(glc::FALSE_);
  gl.Disable(glc::DEPTH_TEST);
  gl.Hint(glc::PERSPECTIVE_CORRECTION_HINT, glc::NICEST);
  gl.PolygonMode(glc::FRONT_AND_BACK, glc::FILL);
  gl.Disable(glc::CULL_FACE);
  windowPlatform->DisableSwapWait();
  return true;
}

void ResizeViewport(int32_t w, int32_t h) {
  if (h == 0) h = 1;
  if (w >= 10 && w < 20000 && h >= 10 && h < 20000) {
    windowSettings.width = w;
    windowSettings.height = h;
  }
  gl.Viewport(0, 0, windowSettings.width, windowSettings.height);
  gl.MatrixMode(glc::PROJECTION);
  gl.LoadIdentity();
  gl.Ortho(0, windowSettings.width, windowSettings.height, 0, 1, -1);
  gl.MatrixMode(glc::MODELVIEW);
  gl.LoadIdentity();
}

void DestroyGLWindow() {
  if (windowPlatform->HasContext()) windowPlatform->DestroyContext();
  if (windowPlatform->HasWindow()) windowPlatform->DestroyWindow();
}

void ResetWindowStateForTest() {
  windowSettings = WindowSettings{};
  pixelFormatDescriptor = PixelFormatDescriptor{};
  descriptorComplete = false;
  resizePending = false;
}

}  // namespace vl
