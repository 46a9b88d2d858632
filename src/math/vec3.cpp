#include "math/vec3.h"

#include <cmath>

namespace morvane {

float length(float x, float y, float z) {
  const float sum = x * x + y * y + z * z;
  return static_cast<float>(std::sqrt(static_cast<double>(sum)));
}

}  // namespace morvane
