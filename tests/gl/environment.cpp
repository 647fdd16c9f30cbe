// Every rendering test runs headless: SDL's offscreen driver, no dialogs, and
// pictures saved in the build folder. Set before any test (or SDL) starts;
// the video driver is always the offscreen one, the rest may be overridden.
// Windows has no offscreen driver: there the tests draw in real windows that
// are never shown.
#include <cstdlib>

namespace {
void SetEnv(const char* name, const char* value, bool overwrite) {
  if (!overwrite && std::getenv(name)) return;
#ifdef _WIN32
  _putenv_s(name, value);
#else
  setenv(name, value, 1);
#endif
}

struct TestEnvironment {
  TestEnvironment() {
#ifndef _WIN32
    SetEnv("SDL_VIDEODRIVER", "offscreen", true);
#endif
    SetEnv("VANTALOOP_NO_DIALOGS", "1", false);
    SetEnv("VANTALOOP_BUILD_DIR", VANTALOOP_BUILD_DIR, false);
  }
} const testEnvironment;
}  // namespace
