#include <gtest/gtest.h>

#include "graphics/sphere_mesh.h"

namespace morvane {
namespace {

TEST(SphereMesh, PolesSeamUnitRadiusAndTurningSense) {
  const SphereMesh mesh = buildSphereMesh();
  for (int i = 0; i < sphereRings; ++i) {
    EXPECT_LT(length(mesh[i][10] - mesh[i][0]), 1e-3f) << i;
    for (int j = 0; j < sphereSegments; ++j) EXPECT_NEAR(length(mesh[i][j]), 1.0f, 2e-3f) << i << "," << j;
    EXPECT_EQ(mesh[0][i], (Vec3{0.0f, 1.0f, 0.0f})) << i;
    EXPECT_LT(length(mesh[10][i] - Vec3{0.0f, -1.0f, 0.0f}), 2e-3f) << i;
  }
  // Polar angle from +y towards +z, then azimuth from +z towards -x (36 degrees a column).
  EXPECT_LT(length(mesh[5][0] - Vec3{0.0f, 0.0f, 1.0f}), 2e-3f);
  EXPECT_LT(length(mesh[5][1] - Vec3{-0.5878f, 0.0f, 0.8090f}), 2e-3f);
  EXPECT_LT(length(mesh[2][0] - Vec3{0.0f, 0.8090f, 0.5878f}), 2e-3f);
  EXPECT_EQ(buildSphereMesh(), mesh);  // rebuilding at every set-up gives the same table
}

}  // namespace
}  // namespace morvane
