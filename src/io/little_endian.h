#pragma once
// Little-endian integers inside a file's bytes, for the image and sound readers. The caller has
// checked that the bytes at [at, at + 2) or [at, at + 4) exist.
#include <cstddef>
#include <cstdint>
#include <span>

namespace morvane {

inline uint16_t readU16(std::span<const uint8_t> bytes, size_t at) {
  return static_cast<uint16_t>(bytes[at] | (bytes[at + 1] << 8));
}

inline uint32_t readU32(std::span<const uint8_t> bytes, size_t at) {
  return static_cast<uint32_t>(bytes[at]) | (static_cast<uint32_t>(bytes[at + 1]) << 8) |
         (static_cast<uint32_t>(bytes[at + 2]) << 16) | (static_cast<uint32_t>(bytes[at + 3]) << 24);
}

}  // namespace morvane
