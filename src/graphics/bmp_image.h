#pragma once
// The wall texture's file reader: uncompressed 8-bit palettised or 24-bit BMP to RGBA pixels,
// pure black made transparent. Plain computation; the GL upload lives elsewhere.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace morvane {

// The most pixels an image may have: the texture upload's buffer holds this many RGBA pixels.
inline constexpr int64_t maxBmpPixels = 2'500'000;

// RGBA, 4 bytes per pixel (red, green, blue, alpha); rows from the bottom row of the picture
// (texture t = 0) upward, each row left to right. pixels.size() == width * height * 4.
struct RgbaImage {
  int32_t width = 0;
  int32_t height = 0;
  std::vector<uint8_t> pixels;
};

// Either a decoded image (ok) or a Hungarian message, in UTF-8, that names the file.
struct BmpResult {
  bool ok = false;
  RgbaImage image;
  std::string errorUtf8;
};

// Decodes a whole BMP file held in memory; fileNameUtf8 is only used in the messages.
BmpResult decodeBmp(std::span<const uint8_t> fileBytes, const std::string& fileNameUtf8);

// Reads the file (read-only) and decodes it. A missing or unopenable file gives exactly
// "<path> nem található!".
BmpResult readBmpFile(const std::string& path);

}  // namespace morvane
