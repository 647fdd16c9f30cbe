// Every rendering test runs headless: SDL's offscreen driver, no dialogs, and
// pictures saved in the build folder. Set before any test (or SDL) starts;
// the video driver is always the offscreen one, the rest may be overridden.
#include <cstdlib>

namespace {
struct TestEnvironment {
  TestEnvironment() {
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    setenv("VANTALOOP_NO_DIALOGS", "1", 0);
    setenv("VANTALOOP_BUILD_DIR", VANTALOOP_BUILD_DIR, 0);
  }
} const testEnvironment;
}  // namespace
