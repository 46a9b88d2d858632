#include "math/random.h"

#include "math/truncate.h"

namespace morvane {

float randomCoordinate(Random& random, float h) {
  const int32_t m = truncateToInt(static_cast<double>(2.0f * h));
  int32_t r = 0;
  if (m != 0) {
    // The draw is never negative; the remainder keeps its sign, so it lies in 0..|m|-1.
    // INT_MIN (an overflowed 2h) is handled in 64 bits to keep the remainder defined.
    r = static_cast<int32_t>(static_cast<int64_t>(random.next()) % static_cast<int64_t>(m));
  }
  return static_cast<float>(r) - h;
}

}  // namespace morvane
