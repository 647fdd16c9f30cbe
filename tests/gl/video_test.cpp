// A replay rendered into .webm and .mp4 files: one video frame per recorded
// frame at 62.5 frames per second, and the decoded pictures are the game's
// own offscreen frames. Pictures are compared as the videos hold them, in
// BT.709 YUV with colour at half resolution (what every player plays), so
// the PSNR measures the encoding, not the halved colour of hard edges.
#ifdef VANTALOOP_VIDEO
#include <SDL.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "flight/replay.h"
#include "flight/vec_math.h"
#include "platform/gl_functions.h"
#include "platform/sdl_window.h"
#include "platform/video_render.h"
#include "tests/support/fakes.h"
#include "tests/support/flight_files.h"
#include "tests/support/game_state.h"

namespace vl {
namespace {

constexpr int32_t kW = 320, kH = 180, kFrames = 700;
const std::vector<int32_t> kSamples = {0, 174, 349, 524, 699};

// Everything a command prints on stdout.
std::string Output(const std::string& command) {
  std::string text;
  std::FILE* p = popen(command.c_str(), "r");
  if (!p) return text;
  char buffer[1 << 16];
  for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, p)) > 0;) text.append(buffer, n);
  pclose(p);
  return text;
}

double Psnr(const char* a, const char* b, size_t n) {
  double sum = 0;
  for (size_t i = 0; i < n; ++i) {
    const int d = static_cast<uint8_t>(a[i]) - static_cast<uint8_t>(b[i]);
    sum += d * d;
  }
  return sum == 0 ? 99 : 10 * std::log10(255.0 * 255.0 * static_cast<double>(n) / sum);
}

class ReplayVideo : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
    InstallSystemGl();
    // A climbing turn past the towers, with flight 0 flying beside it.
    for (int32_t number : {0, 2}) {
      std::vector<FrameRecord> frames(kFrames);
      for (int f = 0; f < kFrames; ++f) {
        const float a = 0.004f * static_cast<float>(f) + static_cast<float>(number);
        const Vec3 forward{-std::sin(a), 0, std::cos(a)}, up{0, 1, 0};
        const Vec3 right = Cross(forward, up);
        frames[f] = FrameRecord{{40 * std::cos(a), 5 + 0.02f * static_cast<float>(f), 40 * std::sin(a)},
                                {right.x, right.y, right.z, 0, 0, 1, 0, 0, -forward.x, 0, -forward.z, 0, 0, 0, 0, 1}};
      }
      test::WriteFlightFile(number, frames);
    }
  }
  void TearDown() override { SDL_Quit(); }

  // As --replay 2 --video starts it.
  void Start() {
    test::ResetGameState();
    std::string error;
    ASSERT_TRUE(StartReplay(2, error)) << error;
    PlayReplayThrough();
    windowPlatform = &window_;
  }

  test::GameHarness h_;
  SdlWindowPlatform window_;
};

TEST_F(ReplayVideo, WebmAndMp4HoldEveryRecordedFrameAsTheGameDrawsIt) {
  Start();
  // The game's own frames k, turned into the videos' YUV.
  const std::string drawnFile = (h_.dir / "drawn.rgb").string();
  std::FILE* drawn = std::fopen(drawnFile.c_str(), "wb");
  ASSERT_TRUE(DrawReplayFrames(kW, kH, [&](int32_t, const uint8_t* rgb) {
    return std::fwrite(rgb, 1, kW * kH * 3, drawn) == kW * kH * 3;
  }, &kSamples));
  std::fclose(drawn);
  const std::string yuv = " -f rawvideo -pix_fmt yuv420p -";
  const std::string expected = Output("ffmpeg -v error -f rawvideo -pix_fmt rgb24 -s 320x180 -i '" + drawnFile +
                                      "' -vf scale=out_color_matrix=bt709:out_range=tv" + yuv);
  constexpr size_t kFrameBytes = kW * kH * 3 / 2;
  ASSERT_EQ(expected.size(), kSamples.size() * kFrameBytes);
  for (const char* name : {"flight.webm", "flight.mp4"}) {
    SCOPED_TRACE(name);
    const std::string file = (h_.dir / name).string();
    Start();
    testing::internal::CaptureStdout();
    ASSERT_EQ(WriteReplayVideo(file, kW, kH), 0);
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(Output("ffprobe -v error -count_frames -select_streams v:0 -show_entries "
                     "stream=codec_name,width,height,nb_read_frames:format=duration -of default=nw=1 '" + file + "'"),
              std::string(name).ends_with(".webm")
                  ? "codec_name=vp9\nwidth=320\nheight=180\nnb_read_frames=700\nduration=11.200000\n"
                  : "codec_name=h264\nwidth=320\nheight=180\nnb_read_frames=700\nduration=11.200000\n");
    std::string select;
    for (int32_t k : kSamples) select += (select.empty() ? "" : "+") + std::string("eq(n\\,") + std::to_string(k) + ")";
    const std::string decoded =
        Output("ffmpeg -v error -i '" + file + "' -vf \"select=" + select + "\" -vsync passthrough" + yuv);
    ASSERT_EQ(decoded.size(), kSamples.size() * kFrameBytes);
    for (size_t i = 0; i < kSamples.size(); ++i) {
      const double psnr = Psnr(decoded.data() + i * kFrameBytes, expected.data() + i * kFrameBytes, kFrameBytes);
      EXPECT_GE(psnr, 35.0) << "frame " << kSamples[i];
      std::printf("%s frame %d: %.1f dB\n", name, kSamples[i], psnr);
    }
  }
}

}  // namespace
}  // namespace vl
#endif
