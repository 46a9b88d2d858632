#include <gtest/gtest.h>

#include <cmath>

#include "math/angle_tables.h"
#include "render/sphere_mesh.h"

namespace morvane {
namespace {

TEST(SphereMesh, PolesSeamAndUnitRadius) {
  const SphereMesh mesh = buildSphereMesh();
  for (int j = 0; j < sphereSegments; ++j) {
    EXPECT_EQ(mesh[0][j], (Vec3{0.0f, 1.0f, 0.0f})) << j;
    EXPECT_NEAR(mesh[10][j].y, -1.0f, 1e-6f);
    EXPECT_NEAR(mesh[10][j].x, 0.0f, 1e-3f);
    EXPECT_NEAR(mesh[10][j].z, 0.0f, 1e-3f);
  }
  for (int i = 0; i < sphereRings; ++i) {
    EXPECT_NEAR(mesh[i][10].x, mesh[i][0].x, 1e-3f) << i;
    EXPECT_NEAR(mesh[i][10].y, mesh[i][0].y, 1e-6f) << i;
    EXPECT_NEAR(mesh[i][10].z, mesh[i][0].z, 1e-3f) << i;
    for (int j = 0; j < sphereSegments; ++j) EXPECT_NEAR(length(mesh[i][j]), 1.0f, 2e-3f);
  }
  EXPECT_EQ(buildSphereMesh(), mesh);  // rebuilding at every set-up gives the same table
}

TEST(SphereMesh, PointUsesTableSinesWithTheRightSigns) {
  float x = 0, y = 0, z = 0;
  spherePoint(x, y, z, 2.0f, 0.5f, 1.0f);
  // (0, r, 0) turned in (y, z) by the polar angle, then in (x, z) by the azimuth.
  const float y1 = 2.0f * fastCos(0.5f);
  const float z1 = 2.0f * fastSin(0.5f);
  EXPECT_EQ(y, y1);
  EXPECT_FLOAT_EQ(x, -z1 * fastSin(1.0f));
  EXPECT_FLOAT_EQ(z, z1 * fastCos(1.0f));
  EXPECT_LT(x, 0.0f);
  EXPECT_GT(z, 0.0f);
}

}  // namespace
}  // namespace morvane
