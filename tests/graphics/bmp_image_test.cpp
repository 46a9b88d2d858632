#include "graphics/bmp_image.h"

#include <gtest/gtest.h>

#include <functional>

namespace morvane {
namespace {

using Bytes = std::vector<uint8_t>;

void put(Bytes& bytes, size_t at, uint32_t value, int size = 4) {
  for (int i = 0; i < size; ++i) bytes[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

// The 54-byte header, the palette (blue, green, red, reserved per entry; its entry count
// recorded), `gap` filler bytes, then the pixel bytes as given.
Bytes makeBmp(int32_t width, int32_t height, uint16_t bits, const Bytes& palette, const Bytes& pixels, uint32_t gap = 0) {
  Bytes bytes(54, 0);
  bytes[0] = 'B', bytes[1] = 'M';
  const auto offset = static_cast<uint32_t>(54 + palette.size() + gap);
  put(bytes, 10, offset);
  put(bytes, 14, 40), put(bytes, 18, uint32_t(width)), put(bytes, 22, uint32_t(height));
  put(bytes, 26, 1, 2), put(bytes, 28, bits, 2);  // planes, bits per pixel
  put(bytes, 46, uint32_t(palette.size() / 4));
  bytes.insert(bytes.end(), palette.begin(), palette.end());
  bytes.insert(bytes.end(), gap, 0xAB);
  bytes.insert(bytes.end(), pixels.begin(), pixels.end());
  return bytes;
}

// Palette: 0 black, 1 near-black (1, 1, 1), 2 blue 10 / green 20 / red 30, 3 white.
const Bytes fourColours = {0, 0, 0, 0, 1, 1, 1, 0, 10, 20, 30, 0, 255, 255, 255, 0};

TEST(BmpDecode, PixelsComeOutRgbaBottomRowFirstWithOnlyBlackTransparent) {
  // RGBA; black, and only black, is see-through.
  const Bytes expected8 = {0, 0, 0, 0, 1, 1, 1, 255, 30, 20, 10, 255, 255, 255, 255, 255,
                           255, 255, 255, 255, 30, 20, 10, 255, 1, 1, 1, 255, 0, 0, 0, 0};
  // 24 bits, width 3: 9 bytes a row plus 3 of padding, junk that must not show.
  const Bytes padded24 = {1, 2, 3, 0, 0, 0, 7, 8, 9, 0xEE, 0xEE, 0xEE, 11, 12, 13, 14, 15, 16, 1, 0, 0, 0xEE, 0xEE, 0xEE};
  const Bytes expected24 = {3, 2, 1, 255, 0, 0, 0, 0, 9, 8, 7, 255, 13, 12, 11, 255, 16, 15, 14, 255, 0, 0, 1, 255};
  Bytes v5 = makeBmp(4, 1, 8, fourColours, {2, 2, 2, 2});  // a 124-byte header moves the palette
  v5.insert(v5.begin() + 54, 84, 0);
  put(v5, 10, 54 + 84 + 16), put(v5, 14, 124);
  const struct { const char* what; Bytes file, expected; } cases[] = {
      {"8 bits", makeBmp(4, 2, 8, fourColours, {0, 1, 2, 3, 3, 2, 1, 0}), expected8},
      {"8 bits, top-down", makeBmp(4, -2, 8, fourColours, {3, 2, 1, 0, 0, 1, 2, 3}), expected8},
      {"24 bits, padded", makeBmp(3, 2, 24, {}, padded24), expected24},
      // Some writers leave out the last row's padding; the pixels are all there, so it reads.
      {"24 bits, last padding missing", makeBmp(3, 2, 24, {}, Bytes(padded24.begin(), padded24.end() - 3)), expected24},
      {"two-colour palette, gap before the pixels", makeBmp(4, 1, 8, {50, 60, 70, 0, 0, 0, 0, 0}, {0, 1, 0, 1}, 6),
       {70, 60, 50, 255, 0, 0, 0, 0, 70, 60, 50, 255, 0, 0, 0, 0}},
      {"version 5 header", v5, {30, 20, 10, 255, 30, 20, 10, 255, 30, 20, 10, 255, 30, 20, 10, 255}},
  };
  for (const auto& c : cases) {
    const BmpResult result = decodeBmp(c.file, "fal.bmp");
    EXPECT_EQ(std::pair(result.image.width * result.image.height * 4, result.image.pixels), std::pair(int(c.expected.size()), c.expected))
        << c.what << ": " << result.errorUtf8;
  }
}

using Spoil = std::function<void(Bytes&)>;
Spoil set(size_t at, uint32_t value, int size = 4) { return [=](Bytes& b) { put(b, at, value, size); }; }
Spoil sides(uint32_t width, uint32_t height) { return [=](Bytes& b) { put(b, 18, width), put(b, 22, height); }; }
Spoil cut(size_t size) { return [=](Bytes& b) { b.resize(size); }; }

TEST(BmpDecode, EveryBadFileIsRefusedWithAMessageNamingTheFile) {
  const Bytes good24 = makeBmp(4, 2, 24, {}, Bytes(24, 7));
  const Bytes good8 = makeBmp(4, 2, 8, fourColours, {0, 1, 2, 3, 3, 2, 1, 0});
  const struct { const Bytes& good; Spoil spoil; const char* reasonPart; } cases[] = {
      {good24, cut(53), "csonka fejléc"}, {good24, set(0, 'X', 1), "BM"}, {good24, set(14, 12), "fejléctípus"},
      {good24, set(14, 4000), "csonka fejléc"}, {good24, cut(54 + 23), "csonka képadat"}, {good24, sides(-4u, 2), "képméret"},
      {good24, sides(4, 0x80000000u), "túl nagy"}, {good24, sides(2000, 2000), "túl nagy"},
      {good24, sides(2'500'000, 1), "csonka képadat"}, {good24, set(28, 32, 2), "színmélység"},
      {good8, set(30, 1), "tömörített"}, {good24, set(10, 1000), "kezdete"}, {good8, set(10, 60), "kezdete"},  // in the palette
      {good8, set(54 + 16 + 5, 4, 1), "színindex"}, {good8, set(46, 300), "palettaméret"},
      {good8, set(46, 0), "csonka paletta"},  // 0 recorded: 256 entries, running past the end
  };
  ASSERT_TRUE(decodeBmp(good24, "x").ok && decodeBmp(good8, "x").ok);
  for (size_t i = 0; i < std::size(cases); ++i) {
    Bytes bytes = cases[i].good;
    cases[i].spoil(bytes);
    const BmpResult result = decodeBmp(bytes, "kép/fal.bmp");
    EXPECT_EQ(result.errorUtf8.rfind("kép/fal.bmp: hibás vagy nem támogatott BMP-fájl (", 0), 0u) << i << result.errorUtf8;
    EXPECT_NE(result.errorUtf8.find(cases[i].reasonPart), std::string::npos) << i << ": " << result.errorUtf8;
  }
}

TEST(BmpDecode, AMissingFileIsNotFound) {
  EXPECT_EQ(readBmpFile("/nincs/fal.bmp").errorUtf8, "/nincs/fal.bmp nem található!");
}

}  // namespace
}  // namespace morvane
