#pragma once
// The table of unit-sphere points every ball is drawn from; each point is also its normal.
#include <array>

#include "math/vec3.h"

namespace morvane {

constexpr int sphereRings = 11;  // i: angle from +y, 0..10 (poles at 0 and 10)
constexpr int sphereSegments = 11;  // j: angle around y, 0..10 (column 10 closes onto column 0)

using SphereMesh = std::array<std::array<Vec3, sphereSegments>, sphereRings>;

// (0, radius, 0) turned by polar in the (y, z) plane, then by azimuth in the (x, z) plane,
// with the table sine and cosine.
void spherePoint(float& outX, float& outY, float& outZ, float radius, float polar, float azimuth);

// Fills the 11 x 11 table: polar i x pi/10, azimuth j x 2pi/10, radius 1.
SphereMesh buildSphereMesh();

}  // namespace morvane
