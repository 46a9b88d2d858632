#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "reference/chaotic_pockets_one_by_one.h"
#include "rules/chaotic_pockets.h"
#include "rules/scoring.h"
#include "rules/setup.h"
#include "support/layouts.h"
#include "support/test_game.h"

namespace morvane {
namespace {

// A diamond of edge n, or n x 20 scattered balls, set up through the whole round set-up.
void setUp(TestGame& table, int n, bool chaotic = false) {
  table.settings = rackSettings(n, chaotic ? 1 : 0, 500.0f);
  layOutRound(table.world, table.match, table.settings, table.random, table.recorded);
}

TEST(Rack, DiamondSizesColoursAndPointsForEveryEdgeLengthAndTheLargestScatter) {
  // Layer k of 2n - 1 has an edge of min(k, 2n - k); blue is its rim, green the next ring, red the rest.
  const struct { int n, balls, blue, green, red; } rows[] = {
      {1, 1, 1, 0, 0},     {2, 6, 6, 0, 0},      {3, 19, 18, 1, 0},    {4, 44, 38, 6, 0},
      {5, 85, 66, 18, 1},  {6, 146, 102, 38, 6}, {7, 231, 146, 66, 19}, {8, 344, 198, 102, 44}};
  for (const auto& row : rows) {
    TestGame table;
    setUp(table, row.n);
    std::array<int, 3> colours{};
    for (int s = 0; s < row.balls; ++s) colours.at(table.world.balls[s].colour) += table.world.balls[s].active;
    EXPECT_EQ(std::tuple(table.activeBalls(), colours, remainingPoints(table.world), table.match.breakShotPending),
              std::tuple(row.balls, std::array{row.blue, row.green, row.red}, row.blue + 2 * row.green + 5 * row.red, 1)) << row.n;
    EXPECT_EQ(table.random, Random(1)) << "the diamond draws nothing";
  }
  TestGame five;  // layers 1 to 4 hold 30 balls; in the middle layer a = b = 2 is slot 42, the only red
  setUp(five, 5);
  EXPECT_NEAR(five.world.balls[42].position.x, 84.852f, 1e-4f);
  EXPECT_EQ(five.world.balls[30].position, (Vec3{five.world.balls[42].position.x, -100.0f, -100.0f}));
  for (int p = 0; p < pocketCount; ++p) {  // against the walls of the 500 arena; the centre slot is never placed
    const Vec3 grid{460.0f * (p / 9 - 1), 460.0f * (p / 3 % 3 - 1), 460.0f * (p % 3 - 1)};
    EXPECT_EQ(std::pair(five.world.pockets[p].active, p == 13 || five.world.pockets[p].centre == grid), std::pair(p == 13 ? 0 : 1, true)) << p;
  }
  TestGame chaotic;  // the largest scatter, 50 x 20 balls, fills the cue ball's slot too; no break shot
  setUp(chaotic, 50, true);
  EXPECT_EQ(std::tuple(chaotic.activeBalls(), chaotic.world.balls[cueBallSlot].colour <= colourRed, chaotic.match.breakShotPending),
            std::tuple(1000, true, 0));
}

// A layout that cannot be played is laid out again with the generator as it stands (only a
// chaotic one changes), at most `limit` times; the last resort then takes off the balls beyond the
// walls, leaves the others where they lie and, when no active pocket lies within the walls, puts
// pocket 0 at the centre and takes off the balls it holds.
TEST(LayOutPlayableRound, LaysOutAgainThenFallsBackToTheLastResort) {
  const struct { int chaotic, n; float halfSize; uint32_t seed; int limit, repeats, kept, centred; const char* name; } cases[] = {
      {1, 1, 75.0f, 14, 1000, -1, 20, 0, "150 wide: the first scatter leaves no room for a pocket, a later one does"},
      {1, 1, 50.0f, 3, 2, 2, 0, 1, "100 wide: every scattered ball lies inside every place a pocket may take"},
      {1, 5, 16.5f, 3, 2, 2, 0, 1, "33 wide, narrower than a ball: the pockets find room only beyond the walls"},
      {0, 5, 150.0f, 1, 1000, 0, 80, 0, "diamond 5 in 300: its last two layers (4 + 1 balls) beyond a wall"},
      {0, 2, 75.0f, 1, 1000, 0, 3, 1, "diamond 2 in 150: a ball in every grid pocket; 3 of 6 lie in one at the centre"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const MatchSettings settings = rackSettings(c.n, c.chaotic, c.halfSize);
    Random random(c.seed), expected(c.seed);
    const auto played = std::make_unique<World>(), last = std::make_unique<World>();
    const int repeats = layOutPlayableRound(*played, settings, random, c.limit);
    EXPECT_TRUE(c.repeats < 0 ? repeats > 0 && repeats < c.limit : repeats == c.repeats) << repeats;
    for (int layout = 0; layout <= repeats; ++layout) layOutRound(*last, settings, expected);
    EXPECT_EQ(random, expected);
    EXPECT_TRUE(layoutPlayable(*played));
    int kept = 0;
    for (int s = 0; s < ballCount; ++s) {
      EXPECT_EQ(played->balls[s].position, last->balls[s].position) << s;
      kept += played->balls[s].active;
    }
    const bool centred = played->pockets[0].centre == Vec3{} && !(played->pockets[0] == last->pockets[0]);
    EXPECT_EQ(std::pair(kept, centred), std::pair(c.kept, c.centred != 0));
  }
}

// The fast chaotic pocket placement against the straightforward one: the same pockets (centres
// of the refused slots included) and the same generator state afterwards, in roomy, crowded,
// hopeless and degenerate arenas.
TEST(ChaoticPockets, FastPlacementMatchesTheOneByOnePlacement) {
  const struct { int n; float halfSize; uint32_t seeds; const char* what; } cases[] = {
      {5, 500.0f, 2, "room everywhere"}, {1, 75.0f, 4, "crowded: some slots find room, some give up"},
      {1, 75.25f, 2, "crowded, fractional arena"}, {20, 130.0f, 1, "crowded by many balls"},
      // The generator skips the draws of every refused try at once: it must land where drawing them does.
      {1, 50.0f, 1, "no room at all: every try refused"}, {1, 40.0f, 1, "a single point to try, held by the balls"},
      {1, 30.0f, 1, "pocket range past the walls (2h < 0)"}, {2, 20.25f, 1, "balls all at the centre"}};
  for (const auto& c : cases) {
    const MatchSettings settings = rackSettings(c.n, 1, c.halfSize);
    for (uint32_t seed = 1; seed <= c.seeds; ++seed) {
      SCOPED_TRACE(std::string(c.what) + ", seed " + std::to_string(seed));
      const auto fast = std::make_unique<World>(), reference = std::make_unique<World>();
      Random random(seed);
      fast->arenaHalfSize = c.halfSize;
      rackBalls(*fast, settings, random);
      *reference = *fast;
      Random referenceRandom = random;
      placeChaoticPockets(*fast, random);
      placeChaoticPocketsOneByOne(*reference, referenceRandom);
      EXPECT_EQ(random, referenceRandom);
      EXPECT_EQ(fast->pockets, reference->pockets);
    }
  }
}

}  // namespace
}  // namespace morvane
