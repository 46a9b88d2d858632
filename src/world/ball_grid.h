#pragma once
// The broad phase of the collision engine. It holds the active balls in two parts:
//  - a snapshot: the balls sorted by their cell (cells of 81 units or more, at most 16 a side,
//    numbered densely over the snapshot's bounding box, x fastest), with their positions in
//    flat arrays, so that the balls of neighbouring cells along x lie in one run of memory;
//  - the movers: the balls that have moved (or come back) since the snapshot, in a short list.
// A query scans at most 2 x 2 runs of the snapshot and the whole mover list, a fixed number of
// lanes at a time with few branches. The live tick takes a new snapshot at every pass (all balls
// move); a trial takes one per trial and lets the few balls it steps become movers, until there
// are so many that a new snapshot is cheaper.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "world/ball.h"
#include "world/lanes.h"

namespace morvane {

class BallGrid {
 public:
  static constexpr int maxCellsPerAxis = 16;  // a wider snapshot gets cells wider than 80
  static constexpr int maxMovers = 16;        // more movers than this: take a new snapshot

  BallGrid() { clear(); }

  // Holds no ball.
  void clear();
  // Holds exactly the active balls of the table, all in a new snapshot.
  void rebuild(const BallTable& balls);
  // The balls it holds, all in a new snapshot at their positions in the table: rebuild for an
  // owner that has told the grid of every change (cost in proportion to the balls held).
  void refresh(const BallTable& balls);
  // The active ball of slot is now at p (held or not before).
  void update(int slot, const Vec3& p);
  // The ball of slot is no longer held (a no-op if it was not).
  void remove(int slot);
  int moverCount() const { return moverCount_; }
  // Entries of the snapshot, withdrawn ones included.
  int entryCount() const { return entryCount_; }

  // Calls visit(t) for held balls t other than slot, among them every one within 40 of p on
  // each axis (a ball may be visited twice, once from the snapshot and once as a mover, and a
  // stale or far one now and then: callers test contact exactly and drop repeated pairs).
  template <class Visit>
  void forEachNear(int slot, const Vec3& p, const Visit& visit) const {
    query<false>(slot, p, visit);
  }

  // Calls visit(s, t) for pairs of balls of a snapshot that nothing has been moved in or
  // removed from since it was taken, among them every pair within 40 of each other on each
  // axis, each pair once: each entry in snapshot order asks as forEachNear does (the box test
  // is symmetric), but only about the entries after its own. Neighbouring entries ask about
  // neighbouring memory.
  template <class Visit>
  void forEachNearPair(const Visit& visit) const {
    for (int e = 0; e < entryCount_; ++e) {
      const int s = entrySlot_[e];
      query<true>(s, Vec3{ex_[e], ey_[e], ez_[e]}, [&](int t) { visit(s, t); });
    }
  }

 private:
  static constexpr int16_t none = -1;
  static constexpr int cellTableSize = maxCellsPerAxis * maxCellsPerAxis * maxCellsPerAxis;

  template <bool laterOnly, class Visit>
  void query(int slot, const Vec3& p, const Visit& visit) const {
    const F4 centre = {p.x, p.y, p.z, 0.0f};
    const int selfEntry = entryOf_[slot];  // the querying ball is skipped by its entry index
    // Later entries only: every run starts after the ball's own entry, which leaves the runs
    // of rows before its row empty and needs no lane test for the ball itself.
    const int firstEntry = laterOnly ? selfEntry + 1 : 0;
    if (entryCount_ > 0) {
      const I4 lo = keysOf(centre - contactDistance), hi = keysOf(centre + contactDistance);
      const I4 span = hi - lo;
      if (span[1] <= 1 && span[2] <= 1) {
        // The usual case, 2 x 2 runs (fewer at the snapshot's edges): four runs scanned
        // unconditionally, an empty one costing one round of lanes and no branch.
        const int rowLo = dimX_ * (lo[1] + dimY_ * lo[2]), rowHi = dimX_ * (hi[1] + dimY_ * hi[2]);
        const int rows[4] = {rowLo, rowLo + dimX_ * span[1], rowLo + dimX_ * dimY_ * span[2], rowHi};
        const bool distinct[4] = {true, span[1] != 0, span[2] != 0, span[1] != 0 && span[2] != 0};
        int begins[4], ends[4], total = 0;
        for (int r = 0; r < 4; ++r) {
          begins[r] = std::max(start_[rows[r] + lo[0]], firstEntry);
          ends[r] = distinct[r] ? std::max(start_[rows[r] + hi[0] + 1], begins[r]) : begins[r];
          total += ends[r] - begins[r];
        }
        // Else nothing but the ball itself: open space.
        if (total > (!laterOnly && selfEntry != none ? 1 : 0)) {
          for (int r = 0; r < 4; ++r) {
            scan<laterOnly>(begins[r], ends[r], ex_.data(), ey_.data(), ez_.data(), entrySlot_.data(), selfEntry,
                            centre, visit);
          }
        }
      } else {
        for (int kz = lo[2]; kz <= hi[2]; ++kz) {
          for (int ky = lo[1]; ky <= hi[1]; ++ky) {
            const int row = dimX_ * (ky + dimY_ * kz);
            const int begin = std::max(start_[row + lo[0]], firstEntry);
            scan<laterOnly>(begin, std::max(start_[row + hi[0] + 1], begin), ex_.data(), ey_.data(), ez_.data(),
                            entrySlot_.data(), selfEntry, centre, visit);
          }
        }
      }
    }
    if constexpr (laterOnly) return;  // no movers
    const int selfMover = moverOf_[slot];
    if (moverCount_ > 1 || (moverCount_ == 1 && selfMover != 0)) {
      scan<false>(0, moverCount_, mx_.data(), my_.data(), mz_.data(), moverSlot_.data(), selfMover, centre, visit);
    }
  }

