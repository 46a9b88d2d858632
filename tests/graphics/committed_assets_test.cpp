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

#include "graphics/bmp_image.h"

namespace morvane {
namespace {

const std::string assetDir = std::string(MORVANE_SOURCE_DIR) + "/assets/";

std::vector<uint8_t> readAll(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

uint32_t le(const std::vector<uint8_t>& b, size_t at, int size = 4) {
  uint32_t value = 0;
  for (int i = size - 1; i >= 0; --i) value = value << 8 | b[at + i];
  return value;
}

TEST(CommittedAssets, WallTextureDecodesWithPowerOfTwoSidesAndAWindow) {
  const BmpResult result = readBmpFile(assetDir + "walltex.bmp");
  ASSERT_TRUE(result.ok) << result.errorUtf8;
  for (const int32_t side : {result.image.width, result.image.height}) EXPECT_TRUE(side > 0 && (side & (side - 1)) == 0) << side;
  // Transparent texels show the black void behind the wall: a window, not most of the wall.
  size_t transparent = 0;
  for (size_t i = 3; i < result.image.pixels.size(); i += 4) transparent += result.image.pixels[i] == 0;
  EXPECT_GT(transparent, 0u);
  EXPECT_LT(transparent * 5, result.image.pixels.size() / 4);
}

TEST(CommittedAssets, ClipsAreShortAudiblePcmMono16BitAt22050Hz) {
  for (const char* name : {"clickb.wav", "clickbb.wav", "clicke.wav", "hit.wav", "pocket.wav"}) {
    SCOPED_TRACE(name);
    const std::vector<uint8_t> b = readAll(assetDir + name);
    ASSERT_GE(b.size(), 44u);
    // The plain 44-byte header: PCM, mono, 22050 Hz, 44100 bytes a second, 2-byte frames, 16 bits.
    EXPECT_EQ(std::string(&b[0], &b[4]) + std::string(&b[8], &b[16]) + std::string(&b[36], &b[40]), "RIFFWAVEfmt data");
    const auto dataBytes = static_cast<uint32_t>(b.size() - 44);
    EXPECT_EQ((std::vector<uint32_t>{le(b, 4), le(b, 16), le(b, 20, 2), le(b, 22, 2), le(b, 24), le(b, 28), le(b, 32, 2),
                                     le(b, 34, 2), le(b, 40)}),
              (std::vector<uint32_t>{dataBytes + 36, 16, 1, 1, 22050, 44100, 2, 16, dataBytes}));
    EXPECT_LT(dataBytes / 2, 22050u / 2);  // under half a second
    int peak = 0;
    for (size_t at = 44; at + 1 < b.size(); at += 2) peak = std::max(peak, std::abs(static_cast<int16_t>(le(b, at, 2))));
    EXPECT_LE(peak, 16423);  // -6 dBFS
    EXPECT_GE(peak, 8000);   // and clearly audible
  }
}

}  // namespace
}  // namespace morvane
