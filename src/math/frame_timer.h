#pragma once
// "No more often than once every so many milliseconds", on the game's tick counter.
// Time comes in as a value; only the platform layer reads the clock.
#include <cstdint>

namespace morvane {

struct FrameTimer {
  uint32_t startTicks = 0;
  uint32_t intervalMs = 0;  // 0: always due

  // Due when the interval is 0 or strictly more than it has passed (interval 2: due at +3).
  bool hasElapsed(uint32_t nowMs) const {
    return intervalMs == 0 || static_cast<uint32_t>(nowMs - startTicks) > intervalMs;
  }

  void restart(uint32_t nowMs, uint32_t newIntervalMs) {
    startTicks = nowMs;
    intervalMs = newIntervalMs;
  }
};

}  // namespace morvane
