#include "tests/support/png_writer.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace vl::test {
namespace {

TEST(PngWriter, ChecksumsMatchTheirReferenceValues) {
  const char* digits = "123456789";
  EXPECT_EQ(Crc32(reinterpret_cast<const uint8_t*>(digits), 9), 0xCBF43926u);
  const char* word = "Wikipedia";
  EXPECT_EQ(Adler32(reinterpret_cast<const uint8_t*>(word), 9), 0x11E60398u);
}

TEST(PngWriter, WritesStoredBlocksAcrossTheBlockLimit) {
  // 200 x 120 RGB: 72,120 bytes of scanlines, more than one stored block.
  const int w = 200, h = 120;
  std::vector<uint8_t> rgb(static_cast<size_t>(w) * h * 3);
  for (size_t i = 0; i < rgb.size(); ++i) rgb[i] = static_cast<uint8_t>(i * 7);
  const auto path = std::filesystem::temp_directory_path() / "vantaloop-png-test.png";
  ASSERT_TRUE(WritePng(path.string(), w, h, rgb));
  std::ifstream in(path, std::ios::binary);
  const std::vector<uint8_t> png((std::istreambuf_iterator<char>(in)), {});
  in.close();  // Windows removes no file that is open
  std::filesystem::remove(path);
  ASSERT_GT(png.size(), rgb.size());
  EXPECT_EQ(std::memcmp(png.data(), "\x89PNG\r\n\x1a\n", 8), 0);
  // IHDR: width, height, 8-bit RGB.
  EXPECT_EQ(std::memcmp(png.data() + 12, "IHDR", 4), 0);
  EXPECT_EQ(png[19], w);
  EXPECT_EQ(png[23], h);
  EXPECT_EQ(png[24], 8);
  EXPECT_EQ(png[25], 2);
  // Each chunk's CRC covers its type and data.
  const uint32_t ihdrCrc = Crc32(png.data() + 12, 17);
  EXPECT_EQ(png[29], static_cast<uint8_t>(ihdrCrc >> 24));
  EXPECT_EQ(png[32], static_cast<uint8_t>(ihdrCrc));
  // The first stored block: not final, 65,535 bytes, length's complement.
  const size_t zlib = 33 + 8;
  EXPECT_EQ(png[zlib], 0x78);
  EXPECT_EQ(png[zlib + 2], 0);
  EXPECT_EQ(png[zlib + 3], 0xFF);
  EXPECT_EQ(png[zlib + 4], 0xFF);
  EXPECT_EQ(png[zlib + 5], 0x00);
  EXPECT_EQ(png[zlib + 6], 0x00);
  // The first scanline: filter 0, then the pixels as given.
  EXPECT_EQ(png[zlib + 7], 0);
  EXPECT_EQ(std::memcmp(&png[zlib + 8], rgb.data(), 600), 0);
  EXPECT_EQ(std::memcmp(png.data() + png.size() - 8, "IEND", 4), 0);
  EXPECT_FALSE(WritePng(path.string(), w, h + 1, rgb));
}

}  // namespace
}  // namespace vl::test
