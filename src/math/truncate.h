#pragma once
#include <cstdint>
#include <limits>

namespace morvane {

// Truncation toward zero as the x86 conversion instruction does it: a value outside the int
// range (or NaN) gives INT_MIN instead of undefined behaviour.
inline int32_t truncateToInt(double value) {
  if (!(value > -2147483649.0 && value < 2147483648.0)) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(value);
}

}  // namespace morvane
