#pragma once
// The broad phase of the collision engine: every ball it holds filed by its 80-unit cell in a
// hashed table of buckets, with the positions kept alongside in three flat arrays so that a
// bucket's scan reads little memory. Kept up to date ball by ball: the live tick brings the
// whole table in at every pass (sync), a trial moves only the balls it steps.
#include <array>
#include <cmath>
#include <cstdint>

#include "world/ball.h"
#include "world/spatial_hash.h"

namespace morvane {

// Exact early rejection: when one axis differs by 40 or more, the float sum of squares is at
// least 1600 and its root at least 40, so the contact test would say no.
inline bool farApart(float ax, float ay, float az, float bx, float by, float bz) {
  const float dx = std::fabs(ax - bx), dy = std::fabs(ay - by), dz = std::fabs(az - bz);
  return (dx >= contactDistance) | (dy >= contactDistance) | (dz >= contactDistance);
}

class BallGrid {
 public:
  static constexpr int bucketCount = 4096;

  BallGrid() { clear(); }

  // Holds no ball.
  void clear();
  // Files the ball of slot at p; the slot must not be held.
  void insert(int slot, const Vec3& p);
  // Takes the slot out; it must be held.
  void remove(int slot);
  // The held ball of slot is now at p.
  void update(int slot, const Vec3& p);
  bool holds(int slot) const { return bucket_[slot] != noSlot; }
  // Holds exactly the active balls of the table, at their positions.
  void sync(const BallTable& balls);

  // Calls visit(t) for every other held ball t that may be in contact with a ball at p: every
  // ball within 40 of p on each axis, and no other. A ball is visited twice when two of the
  // cells looked at share a bucket; callers drop the repeated pairs.
  template <class Visit>
  void forEachNear(int slot, const Vec3& p, const Visit& visit) const {
    const int32_t x0 = cellOf(p.x - contactDistance), x1 = cellOf(p.x + contactDistance);
    const int32_t y0 = cellOf(p.y - contactDistance), y1 = cellOf(p.y + contactDistance);
    const int32_t z0 = cellOf(p.z - contactDistance), z1 = cellOf(p.z + contactDistance);
    for (int32_t cx = x0; cx <= x1; ++cx) {
      for (int32_t cy = y0; cy <= y1; ++cy) {
        for (int32_t cz = z0; cz <= z1; ++cz) {
          for (int t = head_[bucketOfCell(cx, cy, cz, bucketCount)]; t != noSlot; t = next_[t]) {
            if (t != slot && !farApart(p.x, p.y, p.z, x_[t], y_[t], z_[t])) visit(t);
          }
        }
      }
    }
  }

 private:
  static constexpr int16_t noSlot = -1;

  static int bucketOfPoint(const Vec3& p) {
    return bucketOfCell(cellOf(p.x), cellOf(p.y), cellOf(p.z), bucketCount);
  }
  void link(int slot, int bucket);
  void unlink(int slot);
  void store(int slot, const Vec3& p) {
    x_[slot] = p.x;
    y_[slot] = p.y;
    z_[slot] = p.z;
  }

  std::array<int16_t, bucketCount> head_;  // per bucket, the first slot of its list
  std::array<int16_t, ballCount> next_, prev_;
  std::array<int16_t, ballCount> bucket_;  // noSlot when not held
  std::array<float, ballCount> x_, y_, z_;
};

}  // namespace morvane
