// Loaded into the game with LD_PRELOAD, between the game and SDL's buffer
// swap, so a test can set what the game drew beside what the desktop shows.
// At the first swap after the file DIR/grab appears (DIR is
// VANTALOOP_GRAB_DIR), the back buffer is written to DIR/back.ppm (top row
// first) just before it is shown. The game then holds that frame on the
// screen until DIR/go appears, for at most 20 s. With VANTALOOP_GRAB_SWAPS=N
// the back buffers of the first N swaps are written to DIR/swap1.ppm,
// DIR/swap2.ppm, ... as well, without holding.
#include <SDL.h>
#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr unsigned kGlBack = 0x0405, kGlRgb = 0x1907, kGlUnsignedByte = 0x1401,
                   kGlPackAlignment = 0x0D05;

void WriteBackBuffer(SDL_Window* window, const std::string& path) {
  using ReadBuffer = void (*)(unsigned);
  using PixelStore = void (*)(unsigned, int);
  using ReadPixels = void (*)(int, int, int, int, unsigned, unsigned, void*);
  auto readBuffer = reinterpret_cast<ReadBuffer>(SDL_GL_GetProcAddress("glReadBuffer"));
  auto pixelStore = reinterpret_cast<PixelStore>(SDL_GL_GetProcAddress("glPixelStorei"));
  auto readPixels = reinterpret_cast<ReadPixels>(SDL_GL_GetProcAddress("glReadPixels"));
  int w = 0, h = 0;
  SDL_GL_GetDrawableSize(window, &w, &h);
  if (!readBuffer || !pixelStore || !readPixels || w <= 0 || h <= 0) return;
  const size_t row = static_cast<size_t>(w) * 3;
  std::vector<unsigned char> pixels(row * static_cast<size_t>(h));
  readBuffer(kGlBack);
  pixelStore(kGlPackAlignment, 1);
  readPixels(0, 0, w, h, kGlRgb, kGlUnsignedByte, pixels.data());
  // Written under another name first, so the test never reads half a file.
  const std::string part = path + ".part";
  FILE* f = std::fopen(part.c_str(), "wb");
  if (!f) return;
  std::fprintf(f, "P6\n%d %d\n255\n", w, h);
  for (int y = h - 1; y >= 0; --y) std::fwrite(&pixels[static_cast<size_t>(y) * row], 1, row, f);
  if (std::fclose(f) == 0) std::rename(part.c_str(), path.c_str());
}

}  // namespace

extern "C" void SDL_GL_SwapWindow(SDL_Window* window) {
  using Swap = void (*)(SDL_Window*);
  static const auto realSwap = reinterpret_cast<Swap>(dlsym(RTLD_NEXT, "SDL_GL_SwapWindow"));
  static const char* dirVar = std::getenv("VANTALOOP_GRAB_DIR");
  const std::string dir = dirVar ? dirVar : ".";
  static const char* swapsVar = std::getenv("VANTALOOP_GRAB_SWAPS");
  static int swaps = 0;
  if (swapsVar && ++swaps <= std::atoi(swapsVar))
    WriteBackBuffer(window, dir + "/swap" + std::to_string(swaps) + ".ppm");
  const bool grab = std::remove((dir + "/grab").c_str()) == 0;
  if (grab) WriteBackBuffer(window, dir + "/back.ppm");
  realSwap(window);
  if (!grab) return;
  for (int i = 0; i < 2000 && std::remove((dir + "/go").c_str()) != 0; ++i) SDL_Delay(10);
}
