#include <gtest/gtest.h>

#include "math/angle_tables.h"
#include "math/random.h"
#include "math/rotation.h"
#include "math/vec3.h"

namespace morvane {
namespace {

TEST(Vec3, ArithmeticRoundsEachComponentToFloat) {
  EXPECT_EQ(length(3.0f, 4.0f, 0.0f), 5.0f);
  EXPECT_EQ(cross(Vec3{1, 0, 0}, Vec3{0, 1, 0}), (Vec3{0, 0, 1}));
  EXPECT_EQ(dot(Vec3{1, 2, 3}, Vec3{4, 5, 6}), 32.0f);
  // Division is three divisions: 1/3 computed as 1 * (1/3) would differ in the last bit for 10/3.
  const Vec3 d = Vec3{10.0f, 1.0f, 7.0f} / 3.0f;
  EXPECT_EQ(d.x, 10.0f / 3.0f);
  EXPECT_EQ(d.z, 7.0f / 3.0f);
  Vec3 v{1, 2, 3};
  const Vec3 copy = (v *= 2.0f);
  EXPECT_EQ(copy, (Vec3{2, 4, 6}));
  EXPECT_EQ(2.0f * Vec3(1, 2, 3), Vec3(1, 2, 3) * 2.0f);
}

TEST(Vec3, LengthSumsInFloatBeforeTheRoot) {
  // 1e8 + 1 is not representable in float: the sum loses the 1 before the root is taken.
  EXPECT_EQ(length(10000.0f, 1.0f, 0.0f), 10000.0f);
}

TEST(Rotation, Rotate2DByZeroLeavesThePairAlone) {
  float a = 3.25f, b = -7.5f;
  rotate2D(a, b, a, b, 0.0f);
  EXPECT_EQ(a, 3.25f);
  EXPECT_EQ(b, -7.5f);
}

TEST(Rotation, Rotate2DTurnsCounterClockwiseWithTableValues) {
  float a = 0, b = 0;
  rotate2D(a, b, 1.0f, 0.0f, 0.5f);
  EXPECT_EQ(a, fastCos(0.5f));
  EXPECT_EQ(b, fastSin(0.5f));
}

TEST(Rotation, AboutAxisIsTheTransposedFormAndIgnoresAxisLength) {
  Vec3 v{1, 0, 0};
  rotateAboutAxis(Vec3{0, 0, 1}, v, 0.1f);
  EXPECT_EQ(v.x, fastCos(0.1f));
  EXPECT_EQ(v.y, -fastSin(0.1f));
  EXPECT_EQ(v.z, 0.0f);

  Vec3 a{3, -4, 5}, b{3, -4, 5};
  rotateAboutAxis(Vec3{0, 0, 1}, a, 0.7f);
  rotateAboutAxis(Vec3{0, 0, 2}, b, 0.7f);
  EXPECT_EQ(a, b);
}

TEST(Rotation, SolverFindsTheSolutionOrLeavesOutputsAlone) {
  float x = 0, y = 0, z = 0;
  const float rows[12] = {1, 0, 0, -1, 0, 1, 0, -2, 0, 0, 1, -3};
  EXPECT_TRUE(solveLinear3(rows, x, y, z));
  EXPECT_EQ(x, 1.0f);
  EXPECT_EQ(y, 2.0f);
  EXPECT_EQ(z, 3.0f);

  float sx = 7, sy = 8, sz = 9;
  const float singular[12] = {1, 2, 3, 0, 1, 2, 3, 0, 0, 0, 1, 0};
  EXPECT_FALSE(solveLinear3(singular, sx, sy, sz));
  EXPECT_EQ(sx, 7.0f);
  EXPECT_EQ(sy, 8.0f);
  EXPECT_EQ(sz, 9.0f);
}

TEST(Random, FollowsTheClassicRecurrence) {
  Random r(1);
  // The well-known first values of the classic generator seeded with 1.
  EXPECT_EQ(r.next(), 41);
  EXPECT_EQ(r.next(), 18467);
  EXPECT_EQ(r.next(), 6334);
  Random copy = r;
  EXPECT_EQ(copy.next(), r.next());
}

TEST(Random, CoordinateStaysInsideHalfOpenRange) {
  Random r(12345);
  for (int i = 0; i < 10000; ++i) {
    const float c = randomCoordinate(r, 480.0f);
    ASSERT_GE(c, -480.0f);
    ASSERT_LT(c, 480.0f);
  }
  Random before(5);
  Random after = before;
  EXPECT_EQ(randomCoordinate(after, 0.25f), -0.25f);  // trunc(0.5) = 0: no draw at all
  EXPECT_EQ(after, before);
  EXPECT_EQ(randomCoordinate(after, 1e20f), static_cast<float>(Random(5).next()) - 1e20f);
}

}  // namespace
}  // namespace morvane
