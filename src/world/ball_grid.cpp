#include "world/ball_grid.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>

namespace morvane {
namespace {

constexpr float withdrawn = std::numeric_limits<float>::infinity();  // far from every point
// A little over twice the contact distance: a query's reach of 80 meets 2 cells a side, and
// only rarely 3, where rounding widens it.
constexpr float cellSize = 81.0f;
constexpr float maxFloatCell = std::numeric_limits<float>::max();

bool samePosition(float x, float y, float z, const Vec3& p) {
  return std::bit_cast<uint32_t>(x) == std::bit_cast<uint32_t>(p.x) &&
         std::bit_cast<uint32_t>(y) == std::bit_cast<uint32_t>(p.y) &&
         std::bit_cast<uint32_t>(z) == std::bit_cast<uint32_t>(p.z);
}

}  // namespace

void BallGrid::clear() {
  entryCount_ = 0;
  moverCount_ = 0;
  origin_ = F4{};
  inverseCell_ = 1.0f / cellSize - F4{};
  lastCell_ = F4{};
  dimX_ = dimY_ = 1;
  start_[0] = start_[1] = 0;
  ex_.fill(withdrawn);
  ey_.fill(withdrawn);
  ez_.fill(withdrawn);
  mx_.fill(withdrawn);
  my_.fill(withdrawn);
  mz_.fill(withdrawn);
  entrySlot_.fill(none);
  moverSlot_.fill(none);
  entryOf_.fill(none);
  moverOf_.fill(none);
  slotEntry_.fill(none);
}

void BallGrid::rebuild(const BallTable& balls) {
  std::array<int16_t, ballCount> slots;
  int n = 0;
  for (int s = 0; s < ballCount; ++s) {
    if (balls[s].active != 0) slots[n++] = static_cast<int16_t>(s);
  }
  entryOf_.fill(none);
  slotEntry_.fill(none);
  moverOf_.fill(none);
  snapshot(balls, slots.data(), n);
}

void BallGrid::refresh(const BallTable& balls) {
  std::array<int16_t, ballCount> slots;
  int n = 0;
  for (int e = 0; e < entryCount_; ++e) {
    const int s = entrySlot_[e];
    if (entryOf_[s] == e) slots[n++] = static_cast<int16_t>(s);
    entryOf_[s] = slotEntry_[s] = none;
  }
  for (int m = 0; m < moverCount_; ++m) {
    const int s = moverSlot_[m];
    slots[n++] = static_cast<int16_t>(s);
    moverOf_[s] = none;
  }
  snapshot(balls, slots.data(), n);
}

// The given balls (each held once, the others forgotten already) sorted into a new snapshot.
void BallGrid::snapshot(const BallTable& balls, const int16_t* slots, int n) {
  moverCount_ = 0;
  if (n == 0) {
    clear();
    return;
  }
  // The bounding box of the finite coordinates; a ball with another touches nothing, so its
  // cell does not matter.
  std::array<F4, ballCount> positions;
  const F4 largest = std::numeric_limits<float>::max() - F4{};
  F4 lo = withdrawn - F4{}, hi = -withdrawn - F4{};
  for (int k = 0; k < n; ++k) {
    const Vec3& p = balls[slots[k]].position;
    const F4 c = {p.x, p.y, p.z, 0.0f};
    const I4 finite = (c <= largest) & (c >= -largest);
    lo = (finite & (c < lo)) ? c : lo;
    hi = (finite & (c > hi)) ? c : hi;
    positions[k] = c;
  }
  entryCount_ = n;
  int dim[3];
  for (int a = 0; a < 3; ++a) {
    if (!(lo[a] <= hi[a])) lo[a] = hi[a] = 0.0f;  // no finite coordinate on this axis
    const float extent = hi[a] - lo[a];          // may round up, or overflow to infinity
    const float cell = std::isfinite(extent) ? std::max(cellSize, extent / (maxCellsPerAxis - 1)) : maxFloatCell;
    origin_[a] = lo[a];
    inverseCell_[a] = 1.0f / cell;
    lastCell_[a] = maxCellsPerAxis - 1;
    dim[a] = keysOf(hi)[a] + 1;
  }
  lastCell_ = F4{static_cast<float>(dim[0] - 1), static_cast<float>(dim[1] - 1), static_cast<float>(dim[2] - 1), 0.0f};
  dimX_ = dim[0];
  dimY_ = dim[1];
  const int cells = dim[0] * dim[1] * dim[2];

  // Counting sort by cell.
  std::array<int, ballCount> key;
  std::fill(start_.begin(), start_.begin() + cells + 1, 0);
  for (int k = 0; k < n; ++k) {
    const I4 keys = keysOf(positions[k]);
    key[k] = keys[0] + dimX_ * (keys[1] + dimY_ * keys[2]);
    ++start_[key[k] + 1];
  }
  for (int c = 0; c < cells; ++c) start_[c + 1] += start_[c];
  std::array<int, cellTableSize> fill;
  std::copy(start_.begin(), start_.begin() + cells, fill.begin());
  for (int k = 0; k < n; ++k) {
    const int e = fill[key[k]]++;
    const int s = slots[k];
    ex_[e] = snapshotX_[e] = positions[k][0];
    ey_[e] = positions[k][1];
    ez_[e] = positions[k][2];
    entrySlot_[e] = static_cast<int16_t>(s);
    entryOf_[s] = slotEntry_[s] = static_cast<int16_t>(e);
  }
}

void BallGrid::update(int slot, const Vec3& p) {
  const int e = slotEntry_[slot];
  if (e != none && samePosition(snapshotX_[e], ey_[e], ez_[e], p)) {
    // Back where the snapshot has it (a trial putting its table back).
    ex_[e] = snapshotX_[e];
    entryOf_[slot] = static_cast<int16_t>(e);
    dropMover(slot);
    return;
  }
  if (entryOf_[slot] != none) {
    ex_[entryOf_[slot]] = withdrawn;
    entryOf_[slot] = none;
  }
  int m = moverOf_[slot];
  if (m == none) {
    m = moverCount_++;
    moverOf_[slot] = static_cast<int16_t>(m);
    moverSlot_[m] = static_cast<int16_t>(slot);
  }
  mx_[m] = p.x;
  my_[m] = p.y;
  mz_[m] = p.z;
}

void BallGrid::remove(int slot) {
  if (entryOf_[slot] != none) {
    ex_[entryOf_[slot]] = withdrawn;
    entryOf_[slot] = none;
  }
  dropMover(slot);
}

void BallGrid::dropMover(int slot) {
  const int m = moverOf_[slot];
  if (m == none) return;
  const int last = --moverCount_;
  mx_[m] = mx_[last];
  my_[m] = my_[last];
  mz_[m] = mz_[last];
  moverSlot_[m] = moverSlot_[last];
  moverOf_[moverSlot_[m]] = static_cast<int16_t>(m);
  moverOf_[slot] = none;
}

}  // namespace morvane
