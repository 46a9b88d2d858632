// The sine table, rotations and the random generator are pinned by the recorded games and the
// camera tests; what only this checks is the solver's refusal of a singular system.
#include "math/rotation.h"

#include <gtest/gtest.h>

namespace morvane {
namespace {

TEST(Math, SolverFindsTheSolutionOrLeavesTheOutputsAlone) {
  float x = 7, y = 0, z = 0;
  EXPECT_FALSE(solveLinear3({1, 2, 3, 0, 1, 2, 3, 0, 0, 0, 1, 0}, x, y, z));  // singular
  EXPECT_EQ(x, 7);
  EXPECT_TRUE(solveLinear3({1, 0, 0, -1, 0, 1, 0, -2, 0, 0, 1, -3}, x, y, z));
  EXPECT_EQ((Vec3{x, y, z}), (Vec3{1, 2, 3}));
}

}  // namespace
}  // namespace morvane
