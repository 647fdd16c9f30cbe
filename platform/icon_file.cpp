#include "platform/icon_file.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "os/files.h"

namespace vl {

namespace {

constexpr size_t kMaxIconFile = 4 << 20;  // nobody's window icon is bigger
constexpr int64_t kMaxIconSide = 256;     // nor is any of its images

uint16_t U16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
uint32_t U32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
         static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

// One device-independent bitmap as an icon stores it: its header says twice
// the height, for the colour rows (bottom-up) followed by a one-bit mask
// whose set bits are transparent.
SDL_Surface* DecodeDib(const uint8_t* p, size_t size) {
  if (size < 40) return nullptr;
  const uint32_t headerSize = U32(p);
  const int32_t width = static_cast<int32_t>(U32(p + 4));
  const int32_t doubledHeight = static_cast<int32_t>(U32(p + 8));
  const uint16_t bits = U16(p + 14);
  const uint32_t compression = U32(p + 16);
  if (headerSize < 40 || headerSize > size || width <= 0 || width > 256 || doubledHeight < 2 ||
      doubledHeight > 512 || compression != 0 || (bits != 24 && bits != 32))
    return nullptr;
  const int32_t height = doubledHeight / 2;
  const size_t colourStride = ((static_cast<size_t>(width) * bits + 31) / 32) * 4;
  const size_t maskStride = ((static_cast<size_t>(width) + 31) / 32) * 4;
  const size_t colourBytes = colourStride * static_cast<size_t>(height);
  const uint8_t* colour = p + headerSize;
  const uint8_t* mask = colour + colourBytes;
  const bool haveMask = headerSize + colourBytes + maskStride * static_cast<size_t>(height) <= size;
  if (headerSize + colourBytes > size) return nullptr;

  // With 32 bits a pixel the image carries its own alpha, unless every
  // alpha byte is zero (older icons), in which case the mask decides.
  bool ownAlpha = false;
  if (bits == 32)
    for (size_t i = 3; i < colourBytes && !ownAlpha; i += 4) ownAlpha = colour[i] != 0;

  SDL_Surface* s = SDL_CreateRGBSurfaceWithFormat(0, width, height, 32, SDL_PIXELFORMAT_ARGB8888);
  if (!s) return nullptr;
  for (int32_t y = 0; y < height; ++y) {
    const uint8_t* row = colour + colourStride * static_cast<size_t>(height - 1 - y);
    const uint8_t* maskRow = mask + maskStride * static_cast<size_t>(height - 1 - y);
    auto* out = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(s->pixels) + y * s->pitch);
    for (int32_t x = 0; x < width; ++x) {
      const uint8_t* px = row + static_cast<size_t>(x) * (bits / 8);
      uint32_t alpha = 255;
      if (ownAlpha) {
        alpha = px[3];
      } else if (haveMask && (maskRow[x / 8] & (0x80 >> (x % 8)))) {
        alpha = 0;
      }
      out[x] = alpha << 24 | static_cast<uint32_t>(px[2]) << 16 | static_cast<uint32_t>(px[1]) << 8 | px[0];
    }
  }
  return s;
}

// Whether a BMP file's header gives a size an icon can have. It is looked
// at before the image is decoded: a few bytes can claim a picture of
// gigabytes.
bool BmpSizeFitsAnIcon(const uint8_t* data, size_t size) {
  if (size < 26) return false;
  int64_t width = 0, height = 0;
  if (U32(data + 14) == 12) {  // the oldest header: 16-bit sizes
    width = U16(data + 18);
    height = U16(data + 20);
  } else {
    width = static_cast<int32_t>(U32(data + 18));
    height = static_cast<int32_t>(U32(data + 22));  // negative: rows top-down
    if (height < 0) height = -height;
  }
  return width >= 1 && width <= kMaxIconSide && height >= 1 && height <= kMaxIconSide;
}

}  // namespace

SDL_Surface* DecodeIcon(const uint8_t* data, size_t size) {
  if (size >= 2 && data[0] == 'B' && data[1] == 'M') {
    if (!BmpSizeFitsAnIcon(data, size)) return nullptr;
    return SDL_LoadBMP_RW(SDL_RWFromConstMem(data, static_cast<int>(size)), 1);
  }
  // The icon directory: reserved 0, type 1, then 16 bytes per image.
  if (size < 6 || U16(data) != 0 || U16(data + 2) != 1) return nullptr;
  const size_t count = U16(data + 4);
  if (count == 0 || 6 + 16 * count > size) return nullptr;
  // The readable image closest to 32 x 32; a width byte of 0 means 256.
  // Images stored as PNG (usually the 256-pixel ones) are passed over.
  size_t best = count;
  int bestDistance = 1 << 30;
  for (size_t i = 0; i < count; ++i) {
    const uint8_t* e = data + 6 + 16 * i;
    const size_t at = U32(e + 12);
    if (at + 4 <= size && data[at] == 0x89 && data[at + 1] == 'P') continue;
    const int w = e[0] ? e[0] : 256;
    const int distance = w >= 32 ? w - 32 : 2 * (32 - w);  // prefer larger over smaller
    if (distance < bestDistance) {
      bestDistance = distance;
      best = i;
    }
  }
  if (best == count) return nullptr;
  const uint8_t* e = data + 6 + 16 * best;
  const size_t bytes = U32(e + 8), offset = U32(e + 12);
  if (offset >= size || bytes > size - offset) return nullptr;
  return DecodeDib(data + offset, bytes);
}

SDL_Surface* LoadIconFile(const char* path) {
  // Only a plain file is read: a FIFO or a device under the icon's name
  // must not hold up the start-up.
  std::FILE* f = os::OpenForReading(path);
  if (!f) return nullptr;
  std::vector<uint8_t> data(kMaxIconFile);
  const size_t n = std::fread(data.data(), 1, data.size(), f);
  std::fclose(f);
  return DecodeIcon(data.data(), n);
}

}  // namespace vl
