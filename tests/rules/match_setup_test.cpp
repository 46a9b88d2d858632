#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "rules/setup.h"
#include "rules/scoring.h"
#include "support/test_game.h"

namespace morvane {
namespace {

// A diamond of edge n, or n x 20 scattered balls, set up through the whole round set-up.
void setUp(TestGame& table, int n, bool chaotic = false) {
  table.settings.chaoticRack = chaotic ? 1 : 0;
  table.settings.rackSize = 2 * n;
  layOutRound(table.world, table.match, table.settings, table.random, table.recorded);
}

TEST(DiamondRack, SizesColoursAndPointsForEveryEdgeLength) {
  const struct { int n, balls, blue, green, red, points; } rows[] = {
      {1, 1, 1, 0, 0, 1},         {2, 6, 6, 0, 0, 6},         {3, 19, 18, 1, 0, 20},       {4, 44, 38, 6, 0, 50},
      {5, 85, 66, 18, 1, 107},    {6, 146, 102, 38, 6, 208},  {7, 231, 146, 66, 19, 373}, {8, 344, 198, 102, 44, 622},
  };
  for (const auto& row : rows) {
    TestGame table;
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
  TestGame one, five;
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
      TestGame table;
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
  TestGame table;
  setUp(table, 10, true);
  const World first = table.world;
  setUp(table, 10, true);
  int moved = 0;
  for (int s = 0; s < 200; ++s) moved += table.world.balls[s].position == first.balls[s].position ? 0 : 1;
  EXPECT_GT(moved, 190);
}

bool withinWalls(const World& world, Vec3 p) {
  const float h = world.arenaHalfSize;
  return std::fabs(p.x) <= h && std::fabs(p.y) <= h && std::fabs(p.z) <= h;
}

// The last resort keeps every racked ball that is within the walls (and, when no active pocket
// lies within them, outside a pocket 0 put at the centre), moves none, and leaves a pocket in play.
void expectLastResort(const World& racked, const World& played, const char* name) {
  SCOPED_TRACE(name);
  ASSERT_FALSE(layoutPlayable(racked));
  EXPECT_TRUE(layoutPlayable(played));
  bool pocketInPlay = false;
  for (const Pocket& pocket : racked.pockets) {
    pocketInPlay = pocketInPlay || (pocket.active != 0 && withinWalls(racked, pocket.centre));
  }
  Pocket centre;
  centre.active = 1;
  EXPECT_EQ(played.pockets[0], pocketInPlay ? racked.pockets[0] : centre);
  for (int s = 0; s < ballCount; ++s) {
    const Ball& ball = racked.balls[s];
    const bool kept = ball.active != 0 && withinWalls(racked, ball.position) &&
                      (pocketInPlay || !centre.contains(ball.position));
    EXPECT_EQ(played.balls[s].active, kept ? 1 : 0) << "slot " << s;
    EXPECT_EQ(played.balls[s].position, ball.position) << "slot " << s;
  }
}

// A later round's scatter that leaves no room for a pocket is laid out again with the
// generator as it stands, until a pocket fits (the dialog refuses such a first round instead).
TEST(ChaoticRack, ARoundWithoutRoomForAPocketIsLaidOutAgain) {
  TestGame table;
  table.settings.chaoticRack = 1;
  table.settings.rackSize = 2;
  table.settings.arenaHalfSize = 75.0f;
  table.random = Random(14);
  Random expected(14);
  const auto laidOut = std::make_unique<World>();
  int layouts = 0;
  do {
    layOutRound(*laidOut, table.settings, expected);
    ++layouts;
  } while (!layoutPlayable(*laidOut));
  ASSERT_GT(layouts, 1) << "the first layout should have no pocket";
  table.tick();  // no ball left, all at rest: the round is over and the next one laid out
  EXPECT_EQ(table.recorded.calls, (std::vector<std::string>{"loadSounds", "buildSphereMesh"}));
  EXPECT_EQ(table.random, expected);
  EXPECT_EQ(worldHash(table.world), worldHash(*laidOut));
}

TEST(ChaoticRack, LayingOutAgainIsBoundedAndTheLastResortLeavesAPocket) {
  const struct { int n; float halfSize; const char* name; } cases[] = {
      {1, 50.0f, "100 wide: every scattered ball lies inside every place a pocket may take"},
      {5, 16.5f, "33 wide, narrower than a ball: the pockets find room only beyond the walls"}};
  for (const auto& c : cases) {
    MatchSettings settings = defaultMatchSettings();
    settings.chaoticRack = 1;
    settings.rackSize = 2 * c.n;
    settings.arenaHalfSize = c.halfSize;
    Random random(3), expected(3);
    const auto played = std::make_unique<World>(), last = std::make_unique<World>();
    EXPECT_EQ(layOutPlayableRound(*played, settings, random, 2), 2);
    for (int layout = 0; layout < 3; ++layout) layOutRound(*last, settings, expected);
    EXPECT_EQ(random, expected);
    expectLastResort(*last, *played, c.name);
  }
}

// Set up without the dialog's check, a diamond that does not fit goes to the last resort at
// once: it never changes when laid out again.
TEST(DiamondRack, ADiamondTooLargeForItsArenaLosesTheBallsThatDoNotFit) {
  const struct { int n; float halfSize; const char* name; } cases[] = {
      {5, 150.0f, "diamond 5 in 300: two layers beyond a wall"},
      {2, 75.0f, "diamond 2 in 150: a ball in every grid pocket"}};
  for (const auto& c : cases) {
    TestGame table;
    table.settings.rackSize = 2 * c.n;
    table.settings.arenaHalfSize = c.halfSize;
    const auto racked = std::make_unique<World>();
    Random untouched(1);
    layOutRound(*racked, table.settings, untouched);
    setUp(table, c.n);
    expectLastResort(*racked, table.world, c.name);
    EXPECT_EQ(table.random, Random(1));
    EXPECT_GT(table.activeBalls(), 0);
  }
}

}  // namespace
}  // namespace morvane
