#include "platform/video_render.h"

#include <SDL.h>
#include <SDL_opengl.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "flight/game_frame.h"
#include "flight/replay.h"
#include "os/files.h"
#include "platform/console.h"
#include "platform/video_encoder.h"
#include "render/flight_map.h"
#include "render/scene.h"
#include "shell/log.h"
#include "shell/tick.h"
#include "shell/window.h"

namespace vl {

namespace {

bool QuitAsked() {
  SDL_Event e;
  bool quit = false;
  while (SDL_PollEvent(&e)) quit |= e.type == SDL_QUIT;
  return quit;
}

// "[#####-----] 350/700 frames, 0:05 left", redrawn in place.
class ProgressBar {
 public:
  ProgressBar(int32_t total) : total_(total), shown_(StderrIsTerminal()), start_(SDL_GetTicks64()) {}
  void Done(int32_t frames) {
    if (!shown_ || (frames % 10 != 0 && frames != total_)) return;
    constexpr int kWidth = 30;
    const int filled = static_cast<int>(static_cast<int64_t>(kWidth) * frames / total_);
    const uint64_t spent = SDL_GetTicks64() - start_;
    const uint64_t left = frames > 0 ? spent * static_cast<uint64_t>(total_ - frames) / static_cast<uint64_t>(frames) / 1000 : 0;
    std::fprintf(stderr, "\r[%s%s] %d/%d frames, %d:%02d left ", std::string(filled, '#').c_str(),
                 std::string(kWidth - filled, '-').c_str(), frames, total_, static_cast<int>(left / 60),
                 static_cast<int>(left % 60));
    if (frames == total_) std::fputc('\n', stderr);
  }

 private:
  int32_t total_;
  bool shown_;
  uint64_t start_;
};

}  // namespace

bool DrawReplayFrames(int32_t width, int32_t height,
                      const std::function<bool(int32_t k, const uint8_t* rgb)>& frame,
                      const std::vector<int32_t>* only) {
  if (!CreateGLWindow(ReplayTitle(), width, height, 32, -1)) return false;
  glkInit();
  // The frame that builds the city shows none of it: it is drawn once
  // before the first picture.
  GameFrame();
  const int32_t frames = ReplayClockNow().frames();
  std::vector<uint8_t> bottomUp(static_cast<size_t>(width) * height * 3), rgb(bottomUp.size());
  bool ok = true;
  const size_t count = only ? only->size() : static_cast<size_t>(frames);
  for (size_t i = 0; i < count && ok; ++i) {
    const int32_t k = only ? (*only)[i] : static_cast<int32_t>(i);
    SeekReplay(k);
    GameFrame();
    glFinish();
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, bottomUp.data());
    const size_t row = static_cast<size_t>(width) * 3;
    for (int32_t y = 0; y < height; ++y)
      std::memcpy(&rgb[static_cast<size_t>(y) * row], &bottomUp[static_cast<size_t>(height - 1 - y) * row], row);
    ok = frame(k, rgb.data()) && !QuitAsked();
  }
  DestroyGLWindow();
  return ok;
}

int WriteReplayVideo(const std::string& file, int32_t width, int32_t height) {
  const std::string problem = MapTargetProblem(file);
  if (!problem.empty()) {
    std::fprintf(stderr, "vantaloop: the video is not written to %s: %s\n", file.c_str(), problem.c_str());
    return 1;
  }
  LogStart("log.txt");
  std::string temp, why;
  errno = 0;
  std::FILE* out = os::CreateTemp(file, temp);
  if (!out) {
    std::fprintf(stderr, "vantaloop: cannot write the video to %s: %s\n", file.c_str(), std::strerror(errno));
    return 1;
  }
  std::unique_ptr<VideoEncoder> encoder = OpenVideoEncoder(out, file, width, height, why);
  const int32_t frames = ReplayClockNow().frames();
  ProgressBar progress(frames);
  bool ok = encoder && DrawReplayFrames(width, height, [&](int32_t k, const uint8_t* rgb) {
              if (!encoder->AddFrame(rgb)) return false;
              progress.Done(k + 1);
              return true;
            });
  if (encoder && ok) ok = encoder->Finish();
  if (encoder && why.empty()) why = encoder->error();
  encoder.reset();
  errno = 0;
  if (!os::Finish(out) && ok) {
    ok = false;
    why = std::strerror(errno);
  }
  if (ok && !os::MoveOver(temp, file)) {
    ok = false;
    why = std::strerror(errno);
  }
  if (!ok) {
    os::RemoveFile(temp);
    std::fprintf(stderr, "vantaloop: the video of the replay was not made%s%s\n", why.empty() ? " (stopped)" : ": ",
                 why.c_str());
    return 1;
  }
  std::printf("vantaloop: %d frames (%d.%02d s) are in %s\n", frames, frames * static_cast<int>(kTickMs) / 1000,
              frames * static_cast<int>(kTickMs) / 10 % 100, file.c_str());
  return 0;
}

}  // namespace vl
