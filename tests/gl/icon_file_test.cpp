#include "platform/icon_file.h"

#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <array>
#include <string>
#include <vector>

namespace vl {
namespace {

void Put16(std::vector<uint8_t>& b, uint16_t v) {
  b.push_back(static_cast<uint8_t>(v));
  b.push_back(static_cast<uint8_t>(v >> 8));
}
void Put32(std::vector<uint8_t>& b, uint32_t v) {
  for (int i = 0; i < 4; ++i) b.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

// One icon image as Windows stores it: a 40-byte header giving twice the
// height, colour rows bottom-up (BGR or BGRA), then the transparency mask.
// `pixel(x, y)` gives (b, g, r, a) for row y counted from the top.
template <typename F>
std::vector<uint8_t> Dib(int w, int h, int bits, F pixel, const std::vector<int>& transparentX) {
  std::vector<uint8_t> b;
  Put32(b, 40);
  Put32(b, static_cast<uint32_t>(w));
  Put32(b, static_cast<uint32_t>(2 * h));
  Put16(b, 1);
  Put16(b, static_cast<uint16_t>(bits));
  for (int i = 0; i < 6; ++i) Put32(b, 0);
  const int stride = ((w * bits + 31) / 32) * 4;
  for (int y = h - 1; y >= 0; --y) {
    std::vector<uint8_t> row(static_cast<size_t>(stride), 0);
    for (int x = 0; x < w; ++x) {
      const auto c = pixel(x, y);
      for (int k = 0; k < bits / 8; ++k) row[static_cast<size_t>(x * (bits / 8) + k)] = c[k];
    }
    b.insert(b.end(), row.begin(), row.end());
  }
  const int maskStride = ((w + 31) / 32) * 4;
  for (int y = h - 1; y >= 0; --y) {
    std::vector<uint8_t> row(static_cast<size_t>(maskStride), 0);
    for (int x : transparentX) row[static_cast<size_t>(x / 8)] |= static_cast<uint8_t>(0x80 >> (x % 8));
    b.insert(b.end(), row.begin(), row.end());
  }
  return b;
}

std::vector<uint8_t> Ico(const std::vector<std::pair<int, std::vector<uint8_t>>>& images) {
  std::vector<uint8_t> b;
  Put16(b, 0);
  Put16(b, 1);
  Put16(b, static_cast<uint16_t>(images.size()));
  uint32_t offset = static_cast<uint32_t>(6 + 16 * images.size());
  for (const auto& [w, dib] : images) {
    b.push_back(static_cast<uint8_t>(w));
    b.push_back(static_cast<uint8_t>(w));
    b.push_back(0);
    b.push_back(0);
    Put16(b, 1);
    Put16(b, 32);
    Put32(b, static_cast<uint32_t>(dib.size()));
    Put32(b, offset);
    offset += static_cast<uint32_t>(dib.size());
  }
  for (const auto& image : images) b.insert(b.end(), image.second.begin(), image.second.end());
  return b;
}

uint32_t PixelAt(SDL_Surface* s, int x, int y) {
  return reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(s->pixels) + y * s->pitch)[x];
}

TEST(IconFile, PicksThe32PixelImageAndKeepsItsColoursAndAlpha) {
  using Px = std::array<uint8_t, 4>;
  const auto small = Dib(16, 16, 32, [](int, int) { return Px{0, 0, 255, 255}; }, {});
  // Top-left quarter opaque red, the rest half-transparent blue.
  const auto big = Dib(32, 32, 32, [](int x, int y) {
    return x < 16 && y < 16 ? Px{0, 0, 255, 255} : Px{255, 0, 0, 128};
  }, {});
  const auto file = Ico({{16, small}, {32, big}});
  SDL_Surface* s = DecodeIcon(file.data(), file.size());
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(s->w, 32);
  EXPECT_EQ(s->h, 32);
  EXPECT_EQ(PixelAt(s, 0, 0), 0xFFFF0000u);    // rows come out top-down
  EXPECT_EQ(PixelAt(s, 31, 31), 0x800000FFu);
  EXPECT_EQ(PixelAt(s, 20, 5), 0x800000FFu);
  SDL_FreeSurface(s);
}

TEST(IconFile, ImagesStoredAsPngArePassedOver) {
  using Px = std::array<uint8_t, 4>;
  std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 0, 0, 0};
  const auto dib = Dib(48, 48, 32, [](int, int) { return Px{0, 255, 0, 255}; }, {});
  const auto file = Ico({{32, png}, {48, dib}});
  SDL_Surface* s = DecodeIcon(file.data(), file.size());
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(s->w, 48);
  EXPECT_EQ(PixelAt(s, 7, 7), 0xFF00FF00u);
  SDL_FreeSurface(s);
  const auto onlyPng = Ico({{32, png}});
  EXPECT_EQ(DecodeIcon(onlyPng.data(), onlyPng.size()), nullptr);
}

TEST(IconFile, OldIconsTakeTransparencyFromTheMask) {
  using Px = std::array<uint8_t, 4>;
  const auto dib = Dib(32, 32, 24, [](int, int y) { return Px{10, 20, static_cast<uint8_t>(y), 0}; }, {0, 9});
  const auto file = Ico({{32, dib}});
  SDL_Surface* s = DecodeIcon(file.data(), file.size());
  ASSERT_NE(s, nullptr);
  // Alpha from the mask, then red (the row), green 20, blue 10.
  EXPECT_EQ(PixelAt(s, 0, 3), 0x0003140Au);  // masked out
  EXPECT_EQ(PixelAt(s, 9, 7), 0x0007140Au);
  EXPECT_EQ(PixelAt(s, 1, 7), 0xFF07140Au);
  SDL_FreeSurface(s);
}

TEST(IconFile, DamagedOrForeignFilesGiveNoIcon) {
  using Px = std::array<uint8_t, 4>;
  const auto good = Ico({{32, Dib(32, 32, 32, [](int, int) { return Px{1, 2, 3, 4}; }, {})}});
  // Cut anywhere inside the image: no icon, and nothing read past the end.
  for (size_t cut : {size_t{0}, size_t{5}, size_t{21}, size_t{40}, good.size() / 2}) {
    std::vector<uint8_t> part(good.begin(), good.begin() + static_cast<long>(cut));
    EXPECT_EQ(DecodeIcon(part.data(), part.size()), nullptr) << cut;
  }
  std::vector<uint8_t> badOffset = good;
  badOffset[6 + 12] = 0xFF;  // image offset far past the end
  badOffset[6 + 15] = 0x7F;
  EXPECT_EQ(DecodeIcon(badOffset.data(), badOffset.size()), nullptr);
  std::vector<uint8_t> noRows = good;
  noRows[22 + 8] = 1;  // twice the height: 1, an image no pixel high
  EXPECT_EQ(DecodeIcon(noRows.data(), noRows.size()), nullptr);
  const uint8_t text[] = "not an icon at all";
  EXPECT_EQ(DecodeIcon(text, sizeof text), nullptr);
  EXPECT_EQ(LoadIconFile("/nonexistent/icon.ico"), nullptr);
}

// A BMP file of w x h pixels as SDL writes it.
std::vector<uint8_t> Bmp(int w, int h) {
  SDL_Surface* src = SDL_CreateRGBSurfaceWithFormat(0, w, h, 32, SDL_PIXELFORMAT_ARGB8888);
  EXPECT_NE(src, nullptr);
  SDL_FillRect(src, nullptr, 0xFF336699u);
  std::vector<uint8_t> bytes(static_cast<size_t>(w) * static_cast<size_t>(h) * 4 + 4096);
  SDL_RWops* rw = SDL_RWFromMem(bytes.data(), static_cast<int>(bytes.size()));
  EXPECT_EQ(SDL_SaveBMP_RW(src, rw, 0), 0) << SDL_GetError();
  bytes.resize(static_cast<size_t>(SDL_RWtell(rw)));
  SDL_RWclose(rw);
  SDL_FreeSurface(src);
  return bytes;
}

TEST(IconFile, ABitmapUnderTheIconsNameIsReadUpToIconSize) {
  // A 127-byte file claiming 60000 x 60000 pixels, upside down or not,
  // would cost gigabytes to decode.
  std::vector<uint8_t> huge = Bmp(4, 3);
  huge.resize(127);
  for (int at : {18, 22}) {
    huge[static_cast<size_t>(at)] = 0x60;
    huge[static_cast<size_t>(at) + 1] = 0xEA;
  }
  std::vector<uint8_t> hugeTopDown = huge;
  for (int i = 22; i < 26; ++i) hugeTopDown[static_cast<size_t>(i)] = static_cast<uint8_t>(~hugeTopDown[static_cast<size_t>(i)]);
  struct Case {
    const char* what;
    std::vector<uint8_t> file;
    int w, h;  // 0: no icon
  } cases[] = {
      {"small", Bmp(4, 3), 4, 3},
      {"largest", Bmp(256, 256), 256, 256},
      {"too wide", Bmp(257, 8), 0, 0},
      {"too high", Bmp(8, 257), 0, 0},
      {"huge claim", huge, 0, 0},
      {"huge claim, top-down", hugeTopDown, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SDL_Surface* s = DecodeIcon(c.file.data(), c.file.size());
    if (c.w == 0) {
      EXPECT_EQ(s, nullptr);
      continue;
    }
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->w, c.w);
    EXPECT_EQ(s->h, c.h);
    SDL_FreeSurface(s);
  }
}

TEST(IconFile, OnlyAPlainFileIsRead) {
#ifdef _WIN32
  GTEST_SKIP() << "FIFOs are POSIX's";
#else
  const std::string dir = testing::TempDir() + "vantaloop-icon-" + std::to_string(::getpid());
  ASSERT_EQ(::mkdir(dir.c_str(), 0755), 0);
  const std::string fifo = dir + "/icon.ico";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
  ::alarm(10);  // a FIFO with no writer would block an ordinary open for good
  EXPECT_EQ(LoadIconFile(fifo.c_str()), nullptr);
  ::alarm(0);
  ::unlink(fifo.c_str());
  ::rmdir(dir.c_str());
#endif
}

}  // namespace
}  // namespace vl
