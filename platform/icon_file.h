// Reads the window icon: a Windows icon file (.ico with 24- or 32-bit
// images), or a plain BMP image under any name.
#pragma once

#include <SDL.h>

#include <cstddef>
#include <cstdint>

namespace vl {

// The icon image closest to 32 x 32 pixels, or nullptr when the file is
// missing, not a plain file, damaged or in a format not read here. Images
// larger than 256 x 256 are passed over before they are decoded. The caller
// frees it.
SDL_Surface* LoadIconFile(const char* path);
// The same from the file's bytes.
SDL_Surface* DecodeIcon(const uint8_t* data, size_t size);

}  // namespace vl
