#include <gtest/gtest.h>

#include <array>
#include <utility>

#include "rules/setup.h"
#include "support/match_table.h"

namespace morvane {
namespace {

// A diamond of edge n, or n x 20 scattered balls, set up through the whole round set-up.
void setUp(MatchTable& table, int n, bool chaotic = false) {
  table.settings.chaoticRack = chaotic ? 1 : 0;
  table.settings.rackSize = 2 * n;
  setUpMatch(table.world, table.match, table.settings, table.random, table.hooks);
}

TEST(DiamondRack, SizesColoursAndPointsForEveryEdgeLength) {
  const struct { int n, balls, blue, green, red, points; } rows[] = {
      {1, 1, 1, 0, 0, 1},         {2, 6, 6, 0, 0, 6},         {3, 19, 18, 1, 0, 20},       {4, 44, 38, 6, 0, 50},
      {5, 85, 66, 18, 1, 107},    {6, 146, 102, 38, 6, 208},  {7, 231, 146, 66, 19, 373}, {8, 344, 198, 102, 44, 622},
  };
  for (const auto& row : rows) {
    MatchTable table;
    setUp(table, row.n);
    std::array<int, 3> colours{};
    for (int s = 0; s < row.balls; ++s) {  // all in slots 0 upward, no gaps
      colours.at(table.world.balls[s].colour) += table.world.balls[s].active != 0 ? 1 : 0;
    }
    EXPECT_EQ(table.activeBalls(), row.balls) << "n=" << row.n;
    EXPECT_EQ(colours, (std::array{row.blue, row.green, row.red})) << "n=" << row.n;
    EXPECT_EQ(remainingPoints(table.world), row.points) << "n=" << row.n;
    EXPECT_EQ(table.match.targetColour, colourBlue) << "n=" << row.n;
    EXPECT_EQ(table.match.breakShotPending, 1) << "n=" << row.n;
    EXPECT_EQ(table.random, Random(1)) << "the diamond draws nothing";
  }
}

TEST(DiamondRack, GridPocketsAndWhereTheBallsLie) {
  MatchTable one, five;
  setUp(one, 1);
  setUp(five, 5);
  EXPECT_NEAR(one.world.balls[0].position.x, -28.284f, 1e-4f);
  EXPECT_EQ(std::pair(one.world.balls[0].position.y, one.world.balls[0].position.z), std::pair(-20.0f, -20.0f));
  for (int p = 0; p < pocketCount; ++p) {
    const Vec3 grid{460.0f * (p / 9 - 1), 460.0f * (p / 3 % 3 - 1), 460.0f * (p % 3 - 1)};
    EXPECT_EQ(one.world.pockets[p].active, p == 13 ? 0 : 1) << p;  // the centre slot is never placed
    EXPECT_TRUE(p == 13 || one.world.pockets[p].centre == grid) << p;
  }
  // Layers 1 to 4 of n = 5 hold 30 balls; in the middle layer a = b = 2 is slot 42, the only red.
  EXPECT_EQ(five.world.balls[42].colour, colourRed);
  EXPECT_NEAR(five.world.balls[42].position.x, 84.852f, 1e-4f);
  EXPECT_EQ(std::pair(five.world.balls[42].position.y, five.world.balls[42].position.z), std::pair(-20.0f, -20.0f));
  EXPECT_EQ(five.world.balls[30].position, (five.world.balls[42].position + Vec3{0.0f, -80.0f, -80.0f}));
}

TEST(ChaoticRack, FiftyFillsTheCueBallsSlotPocketsHoldNoBallCentreAndSetUpsDiffer) {
  for (uint32_t seed : {1u, 2u, 3u}) {
    for (int n : {10, 50}) {
      MatchTable table;
      table.random = Random(seed);
      setUp(table, n, true);
      EXPECT_EQ(table.activeBalls(), 20 * n);
      const Ball& cueSlot = table.world.balls[cueBallSlot];
      EXPECT_EQ(cueSlot.active != 0 && cueSlot.colour <= colourRed, n == 50);  // a coloured ball at n = 50
      EXPECT_EQ(table.match.breakShotPending, 0);
      for (int p = 0; p < pocketCount; ++p) {
        const Pocket& pocket = table.world.pockets[p];
        EXPECT_EQ(pocket.active, 1) << "seed " << seed << " n " << n << " pocket " << p;
        for (const Ball& ball : table.world.balls) {
          ASSERT_FALSE(ball.active != 0 && pocket.contains(ball.position)) << "seed " << seed << " pocket " << p;
        }
      }
    }
  }
  MatchTable table;
  setUp(table, 10, true);
  const World first = table.world;
  setUp(table, 10, true);
  int moved = 0;
  for (int s = 0; s < 200; ++s) moved += table.world.balls[s].position == first.balls[s].position ? 0 : 1;
  EXPECT_GT(moved, 190);
}

}  // namespace
}  // namespace morvane
