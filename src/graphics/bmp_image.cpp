#include "graphics/bmp_image.h"


#include "io/little_endian.h"
#include "io/whole_file.h"

namespace morvane {
namespace {

constexpr uint64_t fileHeaderBytes = 14;
// BITMAPINFOHEADER; the later header versions only append fields, so the ones read here stay put.
constexpr uint64_t infoHeaderBytes = 40;
constexpr uint64_t paletteEntryBytes = 4;  // blue, green, red, reserved
constexpr uint64_t maxPaletteEntries = 256;
constexpr uint32_t uncompressed = 0;  // BI_RGB
// Far above any image within maxBmpPixels (at most 4 bytes per pixel with row padding), and
// small enough that a stray large file is refused before it is read into memory.
constexpr size_t maxFileBytes = 64 * 1024 * 1024;

BmpResult failure(std::string messageUtf8) {
  BmpResult result;
  result.errorUtf8 = std::move(messageUtf8);
  return result;
}

BmpResult refuse(const std::string& fileName, const std::string& reason) {
  return failure(fileName + ": hibás vagy nem támogatott BMP-fájl (" + reason + ")");
}

BmpResult notFound(const std::string& fileName) { return failure(fileName + " nem található!"); }

std::string sizeText(int64_t width, int64_t height) {
  return std::to_string(width) + " × " + std::to_string(height);
}

}  // namespace

BmpResult decodeBmp(std::span<const uint8_t> bytes, const std::string& fileName) {
  // Every offset below is checked against bytes.size() in 64-bit arithmetic before it is used;
  // no product of header fields can overflow 64 bits (each factor is below 2^32).
  const uint64_t fileSize = bytes.size();
  if (fileSize < fileHeaderBytes + infoHeaderBytes) return refuse(fileName, "csonka fejléc");
  if (bytes[0] != 'B' || bytes[1] != 'M') return refuse(fileName, "hiányzik a BM azonosító");

  const uint32_t pixelOffset = readU32(bytes, 10);
  const uint32_t infoSize = readU32(bytes, 14);
  const auto width = static_cast<int32_t>(readU32(bytes, 18));
  const auto storedHeight = static_cast<int32_t>(readU32(bytes, 22));
  const uint16_t bitsPerPixel = readU16(bytes, 28);
  const uint32_t compression = readU32(bytes, 30);
  const uint32_t coloursUsed = readU32(bytes, 46);

  if (infoSize < infoHeaderBytes) {
    return refuse(fileName, "ismeretlen fejléctípus (" + std::to_string(infoSize) + " bájt)");
  }
  const uint64_t headerEnd = fileHeaderBytes + infoSize;
  if (headerEnd > fileSize) return refuse(fileName, "csonka fejléc");

  // A negative height marks rows stored top row first; the output is bottom row first either way.
  const bool topDown = storedHeight < 0;
  const int64_t height = topDown ? -static_cast<int64_t>(storedHeight) : storedHeight;
  if (width <= 0 || height <= 0) {
    return refuse(fileName, "érvénytelen képméret: " + sizeText(width, storedHeight));
  }
  if (static_cast<int64_t>(width) * height > maxBmpPixels) {
    return refuse(fileName, "túl nagy kép: " + sizeText(width, height) +
                                " képpont, legfeljebb " + std::to_string(maxBmpPixels));
  }
  if (bitsPerPixel != 8 && bitsPerPixel != 24) {
    return refuse(fileName, "nem támogatott színmélység: " + std::to_string(bitsPerPixel) +
                                " bit, csak 8 vagy 24");
  }
  if (compression != uncompressed) {
    return refuse(fileName, "tömörített képadat (tömörítés: " + std::to_string(compression) + ")");
  }

  // The palette follows the information header; 0 entries recorded means the full 256.
  uint64_t paletteEntries = 0;
  if (bitsPerPixel == 8) {
    paletteEntries = coloursUsed == 0 ? maxPaletteEntries : coloursUsed;
    if (paletteEntries > maxPaletteEntries) {
      return refuse(fileName, "hibás palettaméret: " + std::to_string(coloursUsed) + " szín");
    }
    if (headerEnd + paletteEntries * paletteEntryBytes > fileSize) {
      return refuse(fileName, "csonka paletta");
    }
  }
  const uint64_t paletteEnd = headerEnd + paletteEntries * paletteEntryBytes;
  if (pixelOffset < paletteEnd || pixelOffset > fileSize) {
    return refuse(fileName, "a képadatok kezdete (" + std::to_string(pixelOffset) +
                                ". bájt) a fejlécen belül vagy a fájlon kívül esik");
  }

  // Rows are padded to a multiple of 4 bytes; the last row's padding may be missing.
  const uint64_t bytesPerPixel = bitsPerPixel / 8;
  const uint64_t rowBytes = static_cast<uint64_t>(width) * bytesPerPixel;
  const uint64_t rowStride = (rowBytes + 3) / 4 * 4;
  const uint64_t pixelBytes = rowStride * static_cast<uint64_t>(height - 1) + rowBytes;
  if (pixelBytes > fileSize - pixelOffset) return refuse(fileName, "csonka képadat");

  const uint8_t* palette = bytes.data() + headerEnd;
  RgbaImage image;
  image.width = width;
  image.height = static_cast<int32_t>(height);
  image.pixels.resize(static_cast<size_t>(width) * static_cast<size_t>(height) * 4);
  for (int64_t row = 0; row < height; ++row) {
    const int64_t fileRow = topDown ? height - 1 - row : row;
    const uint8_t* source = bytes.data() + pixelOffset + static_cast<uint64_t>(fileRow) * rowStride;
    uint8_t* target = image.pixels.data() + static_cast<size_t>(row) * static_cast<size_t>(width) * 4;
    for (int32_t x = 0; x < width; ++x, target += 4) {
      const uint8_t* bgr = nullptr;
      if (bitsPerPixel == 8) {
        const uint8_t index = source[x];
        if (index >= paletteEntries) {
          return refuse(fileName, "palettán kívüli színindex: " + std::to_string(index) +
                                      ", a paletta " + std::to_string(paletteEntries) + " színű");
        }
        bgr = palette + index * paletteEntryBytes;
      } else {
        bgr = source + static_cast<size_t>(x) * 3;
      }
      target[0] = bgr[2];
      target[1] = bgr[1];
      target[2] = bgr[0];
      // Pure black is the one see-through colour; (1, 1, 1) is as opaque as white.
      target[3] = (bgr[0] | bgr[1] | bgr[2]) != 0 ? 255 : 0;
    }
  }
  BmpResult result;
  result.ok = true;
  result.image = std::move(image);
  return result;
}

BmpResult readBmpFile(const std::string& path) {
  // Read-only, and non-blocking so that a FIFO under the texture's name cannot hang the start.
  std::vector<uint8_t> bytes;
  const WholeFile file = readWholeFile(path, maxFileBytes, bytes);
  switch (file.status) {
    case WholeFileStatus::ok: break;
    case WholeFileStatus::notFound: return notFound(path);
    case WholeFileStatus::tooLarge:
      return refuse(path, "túl nagy fájl: " + std::to_string(file.sizeAtOpen) + " bájt");
    case WholeFileStatus::unreadable: return failure(path + ": a fájl nem olvasható");
  }
  return decodeBmp(bytes, path);
}

}  // namespace morvane
