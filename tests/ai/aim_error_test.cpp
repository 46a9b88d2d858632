// The rounding of the computer's aim error: each component of the error is e x r / 16383 (e the
// turned vector of length q, r the largest deviation) rounded once to float. Rounding the factor
// r / 16383 to float before multiplying is one unit in the last place off in a few percent of
// turns; the sweep below holds such turns and fails on them.
#include <gtest/gtest.h>

#include <cmath>

#include "ai/aim_geometry.h"
#include "rules/match_settings.h"

namespace morvane {
namespace {

constexpr float qSteps = 16383.0f;

// |f x 16383 - product|, exact: f x 16383 needs 38 bits and product (a float times a float) 48,
// and the two are close, so double holds both and their difference without rounding.
double distanceToQuotient(float f, double product) { return std::fabs(double(f) * qSteps - product); }

// Whether f is the float nearest to product / 16383 (either one on a tie).
bool nearestToQuotient(float f, double product) {
  const double d = distanceToQuotient(f, product);
  return d <= distanceToQuotient(std::nextafter(f, INFINITY), product) &&
         d <= distanceToQuotient(std::nextafter(f, -INFINITY), product);
}

// The error vector before scaling, as drawn from this generator: at r = 16383 the factor is 1, and
// the components added to an aim's zero components come through unchanged.
Vec3 unscaledError(const Random& random) {
  Vec3 alongX{qSteps, 0.0f, 0.0f}, alongY{0.0f, qSteps, 0.0f};
  Random a = random, b = random;
  applyAimError(alongX, 1.0f, a);
  applyAimError(alongY, 1.0f, b);
  EXPECT_EQ(alongX.z, alongY.z);
  return Vec3{alongY.x, alongX.y, alongX.z};
}

TEST(AimError, EachComponentIsRoundedOnceFromTheExactProduct) {
  const float lengths[] = {57.0f, 310.5f, 865.9f, 1.0e-3f};
  int checked = 0, factorFirstWouldDiffer = 0;
  for (uint32_t seed = 1; seed <= 1500; ++seed) {
    const Random random(seed);
    const Vec3 e = unscaledError(random);
    ASSERT_LE(length(e), qSteps * 1.0001f);
    for (const DifficultyLevel& level : difficultyLevels) {
      if (level.aimError == 0.0f) continue;
      for (const float a : lengths) {
        for (const bool alongX : {true, false}) {
          Vec3 aim = alongX ? Vec3{a, 0.0f, 0.0f} : Vec3{0.0f, a, 0.0f};
          const float r = length(aim) * level.aimError;
          Random draws = random;
          applyAimError(aim, level.aimError, draws);
          // The aim's zero components now hold the error's components exactly.
          const std::pair<float, float> pairs[] = {{alongX ? aim.y : aim.x, alongX ? e.y : e.x}, {aim.z, e.z}};
          const float factorFirst = static_cast<float>(static_cast<long double>(r) / qSteps);
          for (const auto& [component, unscaled] : pairs) {
            ++checked;
            EXPECT_TRUE(nearestToQuotient(component, double(unscaled) * double(r)))
                << "seed " << seed << " " << level.name << " |aim| " << a << ": " << component << " for " << unscaled
                << " x " << r << " / 16383";
            if (unscaled * factorFirst != component) ++factorFirstWouldDiffer;
          }
        }
      }
    }
  }
  // The sweep must tell the two roundings apart (they differ in about a fifth of the components,
  // though mostly below the aim's own last place).
  EXPECT_GT(factorFirstWouldDiffer, checked / 20);
}

}  // namespace
}  // namespace morvane