  static F4 load(const float* at) {
    F4 v;
    std::memcpy(&v, at, sizeof v);
    return v;
  }

  // Lanes e .. e + 3 of a run at a time, the first round unconditional, so that the short runs
  // (almost all of them) cost no branch that depends on their length. A lane is near unless
  // farApart would say far (the same float subtraction, absolute value and comparisons); the
  // entry of index self (the querying ball's own) is skipped unless the run lies after it.
  template <bool afterSelf, class Visit>
  static void scan(int begin, int end, const float* xs, const float* ys, const float* zs, const int16_t* slots,
                   int self, const F4& centre, const Visit& visit) {
    const F4 px = centre[0] - F4{}, py = centre[1] - F4{}, pz = centre[2] - F4{};
    const F4 reach = contactDistance - F4{};
    const I4 magnitude = 0x7fffffff - I4{};
    int e = begin;
    do {
      const F4 dx = (F4)((I4)(load(xs + e) - px) & magnitude);
      const F4 dy = (F4)((I4)(load(ys + e) - py) & magnitude);
      const F4 dz = (F4)((I4)(load(zs + e) - pz) & magnitude);
      const I4 index = I4{0, 1, 2, 3} + e;
      I4 near = ~((dx >= reach) | (dy >= reach) | (dz >= reach)) & (index < end);
      if constexpr (!afterSelf) near &= index != self;
      for (unsigned hits = laneMask(near); hits != 0; hits &= hits - 1) visit(slots[e + __builtin_ctz(hits)]);
      e += lanes;
    } while (e < end);
  }

  static unsigned laneMask(I4 lanesSet) {
#if defined(__SSE__)
    return static_cast<unsigned>(__builtin_ia32_movmskps((F4)lanesSet));
#else
    return (lanesSet[0] & 1u) | (lanesSet[1] & 2u) | (lanesSet[2] & 4u) | (lanesSet[3] & 8u);
#endif
  }

  // The snapshot's cell of a point on each axis: (coordinate - origin) / cell size, truncated
  // and clamped to the axis. It never decreases as the coordinate grows, which is all that the
  // queries need; NaN goes to cell 0. Entries and queries use this one function.
  I4 keysOf(F4 c) const {
    F4 t = (c - origin_) * inverseCell_;
    t = t > 0.0f ? t : F4{};
    t = t < lastCell_ ? t : lastCell_;
    return __builtin_convertvector(t, I4);
  }
  void dropMover(int slot);
  void snapshot(const BallTable& balls, const int16_t* slots, int n);

  // The snapshot, sorted by cell; padded by `lanes` unused entries at the end.
  int entryCount_ = 0;
  F4 origin_{}, inverseCell_{}, lastCell_{};
  int dimX_ = 1, dimY_ = 1;
  std::array<int, cellTableSize + 1> start_{};  // per cell, its first entry; then the end
  std::array<float, ballCount + lanes> ex_{}, ey_{}, ez_{};
  std::array<float, ballCount> snapshotX_{};  // ex_ before the entry was withdrawn
  std::array<int16_t, ballCount + lanes> entrySlot_{};
  std::array<int16_t, ballCount> entryOf_{};    // none: no valid entry
  std::array<int16_t, ballCount> slotEntry_{};  // the slot's entry, valid or withdrawn; none if absent

  // The movers, with their current positions; padded like the snapshot.
  int moverCount_ = 0;
  std::array<float, ballCount + lanes> mx_{}, my_{}, mz_{};
  std::array<int16_t, ballCount + lanes> moverSlot_{};
  std::array<int16_t, ballCount> moverOf_{};
};

}  // namespace morvane
