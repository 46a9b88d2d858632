#pragma once
// The game's clock: a monotonic millisecond count that advances in steps of 1000/64 ms, like
// the classic system tick counter. All game speeds are tuned to one tick per step.
#include <chrono>
#include <cstdint>

namespace morvane {

class TickCounter {
 public:
  TickCounter();
  // Milliseconds since start, rounded down to the last 15.625 ms step.
  uint32_t nowMs() const;
  // Real milliseconds until the counter's next step (at least 1).
  uint32_t msUntilNextStep() const;

 private:
  std::chrono::steady_clock::time_point start_;
};

}  // namespace morvane
