#pragma once
// The game's one random generator: the classic rand() recurrence, values 0..32767.
// A copyable value, so a search can draw ahead and rewind. Never the C library's rand().
#include <cstdint>

namespace morvane {

class Random {
 public:
  static constexpr int maxValue = 32767;

  explicit Random(uint32_t seed = 1) : state_(seed) {}

  int next() {
    state_ = state_ * 214013u + 2531011u;
    return static_cast<int>((state_ >> 16) & 0x7FFFu);
  }

  uint32_t state() const { return state_; }
  friend bool operator==(const Random&, const Random&) = default;

 private:
  uint32_t state_;
};

// A float in -h <= value < h from one draw: (draw mod trunc(2h)) - h; no draw when trunc(2h) is 0.
float randomCoordinate(Random& random, float h);

}  // namespace morvane
