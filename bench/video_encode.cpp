// How fast a replay becomes a video: a flight flown beside 10 ghosts,
// rendered offscreen at 1280x720 (or the size given) into .webm and .mp4,
// as --replay N --video FILE does. Frames per second above 62.5 beat the
// flight's own time.
//
//   SDL_VIDEODRIVER=offscreen ./bench_video_encode [frames] [WxH]
#include <SDL.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "flight/ghost_choice.h"
#include "flight/recording_file.h"
#include "flight/recordings.h"
#include "flight/replay.h"
#include "platform/gl_functions.h"
#include "platform/sdl_window.h"
#include "render/city.h"
#include "shell/window.h"
#ifdef VANTALOOP_VIDEO
#include "platform/video_render.h"
#endif

namespace {

// Flight n circles the city at a height and radius of its own.
void WriteFlight(int32_t number, int32_t frames) {
  std::ofstream out(vl::RecordingPath(number), std::ios::binary);
  unsigned char bytes[vl::kRecordBytes];
  const auto n = static_cast<uint32_t>(frames);
  const unsigned char head[4] = {static_cast<unsigned char>(n), static_cast<unsigned char>(n >> 8),
                                 static_cast<unsigned char>(n >> 16), static_cast<unsigned char>(n >> 24)};
  out.write(reinterpret_cast<const char*>(head), 4);
  for (int32_t f = 0; f < frames; ++f) {
    const float a = 0.004f * static_cast<float>(f) + 0.5f * static_cast<float>(number);
    const float r = 40.0f + 5.0f * static_cast<float>(number);
    const vl::FrameRecord rec{{r * std::cos(a), 8.0f + static_cast<float>(number), r * std::sin(a)},
                              {-std::cos(a), 0, -std::sin(a), 0, 0, 1, 0, 0, std::sin(a), 0, -std::cos(a), 0, 0, 0, 0, 1}};
    vl::EncodeFrameRecord(rec, bytes);
    out.write(reinterpret_cast<const char*>(bytes), vl::kRecordBytes);
  }
}

}  // namespace

int main(int argc, char** argv) {
#ifndef VANTALOOP_VIDEO
  (void)argc;
  (void)argv;
  std::puts("this build has no video (FFmpeg's libraries were missing)");
  return 0;
#else
  const int32_t frames = argc > 1 ? std::max(10, std::atoi(argv[1])) : 625;
  int32_t width = 1280, height = 720;
  if (argc > 2 && std::sscanf(argv[2], "%dx%d", &width, &height) != 2) return 2;
  const auto dir = std::filesystem::temp_directory_path() / ("vantaloop-video-bench-" + std::to_string(getpid()));
  std::filesystem::create_directories(dir / "recordings");
  std::filesystem::current_path(dir);
  for (int32_t n = 0; n <= 11; ++n) WriteFlight(n, frames + 200);
  if (SDL_Init(SDL_INIT_VIDEO) != 0) return 1;
  vl::InstallSystemGl();
  vl::SdlWindowPlatform window;
  vl::windowPlatform = &window;
  std::printf("%d frames at %dx%d beside 10 ghosts (video driver %s)\n", frames, width, height,
              std::getenv("SDL_VIDEODRIVER") ? std::getenv("SDL_VIDEODRIVER") : "default");
  int code = 0;
  for (const char* name : {"draw only", "flight.webm", "flight.mp4"}) {
    vl::ResetRecordingsForTest();
    vl::ResetGhostChoiceForTest();
    vl::ResetReplayForTest();
    vl::cityListPending = true;
    std::string error;
    // Flight 11 brings flights 0 to 9 as its ghosts; only its first frames are drawn.
    WriteFlight(11, frames);
    if (!vl::StartReplay(11, error)) return 1;
    vl::PlayReplayThrough();
    const auto start = std::chrono::steady_clock::now();
    const bool drawOnly = name[0] == 'd';
    const int status = drawOnly ? (vl::DrawReplayFrames(width, height, [](int32_t, const uint8_t*) { return true; }) ? 0 : 1)
                                : vl::WriteReplayVideo((dir / name).string(), width, height);
    const double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (status != 0) code = 1;
    std::printf("%-12s %8.2f s %8.1f frames per second\n", name, s, static_cast<double>(frames) / s);
  }
  SDL_Quit();
  std::filesystem::current_path(dir.parent_path());
  std::filesystem::remove_all(dir);
  return code;
#endif
}
