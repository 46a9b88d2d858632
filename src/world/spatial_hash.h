#pragma once
// Cells of about 80 units along each axis, shared by the ball grid (which balls may touch) and
// the pocket finder (which pockets may hold a point). Both only need the cell of a coordinate to
// never decrease as the coordinate grows: a range [a, b] then lies in the cells cellOf(a) to
// cellOf(b), so looking there finds everything the exact tests could accept. Where a boundary
// falls exactly, and whether distinct cells share a bucket, only changes speed, never a result.
#include <cstdint>

namespace morvane {

constexpr float hashCellSize = 80.0f;
constexpr int32_t hashCellLimit = 1 << 20;  // far-away or non-finite coordinates are clamped

// The cell index of one coordinate: floor(coordinate / 80), computed with a multiplication by a
// rounded 1/80 (monotonic, which is all that matters) and clamped to +-2^20 (NaN to the low end).
inline int32_t cellOf(float coordinate) {
  const float c = coordinate * (1.0f / hashCellSize);
  if (!(c > -static_cast<float>(hashCellLimit))) return -hashCellLimit;
  if (c >= static_cast<float>(hashCellLimit)) return hashCellLimit;
  const auto t = static_cast<int32_t>(c);  // towards zero
  return t - (static_cast<float>(t) > c ? 1 : 0);
}

// The bucket of a cell in a table of bucketCount entries (a power of two).
inline int bucketOfCell(int32_t cx, int32_t cy, int32_t cz, int bucketCount) {
  const uint32_t h = static_cast<uint32_t>(cx) * 73856093u ^ static_cast<uint32_t>(cy) * 19349663u ^
                     static_cast<uint32_t>(cz) * 83492791u;
  return static_cast<int>(h & static_cast<uint32_t>(bucketCount - 1));
}

}  // namespace morvane
