#include "math/angle_tables.h"

#include <array>
#include <cmath>

#include "math/truncate.h"

namespace morvane {
namespace {

struct SineTable {
  std::array<float, sineTableSize> entries{};
  SineTable() {
    const double step = 0.001745329251;  // a tenth of a degree in radians
    for (int i = 0; i < sineTableSize; ++i) entries[i] = static_cast<float>(std::sin(i * step));
  }
};

// Built during static initialisation; the function-local static also makes it safe to call
// from another translation unit's static initialiser.
const SineTable& table() {
  static const SineTable built;
  return built;
}
[[maybe_unused]] const SineTable& builtAtStart = table();

}  // namespace

const float* sineTable() { return table().entries.data(); }

float fastSin(float x) {
  // 572.97 is deliberately not 1800/pi: the table angle runs about 0.002 % ahead.
  int n = truncateToInt(static_cast<double>(x) * 572.97);
  n %= 3600;
  if (n < 0) n += 3600;
  return table().entries[n];
}

float fastCos(float x) {
  return fastSin(static_cast<float>(1.570796326 - static_cast<double>(x)));
}

}  // namespace morvane
