#include <gtest/gtest.h>

#include <cmath>

#include "math/angle_tables.h"
#include "math/random.h"
#include "math/rotation.h"
#include "math/vec3.h"

namespace morvane {
namespace {

float entry(int i) { return sineTable()[i]; }

TEST(Math, TableSineTruncatesTowardZeroWrapsAndStaysInTheTable) {
  EXPECT_EQ(entry(300), static_cast<float>(std::sin(300 * 0.001745329251)));
  EXPECT_EQ(fastSin(0.0f), 0.0f);
  EXPECT_EQ(fastSin(1.5707964f), 1.0f);      // 900.02 -> entry 900
  EXPECT_EQ(fastSin(-0.01f), entry(3595));   // -5.73 -> -5 -> 3595
  EXPECT_EQ(fastSin(6.2831855f), entry(0));  // 3600.08 -> remainder 0
  EXPECT_EQ(fastCos(0.0f), entry(900));
  EXPECT_EQ(fastSin(0.01f), entry(5));    // 0.5 degree...
  EXPECT_EQ(fastCos(0.01f), entry(894));  // ...but the cosine of 0.6 degree
  for (float v : {1e30f, -1e30f, INFINITY, NAN}) EXPECT_LE(std::fabs(fastSin(v)), 1.0f);
}

TEST(Math, VectorArithmeticRoundsLikeFloats) {
  EXPECT_EQ(length(3.0f, 4.0f, 0.0f), 5.0f);
  EXPECT_EQ(length(10000.0f, 1.0f, 0.0f), 10000.0f);  // the sum is formed in float first
  EXPECT_EQ(cross(Vec3{1, 0, 0}, Vec3{0, 1, 0}), (Vec3{0, 0, 1}));
  const Vec3 d = Vec3{10.0f, 1.0f, 7.0f} / 3.0f;  // three divisions, not one reciprocal
  EXPECT_EQ(d.x, 10.0f / 3.0f);
  EXPECT_EQ(d.z, 7.0f / 3.0f);
}

TEST(Math, RotationsUseTheTableAndTheTransposedAxisForm) {
  float a = 3.25f, b = -7.5f;
  rotate2D(a, b, a, b, 0.0f);
  EXPECT_EQ(a, 3.25f);
  EXPECT_EQ(b, -7.5f);
  rotate2D(a, b, 1.0f, 0.0f, 0.5f);
  EXPECT_EQ(a, fastCos(0.5f));
  EXPECT_EQ(b, fastSin(0.5f));

  Vec3 v{1, 0, 0};
  rotateAboutAxis(Vec3{0, 0, 1}, v, 0.1f);
  EXPECT_EQ(v, (Vec3{fastCos(0.1f), -fastSin(0.1f), 0.0f}));
  Vec3 p{3, -4, 5}, q{3, -4, 5};
  rotateAboutAxis(Vec3{0, 0, 1}, p, 0.7f);
  rotateAboutAxis(Vec3{0, 0, 2}, q, 0.7f);
  EXPECT_EQ(p, q);
}

TEST(Math, SolverFindsTheSolutionOrLeavesTheOutputsAlone) {
  float x = 0, y = 0, z = 0;
  EXPECT_TRUE(solveLinear3({1, 0, 0, -1, 0, 1, 0, -2, 0, 0, 1, -3}, x, y, z));
  EXPECT_EQ((Vec3{x, y, z}), (Vec3{1, 2, 3}));
  x = 7;
  EXPECT_FALSE(solveLinear3({1, 2, 3, 0, 1, 2, 3, 0, 0, 0, 1, 0}, x, y, z));
  EXPECT_EQ((Vec3{x, y, z}), (Vec3{7, 2, 3}));
}

TEST(Math, RandomFollowsTheClassicRecurrenceAndCoordinatesStayInRange) {
  Random r(1);
  EXPECT_EQ(r.next(), 41);  // the classic generator's first values for seed 1
  EXPECT_EQ(r.next(), 18467);
  for (int i = 0; i < 10000; ++i) {
    const float c = randomCoordinate(r, 480.0f);
    ASSERT_TRUE(c >= -480.0f && c < 480.0f);
  }
  const Random before = r;
  EXPECT_EQ(randomCoordinate(r, 0.25f), -0.25f);  // trunc(0.5) = 0: no draw at all
  EXPECT_EQ(r, before);
}

}  // namespace
}  // namespace morvane
