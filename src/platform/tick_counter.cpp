#include "platform/tick_counter.h"

namespace morvane {
namespace {

constexpr int64_t stepsPerSecond = 64;

int64_t elapsedMicroseconds(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

TickCounter::TickCounter() : start_(std::chrono::steady_clock::now()) {}

uint32_t TickCounter::nowMs() const {
  const int64_t steps = elapsedMicroseconds(start_) * stepsPerSecond / 1000000;
  return static_cast<uint32_t>(steps * 1000 / stepsPerSecond);
}

uint32_t TickCounter::msUntilNextStep() const {
  const int64_t us = elapsedMicroseconds(start_);
  const int64_t nextStepUs = (us * stepsPerSecond / 1000000 + 1) * 1000000 / stepsPerSecond;
  const int64_t waitMs = (nextStepUs - us + 999) / 1000;
  return static_cast<uint32_t>(waitMs < 1 ? 1 : waitMs);
}

}  // namespace morvane
