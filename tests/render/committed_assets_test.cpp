// The data files in assets/ (made by tools/make_assets) are what the game loads at start:
// a texture OpenGL 1.1 can take and clips in the one format the game's sound path expects.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "render/bmp_image.h"

namespace morvane {
namespace {

const std::string assetDir = std::string(MORVANE_SOURCE_DIR) + "/assets/";

std::vector<uint8_t> readAll(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

uint32_t u32(const std::vector<uint8_t>& b, size_t at) {
  return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}

uint16_t u16(const std::vector<uint8_t>& b, size_t at) {
  return static_cast<uint16_t>(b[at] | b[at + 1] << 8);
}

bool isPowerOfTwo(int32_t n) { return n > 0 && (n & (n - 1)) == 0; }

TEST(BmpWallTexture, DecodesWithPowerOfTwoSidesAndIsMostlyOpaque) {
  const std::string path = assetDir + "walltex.bmp";
  const BmpResult result = readBmpFile(path);
  ASSERT_TRUE(result.ok) << result.errorUtf8;
  EXPECT_TRUE(isPowerOfTwo(result.image.width)) << result.image.width;
  EXPECT_TRUE(isPowerOfTwo(result.image.height)) << result.image.height;

  const std::vector<uint8_t> file = readAll(path);
  EXPECT_EQ(u16(file, 28), 24);  // plain 24-bit, uncompressed, pixels right after the header
  EXPECT_EQ(u32(file, 30), 0u);
  EXPECT_EQ(u32(file, 10), 54u);

  // Transparent texels show the black void behind the wall: a window, not most of the wall.
  size_t transparent = 0;
  for (size_t i = 3; i < result.image.pixels.size(); i += 4) transparent += result.image.pixels[i] == 0;
  const size_t total = result.image.pixels.size() / 4;
  EXPECT_GT(transparent, 0u);
  EXPECT_LT(transparent * 5, total);
}

TEST(AssetClips, AreShortQuietPcmMono16BitAt22050Hz) {
  for (const char* name : {"clickb.wav", "clickbb.wav", "clicke.wav", "hit.wav", "pocket.wav"}) {
    SCOPED_TRACE(name);
    const std::vector<uint8_t> b = readAll(assetDir + name);
    ASSERT_GE(b.size(), 44u);
    EXPECT_EQ(std::string(b.begin(), b.begin() + 4), "RIFF");
    EXPECT_EQ(u32(b, 4), b.size() - 8);
    EXPECT_EQ(std::string(b.begin() + 8, b.begin() + 16), "WAVEfmt ");
    EXPECT_EQ(u32(b, 16), 16u);
    EXPECT_EQ(u16(b, 20), 1);  // PCM
    EXPECT_EQ(u16(b, 22), 1);  // mono
    EXPECT_EQ(u32(b, 24), 22050u);
    EXPECT_EQ(u32(b, 28), 44100u);
    EXPECT_EQ(u16(b, 32), 2);
    EXPECT_EQ(u16(b, 34), 16);
    EXPECT_EQ(std::string(b.begin() + 36, b.begin() + 40), "data");
    const uint32_t dataBytes = u32(b, 40);
    ASSERT_EQ(dataBytes, b.size() - 44);
    EXPECT_LT(dataBytes / 2, 22050u / 2);  // under half a second

    int peak = 0;
    for (size_t at = 44; at + 1 < b.size(); at += 2) {
      peak = std::max(peak, std::abs(static_cast<int>(static_cast<int16_t>(u16(b, at)))));
    }
    EXPECT_LE(peak, 16423);  // -6 dBFS
    EXPECT_GE(peak, 8000);   // and clearly audible
  }
}

}  // namespace
}  // namespace morvane
