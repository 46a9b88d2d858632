#pragma once
// Cells of 80 units for finding touching balls: a ball's contact range [x - 40, x + 40] meets
// two cells per axis (three only where rounding at huge coordinates widens it). Distinct cells
// may share a bucket; the exact contact test filters them out, so the bucket count only
// changes speed, never a result.
#include <cmath>
#include <cstdint>

namespace morvane {

constexpr float hashCellSize = 80.0f;
constexpr int32_t hashCellLimit = 1 << 20;  // far-away or non-finite coordinates are clamped

// The cell index of one coordinate.
inline int32_t cellOf(float coordinate) {
  const float c = std::floor(coordinate / hashCellSize);
  if (!(c > -hashCellLimit)) return -hashCellLimit;  // also NaN
  if (c > hashCellLimit) return hashCellLimit;
  return static_cast<int32_t>(c);
}

// The bucket of a cell in a table of bucketCount entries (a power of two).
inline int bucketOfCell(int32_t cx, int32_t cy, int32_t cz, int bucketCount) {
  const uint32_t h = static_cast<uint32_t>(cx) * 73856093u ^ static_cast<uint32_t>(cy) * 19349663u ^
                     static_cast<uint32_t>(cz) * 83492791u;
  return static_cast<int>(h & static_cast<uint32_t>(bucketCount - 1));
}

}  // namespace morvane
