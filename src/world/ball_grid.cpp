#include "world/ball_grid.h"

namespace morvane {

void BallGrid::clear() {
  head_.fill(noSlot);
  bucket_.fill(noSlot);
}

void BallGrid::link(int slot, int bucket) {
  bucket_[slot] = static_cast<int16_t>(bucket);
  prev_[slot] = noSlot;
  next_[slot] = head_[bucket];
  if (head_[bucket] != noSlot) prev_[head_[bucket]] = static_cast<int16_t>(slot);
  head_[bucket] = static_cast<int16_t>(slot);
}

void BallGrid::unlink(int slot) {
  if (prev_[slot] != noSlot) {
    next_[prev_[slot]] = next_[slot];
  } else {
    head_[bucket_[slot]] = next_[slot];
  }
  if (next_[slot] != noSlot) prev_[next_[slot]] = prev_[slot];
  bucket_[slot] = noSlot;
}

void BallGrid::insert(int slot, const Vec3& p) {
  store(slot, p);
  link(slot, bucketOfPoint(p));
}

void BallGrid::remove(int slot) { unlink(slot); }

void BallGrid::update(int slot, const Vec3& p) {
  store(slot, p);
  const int bucket = bucketOfPoint(p);
  if (bucket == bucket_[slot]) return;
  unlink(slot);
  link(slot, bucket);
}

void BallGrid::sync(const BallTable& balls) {
  for (int s = 0; s < ballCount; ++s) {
    const Ball& ball = balls[s];
    if (ball.active != 0) {
      if (holds(s)) {
        update(s, ball.position);
      } else {
        insert(s, ball.position);
      }
    } else if (holds(s)) {
      remove(s);
    }
  }
}

}  // namespace morvane
