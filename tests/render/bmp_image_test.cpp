#include <gtest/gtest.h>
#include <unistd.h>

#include <climits>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "render/bmp_image.h"

namespace morvane {
namespace {

using Bytes = std::vector<uint8_t>;

void put16(Bytes& bytes, size_t at, uint16_t value) {
  bytes[at] = static_cast<uint8_t>(value);
  bytes[at + 1] = static_cast<uint8_t>(value >> 8);
}

void put32(Bytes& bytes, size_t at, uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

// A BMP with the 54-byte header, the palette (blue, green, red, reserved per entry; its entry
// count recorded, 0 for a full 256), `gap` filler bytes, then the pixel bytes as given.
Bytes makeBmp(int32_t width, int32_t height, uint16_t bits, const Bytes& palette,
              const Bytes& pixels, uint32_t gap = 0) {
  Bytes bytes(54, 0);
  bytes.reserve(54 + palette.size() + gap + pixels.size());
  bytes[0] = 'B';
  bytes[1] = 'M';
  const auto offset = static_cast<uint32_t>(54 + palette.size() + gap);
  put32(bytes, 2, static_cast<uint32_t>(offset + pixels.size()));
  put32(bytes, 10, offset);
  put32(bytes, 14, 40);
  put32(bytes, 18, static_cast<uint32_t>(width));
  put32(bytes, 22, static_cast<uint32_t>(height));
  put16(bytes, 26, 1);
  put16(bytes, 28, bits);
  const size_t entries = palette.size() / 4;
  put32(bytes, 46, entries == 256 ? 0 : static_cast<uint32_t>(entries));
  bytes.insert(bytes.end(), palette.begin(), palette.end());
  bytes.insert(bytes.end(), gap, 0xAB);
  bytes.insert(bytes.end(), pixels.begin(), pixels.end());
  return bytes;
}

Bytes rgba(std::initializer_list<std::array<uint8_t, 4>> pixels) {
  Bytes out;
  for (const auto& p : pixels) out.insert(out.end(), p.begin(), p.end());
  return out;
}

BmpResult decode(const Bytes& bytes) { return decodeBmp(bytes, "fal.bmp"); }

// Palette: 0 black, 1 near-black (1, 1, 1), 2 blue 10 / green 20 / red 30, 3 white.
const Bytes fourColours = {0, 0, 0, 0, 1, 1, 1, 0, 10, 20, 30, 0, 255, 255, 255, 0};

TEST(BmpDecode, PaletteBlackIsTransparentExactlyWhereItIsUsed) {
  const BmpResult result = decode(makeBmp(4, 2, 8, fourColours, {0, 1, 2, 3, 3, 2, 1, 0}));
  ASSERT_TRUE(result.ok) << result.errorUtf8;
  EXPECT_EQ(result.image.width, 4);
  EXPECT_EQ(result.image.height, 2);
  EXPECT_EQ(result.image.pixels, rgba({{0, 0, 0, 0}, {1, 1, 1, 255}, {30, 20, 10, 255},
                                       {255, 255, 255, 255}, {255, 255, 255, 255},
                                       {30, 20, 10, 255}, {1, 1, 1, 255}, {0, 0, 0, 0}}));
}

TEST(BmpDecode, TrueColourTurnsBlueGreenRedIntoRgbWithBlackTransparent) {
  const Bytes pixels = {10, 20, 30, 0, 0, 0, 1, 0, 0, 0, 0, 1};  // B,G,R each
  const BmpResult result = decode(makeBmp(4, 1, 24, {}, pixels));
  ASSERT_TRUE(result.ok) << result.errorUtf8;
  EXPECT_EQ(result.image.pixels,
            rgba({{30, 20, 10, 255}, {0, 0, 0, 0}, {0, 0, 1, 255}, {1, 0, 0, 255}}));
}

TEST(BmpDecode, PaddedRowsReadStraight) {
  // 24 bits, width 3: 9 bytes a row plus 3 of padding, filled with junk that must not show.
  const Bytes trueColour = {1, 2, 3, 4, 5, 6, 7, 8, 9, 0xEE, 0xEE, 0xEE,
                            11, 12, 13, 14, 15, 16, 17, 18, 19, 0xEE, 0xEE, 0xEE};
  BmpResult result = decode(makeBmp(3, 2, 24, {}, trueColour));
  ASSERT_TRUE(result.ok) << result.errorUtf8;
  EXPECT_EQ(result.image.pixels, rgba({{3, 2, 1, 255}, {6, 5, 4, 255}, {9, 8, 7, 255},
                                       {13, 12, 11, 255}, {16, 15, 14, 255}, {19, 18, 17, 255}}));

  // 8 bits, width 5: 5 bytes a row plus 3 of padding (index 3 would be white if misread).
  result = decode(makeBmp(5, 2, 8, fourColours, {2, 2, 2, 2, 2, 3, 3, 3, 1, 1, 1, 1, 1, 3, 3, 3}));
  ASSERT_TRUE(result.ok) << result.errorUtf8;
  ASSERT_EQ(result.image.pixels.size(), 5u * 2 * 4);
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(result.image.pixels[i * 4], 30) << i;
    EXPECT_EQ(result.image.pixels[(5 + i) * 4], 1) << i;
  }

  // Some writers leave out the last row's padding; the pixels are all there, so it reads.
  result = decode(makeBmp(3, 2, 24, {}, Bytes(trueColour.begin(), trueColour.end() - 3)));
  ASSERT_TRUE(result.ok) << result.errorUtf8;
  EXPECT_EQ(result.image.pixels[5 * 4], 19);
}

TEST(BmpDecode, TopDownRowsComeOutBottomRowFirst) {
  const Bytes bottomRowFirst = {1, 2, 3, 0, 0, 0, 0, 0, 40, 50, 60, 0};  // width 1, 3 rows
  const Bytes topRowFirst = {40, 50, 60, 0, 0, 0, 0, 0, 1, 2, 3, 0};
  const BmpResult bottomUp = decode(makeBmp(1, 3, 24, {}, bottomRowFirst));
  const BmpResult topDown = decode(makeBmp(1, -3, 24, {}, topRowFirst));
  ASSERT_TRUE(bottomUp.ok) << bottomUp.errorUtf8;
  ASSERT_TRUE(topDown.ok) << topDown.errorUtf8;
  EXPECT_EQ(topDown.image.height, 3);
  EXPECT_EQ(topDown.image.pixels, bottomUp.image.pixels);
  EXPECT_EQ(bottomUp.image.pixels, rgba({{3, 2, 1, 255}, {0, 0, 0, 0}, {60, 50, 40, 255}}));

  const BmpResult palettedTopDown = decode(makeBmp(4, -2, 8, fourColours, {3, 3, 3, 3, 2, 2, 2, 2}));
  ASSERT_TRUE(palettedTopDown.ok) << palettedTopDown.errorUtf8;
  EXPECT_EQ(palettedTopDown.image.pixels[0], 30);       // bottom row: index 2
  EXPECT_EQ(palettedTopDown.image.pixels[4 * 4], 255);  // top row: index 3
}

TEST(BmpDecode, HonoursPixelOffsetPaletteSizeAndLongerHeaders) {
  // Filler between the palette and the pixels is skipped through the recorded offset.
  BmpResult result = decode(makeBmp(4, 1, 24, {}, {9, 8, 7, 0, 0, 0, 0, 0, 0, 0, 0, 0}, 6));
  ASSERT_TRUE(result.ok) << result.errorUtf8;
  EXPECT_EQ(result.image.pixels[0], 7);

  // A two-colour palette: the pixels start right after its 8 bytes.
  result = decode(makeBmp(4, 1, 8, {50, 60, 70, 0, 0, 0, 0, 0}, {0, 1, 0, 1}));
  ASSERT_TRUE(result.ok) << result.errorUtf8;
  EXPECT_EQ(result.image.pixels, rgba({{70, 60, 50, 255}, {0, 0, 0, 0}, {70, 60, 50, 255},
                                       {0, 0, 0, 0}}));

  // A 124-byte (version 5) information header moves the palette back by 84 bytes.
  Bytes v5 = makeBmp(4, 1, 8, fourColours, {2, 2, 2, 2});
  v5.insert(v5.begin() + 54, 84, 0);
  put32(v5, 10, 54 + 84 + 16);
  put32(v5, 14, 124);
  result = decode(v5);
  ASSERT_TRUE(result.ok) << result.errorUtf8;
  EXPECT_EQ(result.image.pixels[0], 30);
}

// The simplest possible reader: 54-byte header, 256-entry palette right after it, pixels back to
// back. Every file it reads correctly must decode to the same pixels.
Bytes tightlyPackedRead(const Bytes& file) {
  const int32_t width = static_cast<int32_t>(file[18] | file[19] << 8 | file[20] << 16 | file[21] << 24);
  const int32_t height = static_cast<int32_t>(file[22] | file[23] << 8 | file[24] << 16 | file[25] << 24);
  const bool paletted = file[28] == 8;
  size_t at = paletted ? 54 + 1024 : 54;
  Bytes out;
  for (int32_t i = 0; i < width * height; ++i) {
    const uint8_t* bgr = paletted ? &file[54 + 4 * file[at++]] : &file[(at += 3) - 3];
    const uint8_t alpha = (bgr[0] | bgr[1] | bgr[2]) ? 255 : 0;
    out.insert(out.end(), {bgr[2], bgr[1], bgr[0], alpha});
  }
  return out;
}

TEST(BmpDecode, FilesTheTightlyPackedReaderHandledDecodeTheSame) {
  uint32_t state = 12345;
  const auto nextByte = [&state] {
    state = state * 1103515245u + 12345u;
    return static_cast<uint8_t>(state >> 24 & 0x03 ? state >> 16 : 0);  // black now and then
  };
  for (const int32_t width : {4, 8, 20}) {
    for (const int32_t height : {1, 3, 7}) {
      Bytes palette(1024), indices(static_cast<size_t>(width * height));
      Bytes trueColour(static_cast<size_t>(width * height * 3));
      for (auto& b : palette) b = nextByte();
      for (auto& b : indices) b = nextByte();
      for (auto& b : trueColour) b = nextByte();
      for (const Bytes& file : {makeBmp(width, height, 8, palette, indices),
                                makeBmp(width, height, 24, {}, trueColour)}) {
        const BmpResult result = decode(file);
        ASSERT_TRUE(result.ok) << result.errorUtf8;
        EXPECT_EQ(result.image.pixels, tightlyPackedRead(file)) << width << "x" << height;
      }
    }
  }
}

struct Refusal {
  const char* what;
  std::function<void(Bytes&)> spoil;
  const char* reasonPart;
};

TEST(BmpRefuse, EveryBadFileGivesAMessageNamingTheFile) {
  const Bytes good24 = makeBmp(4, 2, 24, {}, Bytes(24, 7));
  const Bytes good8 = makeBmp(4, 2, 8, fourColours, {0, 1, 2, 3, 3, 2, 1, 0});
  ASSERT_TRUE(decode(good24).ok);
  ASSERT_TRUE(decode(good8).ok);
  const std::vector<std::pair<Bytes, Refusal>> cases = {
      {good24, {"empty file", [](Bytes& b) { b.clear(); }, "csonka fejléc"}},
      {good24, {"header cut at 53 bytes", [](Bytes& b) { b.resize(53); }, "csonka fejléc"}},
      {good24, {"not a BMP", [](Bytes& b) { b[0] = 'X'; }, "BM"}},
      {good24, {"old 12-byte core header", [](Bytes& b) { put32(b, 14, 12); }, "fejléctípus"}},
      {good24, {"info header past the end", [](Bytes& b) { put32(b, 14, 4000); }, "csonka fejléc"}},
      {good24, {"last pixel missing", [](Bytes& b) { b.pop_back(); }, "csonka képadat"}},
      {good24, {"pixels missing", [](Bytes& b) { b.resize(54); }, "csonka képadat"}},
      {good24, {"zero width", [](Bytes& b) { put32(b, 18, 0); }, "képméret"}},
      {good24, {"negative width", [](Bytes& b) { put32(b, 18, static_cast<uint32_t>(-4)); }, "képméret"}},
      {good24, {"zero height", [](Bytes& b) { put32(b, 22, 0); }, "képméret"}},
      {good24, {"most negative height", [](Bytes& b) { put32(b, 22, 0x80000000u); }, "túl nagy"}},
      {good24, {"2000 x 2000 pixels", [](Bytes& b) { put32(b, 18, 2000); put32(b, 22, 2000); }, "túl nagy"}},
      {good24, {"largest sides", [](Bytes& b) { put32(b, 18, INT32_MAX); put32(b, 22, INT32_MAX); }, "túl nagy"}},
      {good24, {"one huge row, no data", [](Bytes& b) { put32(b, 18, 2'500'000); put32(b, 22, 1); }, "csonka képadat"}},
      {good24, {"32 bits", [](Bytes& b) { put16(b, 28, 32); }, "színmélység"}},
      {good24, {"16 bits", [](Bytes& b) { put16(b, 28, 16); }, "színmélység"}},
      {good8, {"1 bit", [](Bytes& b) { put16(b, 28, 1); }, "színmélység"}},
      {good8, {"run-length coded", [](Bytes& b) { put32(b, 30, 1); }, "tömörített"}},
      {good24, {"bit fields", [](Bytes& b) { put32(b, 30, 3); }, "tömörített"}},
      {good24, {"offset past the end", [](Bytes& b) { put32(b, 10, 1000); }, "kezdete"}},
      {good24, {"offset 0xFFFFFFFF", [](Bytes& b) { put32(b, 10, 0xFFFFFFFFu); }, "kezdete"}},
      {good24, {"offset inside the header", [](Bytes& b) { put32(b, 10, 20); }, "kezdete"}},
      {good8, {"offset inside the palette", [](Bytes& b) { put32(b, 10, 60); }, "kezdete"}},
      {good8, {"index beyond the palette", [](Bytes& b) { b[70 + 5] = 4; }, "színindex"}},
      {good8, {"palette of 300", [](Bytes& b) { put32(b, 46, 300); }, "palettaméret"}},
      {good8, {"palette past the end", [](Bytes& b) { put32(b, 46, 0); }, "csonka paletta"}},
  };
  for (const auto& [good, refusal] : cases) {
    Bytes bytes = good;
    refusal.spoil(bytes);
    const BmpResult result = decodeBmp(bytes, "kép/fal.bmp");
    EXPECT_FALSE(result.ok) << refusal.what;
    EXPECT_TRUE(result.image.pixels.empty()) << refusal.what;
    EXPECT_EQ(result.errorUtf8.rfind("kép/fal.bmp: hibás vagy nem támogatott BMP-fájl (", 0), 0u)
        << refusal.what << ": " << result.errorUtf8;
    EXPECT_NE(result.errorUtf8.find(refusal.reasonPart), std::string::npos)
        << refusal.what << ": " << result.errorUtf8;
  }
}

class BmpFile : public testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           ("morvane_bmp_" + std::to_string(::getpid()) + "_" +
            testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override {
    std::error_code ignored;
    std::filesystem::permissions(dir_ / "fal.bmp", std::filesystem::perms::owner_all, ignored);
    std::filesystem::remove_all(dir_, ignored);
  }
  std::string write(const Bytes& bytes) {
    const auto path = dir_ / "fal.bmp";
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                               static_cast<std::streamsize>(bytes.size()));
    return path.string();
  }
  std::filesystem::path dir_;
};

TEST_F(BmpFile, MissingFileOrFolderIsNotFound) {
  const std::string missing = (dir_ / "nincs.bmp").string();
  BmpResult result = readBmpFile(missing);
  EXPECT_FALSE(result.ok);
  EXPECT_EQ(result.errorUtf8, missing + " nem található!");

  result = readBmpFile(dir_.string());
  EXPECT_FALSE(result.ok);
  EXPECT_EQ(result.errorUtf8, dir_.string() + " nem található!");
}

TEST_F(BmpFile, ReadOnlyFileIsReadAndLeftUnchanged) {
  const Bytes bytes = makeBmp(4, 1, 24, {}, {10, 20, 30, 0, 0, 0, 1, 1, 1, 2, 2, 2});
  const std::string path = write(bytes);
  std::filesystem::permissions(path, std::filesystem::perms::owner_read);
  const BmpResult result = readBmpFile(path);
  ASSERT_TRUE(result.ok) << result.errorUtf8;
  EXPECT_EQ(result.image.pixels[0], 30);
  EXPECT_EQ(std::filesystem::file_size(path), bytes.size());
}

TEST_F(BmpFile, BadContentIsRefusedUnderTheGivenPath) {
  const std::string path = write(Bytes(30, 'B'));
  const BmpResult result = readBmpFile(path);
  EXPECT_FALSE(result.ok);
  EXPECT_EQ(result.errorUtf8, path + ": hibás vagy nem támogatott BMP-fájl (csonka fejléc)");
}

}  // namespace
}  // namespace morvane
