#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <utility>

#include "graphics/projection.h"

namespace morvane {
namespace {

// The perspective matrix written out from its textbook definition, f = cot(fovy / 2).
Matrix4 classicPerspective(double fovyDegrees, double aspect, double n, double f) {
  const double cot = 1.0 / std::tan(fovyDegrees * std::numbers::pi / 360.0);
  Matrix4 m{};
  m[0] = cot / aspect;
  m[5] = cot;
  m[10] = (f + n) / (n - f);
  m[11] = -1.0;
  m[14] = 2.0 * f * n / (n - f);
  return m;
}

void expectMatrixNear(const Matrix4& actual, const Matrix4& expected) {
  for (int i = 0; i < 16; ++i) {
    EXPECT_NEAR(actual[i], expected[i], std::abs(expected[i]) * 1e-12 + 1e-12) << "element " << i;
  }
}

TEST(Projection, FollowsTheDrawablesShape) {
  struct Case {
    int width, height;
    double aspect;
  };
  const Case cases[] = {
      {1280, 1024, 1.25},
      {1920, 1080, 16.0 / 9.0},
      {1920, 1200, 1.6},
      {1024, 768, 4.0 / 3.0},
      {800, 600, 4.0 / 3.0},
      {1080, 1920, 0.5625},  // a portrait screen
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.width << "x" << c.height);
    EXPECT_DOUBLE_EQ(drawableAspect(c.width, c.height), c.aspect);
    const Matrix4 m = sceneProjection(c.width, c.height);
    expectMatrixNear(m, classicPerspective(60.0, c.aspect, 1.0, 1000000.0));
    // Round balls: a unit of x and a unit of y at the same depth cover the same number of
    // pixels, m[0] * width / 2 against m[5] * height / 2.
    EXPECT_NEAR(m[0] * c.width, m[5] * c.height, 1e-9 * c.width);
    // The vertical field is 60 degrees whatever the width: cot(30) = sqrt(3).
    EXPECT_NEAR(m[5], std::sqrt(3.0), 1e-15);
  }
}

TEST(Projection, FourToThreeIsExactlyTheOldView) {
  // The old view asked GLU for aspect 1.3333333333333333 on every screen; a 4:3 drawable gives
  // that very double, so the matrix cannot differ by a bit.
  const Matrix4 old = perspectiveMatrix(60.0, 1.3333333333333333, 1.0, 1000000.0);
  for (const auto& [w, h] : {std::pair{1024, 768}, std::pair{1600, 1200}, std::pair{640, 480}}) {
    EXPECT_EQ(sceneProjection(w, h), old) << w << "x" << h;
  }
  expectMatrixNear(old, classicPerspective(60.0, 4.0 / 3.0, 1.0, 1000000.0));
  EXPECT_NEAR(old[0], std::sqrt(3.0) * 0.75, 1e-15);
  EXPECT_NEAR(old[10], -1000001.0 / 999999.0, 1e-15);
  EXPECT_NEAR(old[14], -2000000.0 / 999999.0, 1e-15);
}

TEST(Projection, DrawableWithoutASizeFallsBackToFourToThree) {
  const Matrix4 fourToThree = sceneProjection(1024, 768);
  for (const auto& [w, h] : {std::pair{0, 0}, std::pair{1920, 0}, std::pair{0, 1080}, std::pair{-5, 100}}) {
    const Matrix4 m = sceneProjection(w, h);
    EXPECT_EQ(m, fourToThree) << w << "x" << h;
    for (double v : m) EXPECT_TRUE(std::isfinite(v));
  }
}

}  // namespace
}  // namespace morvane
