// The sine table, rotations and the random generator are pinned by the recorded games and the
// camera tests; what only this checks is the solver's refusal of a singular system, and a
// negative angle's way into the table.
#include <gtest/gtest.h>

#include "math/angle_tables.h"
#include "math/rotation.h"

namespace morvane {
namespace {

TEST(Math, SolverLeavesTheOutputsAloneOnASingularSystemAndNegativeAnglesWrapIntoTheTable) {
  float x = 7, y = 0, z = 0;
  EXPECT_TRUE(!solveLinear3({1, 2, 3, 0, 1, 2, 3, 0, 0, 0, 1, 0}, x, y, z) && x == 7);
  EXPECT_TRUE(solveLinear3({1, 0, 0, -1, 0, 1, 0, -2, 0, 0, 1, -3}, x, y, z));
  EXPECT_EQ((Vec3{x, y, z}), (Vec3{1, 2, 3}));
  EXPECT_EQ(fastSin(-0.01f), sineTable()[3595]);  // -5.73 tenths of a degree: truncated to -5, then 3595
}

}  // namespace
}  // namespace morvane
