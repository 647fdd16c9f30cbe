// The game's one window and its OpenGL context: making and destroying them,
// the GL state every frame starts from, and the pixel projection that
// follows the window's size.
#pragma once

#include <cstdint>

namespace vl {

struct WindowSettings {
  int32_t width = 800;   // client width in pixels
  int32_t height = 500;  // client height in pixels
  int32_t posX = 100;    // screen x of the window's outer top-left corner
  int32_t posY = 50;     // screen y of the window's outer top-left corner
  int32_t sampleCount = 0;  // multisampling samples; below 1 means none
  bool maximised = false;
};
extern WindowSettings windowSettings;

// What the framebuffer must offer, filled in by the first CreateGLWindow.
struct PixelFormatDescriptor {
  uint16_t nSize = 40;
  uint16_t nVersion = 1;
  uint32_t dwFlags = 0x25;  // draw to window, OpenGL, double-buffered
  uint8_t iPixelType = 0;   // RGBA
  uint8_t cColorBits = 0;
  uint8_t cDepthBits = 0;
  uint8_t cStencilBits = 0;
  uint8_t cAuxBuffers = 0;
  uint8_t iLayerType = 0;
};
extern PixelFormatDescriptor pixelFormatDescriptor;

// Set when a window is made with a pixel format chosen earlier; the main
// loop then applies the window size once more after its next present.
extern bool resizePending;

// The window-system operations the window and context code relies on.
class WindowPlatform {
 public:
  virtual ~WindowPlatform() = default;
  // Loads the window icon for windows made from now on; silent when missing.
  virtual void LoadWindowIcon(const char* path) = 0;
  // Makes the (still hidden) window with its outer corner at (x, y) and a
  // client area of width x height. `pixelFormat` is -1 for a framebuffer as
  // the descriptor asks, or a format returned by ChooseMultisampleFormat.
  // Returns false when no window could be made.
  virtual bool MakeWindow(const char* title, int32_t x, int32_t y, int32_t width,
                            int32_t height, const PixelFormatDescriptor& pfd,
                            int32_t pixelFormat) = 0;
  // Picks the framebuffer format closest to the descriptor; 0 when none.
  virtual int32_t ChoosePixelFormat(const PixelFormatDescriptor& pfd) = 0;
  // Makes the rendering context for the window and makes it current.
  virtual bool CreateContext() = 0;
  // A multisampled format from the attribute list (pairs ending in 0, 0).
  // Returns -1 when the window system cannot choose formats by attributes,
  // 0 when it can but the choice failed, else the format.
  virtual int32_t ChooseMultisampleFormat(const int32_t* attributes) = 0;
  // Turns off waiting for the vertical retrace; false where not possible.
  virtual bool DisableSwapWait() = 0;
  virtual void ShowWindow() = 0;
  virtual void MaximiseWindow() = 0;
  virtual void SetForegroundAndFocus() = 0;
  virtual void DestroyContext() = 0;
  virtual void DestroyWindow() = 0;
  virtual bool HasContext() const = 0;
  virtual bool HasWindow() const = 0;
  // A modal error message with the given caption; never blocks where no
  // one can answer it, and always also goes to stderr.
  virtual void ShowMessage(const char* caption, const char* text) = 0;
  // The window's title from now on.
  virtual void SetTitle(const char* title) = 0;
};

// The operations in use; set by the platform layer (or a test).
extern WindowPlatform* windowPlatform;

bool CreateGLWindow(const char* title, int32_t width, int32_t height, uint8_t colourBits,
                    int32_t pixelFormat);
void DestroyGLWindow();
void ResizeViewport(int32_t width, int32_t height);
bool SetupGLState();
// Makes the window again, with the same title, on a multisampled format.
bool RecreateWithMultisample(const char* title, int32_t samples);

// The program's title, shown on the window.
constexpr const char* kGameTitle = "vantaloop";

// Back to the state before any window was made, for tests.
void ResetWindowStateForTest();

}  // namespace vl
