// Writes an RGB picture as a PNG file, so a rendered frame can be looked at.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vl::test {

// `rgb` holds height rows of width pixels, top row first, three bytes each.
// The picture data is stored uncompressed. Returns false when the file
// cannot be written or the sizes do not match.
bool WritePng(const std::string& path, int width, int height, const std::vector<uint8_t>& rgb);

// The checksums the format uses, exposed for their own tests.
uint32_t Crc32(const uint8_t* data, size_t size, uint32_t crc = 0);
uint32_t Adler32(const uint8_t* data, size_t size);

}  // namespace vl::test
