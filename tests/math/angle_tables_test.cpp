#include <gtest/gtest.h>

#include <cmath>

#include "math/angle_tables.h"

namespace morvane {
namespace {

float entry(int i) { return sineTable()[i]; }

TEST(AngleTables, TableHoldsFloatSinesOfTenthDegrees) {
  EXPECT_EQ(entry(0), 0.0f);
  EXPECT_EQ(entry(900), 1.0f);
  EXPECT_EQ(entry(300), static_cast<float>(std::sin(300 * 0.001745329251)));
  EXPECT_EQ(entry(3600), static_cast<float>(std::sin(3600 * 0.001745329251)));
}

TEST(AngleTables, LookupTruncatesTowardZeroAndWraps) {
  EXPECT_EQ(fastSin(0.0f), 0.0f);
  EXPECT_EQ(fastSin(1.5707964f), 1.0f);         // 900.02 -> entry 900
  EXPECT_EQ(fastSin(-0.01f), entry(3595));      // -5.73 -> -5 -> 3595
  EXPECT_EQ(fastSin(6.2831855f), entry(0));     // 3600.08 -> remainder 0
  EXPECT_EQ(fastSin(100.0f), entry(57297 % 3600));
  EXPECT_EQ(fastSin(-100.0f), entry(3600 - 57297 % 3600));
}

TEST(AngleTables, SineAndCosineOfOneSmallAngleComeFromDifferentEntries) {
  EXPECT_EQ(fastCos(0.0f), fastSin(1.570796326f));
  EXPECT_EQ(fastCos(0.0f), entry(900));
  EXPECT_EQ(fastSin(0.01f), entry(5));    // 0.5 degree
  EXPECT_EQ(fastCos(0.01f), entry(894));  // the cosine of 0.6 degree
}

TEST(AngleTables, HugeAndNonFiniteAnglesStayInsideTheTable) {
  const float values[] = {1e30f, -1e30f, INFINITY, -INFINITY, NAN};
  for (float v : values) {
    const float s = fastSin(v);
    EXPECT_GE(s, -1.0f);
    EXPECT_LE(s, 1.0f);
  }
}

}  // namespace
}  // namespace morvane
