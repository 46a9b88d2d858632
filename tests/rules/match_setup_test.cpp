#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "math/random.h"
#include "rules/match_state.h"
#include "rules/scoring.h"
#include "rules/setup.h"
#include "settings/match_settings.h"
#include "support/recording_hooks.h"
#include "support/recording_sink.h"
#include "world/world.h"

namespace morvane {
namespace {

MatchSettings diamondSettings(int n, float halfSize = 500.0f) {
  MatchSettings settings = defaultMatchSettings();
  settings.chaoticRack = 0;
  settings.rackSize = 2 * n;
  settings.arenaHalfSize = halfSize;
  return settings;
}

MatchSettings chaoticSettings(int n, float halfSize = 500.0f) {
  MatchSettings settings = diamondSettings(n, halfSize);
  settings.chaoticRack = 1;
  return settings;
}

struct Census {
  int balls = 0;
  int colours[3] = {0, 0, 0};
  int highestSlot = -1;
};

Census census(const World& world) {
  Census c;
  for (int s = 0; s < ballCount; ++s) {
    const Ball& ball = world.balls[s];
    if (ball.active == 0) continue;
    ++c.balls;
    if (ball.colour >= 0 && ball.colour <= 2) ++c.colours[ball.colour];
    c.highestSlot = s;
  }
  return c;
}

TEST(DiamondRack, SizesColoursAndPointsForEveryEdgeLength) {
  const struct {
    int n, balls, blue, green, red, points;
  } rows[] = {
      {1, 1, 1, 0, 0, 1},          {2, 6, 6, 0, 0, 6},          {3, 19, 18, 1, 0, 20},
      {4, 44, 38, 6, 0, 50},       {5, 85, 66, 18, 1, 107},     {6, 146, 102, 38, 6, 208},
      {7, 231, 146, 66, 19, 373},  {8, 344, 198, 102, 44, 622},
  };
  for (const auto& row : rows) {
    World world;
    MatchState match;
    Random random(1);
    RecordingHooks hooks;
    setUpMatch(world, match, diamondSettings(row.n), random, hooks);
    const Census c = census(world);
    EXPECT_EQ(c.balls, row.balls) << "n=" << row.n;
    EXPECT_EQ(c.highestSlot, row.balls - 1) << "n=" << row.n;  // slots 0 upward, no gaps
    EXPECT_EQ(c.colours[colourBlue], row.blue) << "n=" << row.n;
    EXPECT_EQ(c.colours[colourGreen], row.green) << "n=" << row.n;
    EXPECT_EQ(c.colours[colourRed], row.red) << "n=" << row.n;
    EXPECT_EQ(remainingPoints(world), row.points) << "n=" << row.n;
    EXPECT_EQ(match.targetColour, colourBlue) << "n=" << row.n;
    EXPECT_EQ(match.breakShotPending, 1) << "n=" << row.n;
    EXPECT_TRUE(allBallsAtRest(world)) << "n=" << row.n;
    EXPECT_EQ(random, Random(1)) << "the diamond draws nothing";
  }
}

TEST(DiamondRack, SingleBallAndTheFullPocketGrid) {
  World world;
  MatchState match;
  Random random(1);
  RecordingHooks hooks;
  setUpMatch(world, match, diamondSettings(1), random, hooks);
  EXPECT_NEAR(world.balls[0].position.x, -28.284f, 1e-4f);
  EXPECT_EQ(world.balls[0].position.y, -20.0f);
  EXPECT_EQ(world.balls[0].position.z, -20.0f);
  EXPECT_EQ(world.balls[0].colour, colourBlue);
  EXPECT_EQ(world.arenaHalfSize, 500.0f);

  for (int i = 0; i < 3; ++i) {
    for (int j = 0; j < 3; ++j) {
      for (int k = 0; k < 3; ++k) {
        const Pocket& pocket = world.pockets[9 * i + 3 * j + k];
        if (i == 1 && j == 1 && k == 1) {
          EXPECT_EQ(pocket.active, 0) << "the centre slot 13 is never placed";
          continue;
        }
        EXPECT_EQ(pocket.active, 1) << i << j << k;
        EXPECT_EQ(pocket.centre, (Vec3{460.0f * (i - 1), 460.0f * (j - 1), 460.0f * (k - 1)})) << i << j << k;
      }
    }
  }
}

TEST(DiamondRack, GridPocketsHoldingABallCentreStayInactive) {
  // H = 60 puts the grid at -20, 0, 20; the ball at (-28.284, -20, -20) sits inside every pocket
  // with i, j, k in {0, 1} (|dy| = |dz| = 40 for j or k = 2 is outside).
  World world;
  MatchState match;
  Random random(1);
  RecordingHooks hooks;
  setUpMatch(world, match, diamondSettings(1, 60.0f), random, hooks);
  std::vector<int> inactive;
  for (int p = 0; p < pocketCount; ++p) {
    if (world.pockets[p].active == 0) inactive.push_back(p);
  }
  EXPECT_EQ(inactive, (std::vector<int>{0, 1, 3, 4, 9, 10, 12, 13}));
  EXPECT_EQ(world.pockets[2].centre, (Vec3{-20.0f, -20.0f, 20.0f}));
}

TEST(DiamondRack, DefaultRackHasItsOnlyRedBallInTheMiddleLayer) {
  World world;
  MatchState match;
  Random random(1);
  RecordingHooks hooks;
  setUpMatch(world, match, diamondSettings(5), random, hooks);
  // Layers 1 to 4 hold 1 + 4 + 9 + 16 = 30 balls; layer 5 starts at slot 30, a = b = 2 is slot 42.
  EXPECT_EQ(world.balls[0].colour, colourBlue);
  EXPECT_NEAR(world.balls[0].position.x, -28.284f, 1e-4f);
  EXPECT_EQ(world.balls[42].colour, colourRed);
  EXPECT_NEAR(world.balls[42].position.x, 84.852f, 1e-4f);
  EXPECT_EQ(world.balls[42].position.y, -20.0f);
  EXPECT_EQ(world.balls[42].position.z, -20.0f);
  // The middle layer's corners: y and z run from -100 to 60.
  EXPECT_EQ(world.balls[30].position, (world.balls[42].position + Vec3{0.0f, -80.0f, -80.0f}));
  EXPECT_EQ(world.balls[54].position.y, 60.0f);
  EXPECT_EQ(world.balls[54].position.z, 60.0f);
  // Only the last ball of the rack is active above slot 84.
  EXPECT_EQ(world.balls[84].active, 1);
  EXPECT_EQ(world.balls[85].active, 0);
  EXPECT_NEAR(world.balls[84].position.x, 197.988f, 1e-3f);
}

TEST(DiamondRack, RackedBallsTouchAndStayStillUntilHit) {
  World world;
  world.arenaHalfSize = 500.0f;
  MatchSettings settings = diamondSettings(8);
  Random random(1);
  rackBalls(world, settings, random);
  float closest = 1e9f;
  for (int i = 0; i < 344; ++i) {
    for (int j = i + 1; j < 344; ++j) {
      closest = std::fmin(closest, length(world.balls[j].position - world.balls[i].position));
    }
  }
  // Layers 28.284 apart with a 20, 20 offset: neighbours are 40 apart to within rounding.
  EXPECT_NEAR(closest, 40.0f, 0.001f);

  // Resting balls in contact exchange nothing.
  const World before = world;
  int32_t touched = 0, foul = 0;
  RecordingSink sink;
  collideBalls(world, FirstTouch{touched, foul, colourBlue}, sink);
  collideBallsAllPairs(world, FirstTouch{touched, foul, colourBlue}, sink);
  EXPECT_EQ(world, before);
  EXPECT_TRUE(sink.played.empty());
  EXPECT_EQ(touched, 0);
}

TEST(ChaoticRack, FiftyFillsEverySlotIncludingTheCueBalls) {
  World world;
  MatchState match;
  Random random(99);
  RecordingHooks hooks;
  setUpMatch(world, match, chaoticSettings(50), random, hooks);
  EXPECT_EQ(census(world).balls, 1000);
  EXPECT_EQ(world.balls[cueBallSlot].active, 1);
  EXPECT_GE(world.balls[cueBallSlot].colour, colourBlue);
  EXPECT_LE(world.balls[cueBallSlot].colour, colourRed);
  EXPECT_EQ(match.breakShotPending, 0);
}

TEST(ChaoticRack, DrawsXYZAndColourPerBallWithinTheMargins) {
  World world;
  world.arenaHalfSize = 500.0f;
  MatchSettings settings = chaoticSettings(10);
  Random random(424242);
  Random expected = random;
  rackBalls(world, settings, random);
  EXPECT_EQ(census(world).balls, 200);
  EXPECT_EQ(world.balls[200].active, 0);
  // h = 480: each coordinate is draw mod 960 - 480; then the colour is draw mod 3.
  for (int s = 0; s < 3; ++s) {
    const float x = static_cast<float>(expected.next() % 960) - 480.0f;
    const float y = static_cast<float>(expected.next() % 960) - 480.0f;
    const float z = static_cast<float>(expected.next() % 960) - 480.0f;
    const int colour = expected.next() % 3;
    EXPECT_EQ(world.balls[s].position, (Vec3{x, y, z})) << "slot " << s;
    EXPECT_EQ(world.balls[s].colour, colour) << "slot " << s;
  }
  for (int s = 0; s < 200; ++s) {
    const Vec3 p = world.balls[s].position;
    for (float c : {p.x, p.y, p.z}) {
      EXPECT_GE(c, -480.0f);
      EXPECT_LT(c, 480.0f);
      EXPECT_EQ(c, std::floor(c));
    }
  }
}

TEST(ChaoticRack, PocketsNeverStartWithABallCentreInside) {
  for (uint32_t seed : {1u, 2u, 3u, 20261206u}) {
    for (int n : {10, 50}) {
      World world;
      MatchState match;
      Random random(seed);
      RecordingHooks hooks;
      setUpMatch(world, match, chaoticSettings(n), random, hooks);
      for (int p = 0; p < pocketCount; ++p) {
        const Pocket& pocket = world.pockets[p];
        EXPECT_EQ(pocket.active, 1) << "seed " << seed << " n " << n << " pocket " << p;
        for (float c : {pocket.centre.x, pocket.centre.y, pocket.centre.z}) {
          EXPECT_GE(c, -460.0f);
          EXPECT_LT(c, 460.0f);
        }
        for (const Ball& ball : world.balls) {
          if (ball.active == 0) continue;
          ASSERT_FALSE(pocket.contains(ball.position)) << "seed " << seed << " pocket " << p;
        }
      }
    }
  }
}

TEST(ChaoticRack, ConsecutiveSetUpsDiffer) {
  World world;
  MatchState match;
  Random random(5);
  RecordingHooks hooks;
  const MatchSettings settings = chaoticSettings(10);
  setUpMatch(world, match, settings, random, hooks);
  const World first = world;
  setUpMatch(world, match, settings, random, hooks);
  EXPECT_NE(worldHash(world), worldHash(first));
  int moved = 0;
  for (int s = 0; s < 200; ++s) {
    if (!(world.balls[s].position == first.balls[s].position)) ++moved;
  }
  EXPECT_GT(moved, 190);
}

TEST(MatchSetUp, ResetsTheRoundAndLeavesTheRestToTheCaller) {
  World world;
  world.balls[cueBallSlot].init(Vec3{1.0f, 2.0f, 3.0f}, Vec3{}, colourCueBall);
  world.balls[cueBallSlot].active = 0;
  const Ball cueBall = world.balls[cueBallSlot];
  MatchState match;
  match.currentPlayer = 1;
  match.roundsWon = {2, 1};
  match.scores = {17.0f, 3.0f};
  match.multipliers = {5.0f, 2.0f};
  match.turnStartScores = {10.0f, 3.0f};
  match.pocketStreak = 4;
  match.foulCommitted = 1;
  match.breakShotPending = 0;
  match.shotInProgress = 1;
  match.cueBallTouched = 1;
  match.ballPocketedThisShot = 1;
  match.ballInHand = 1;
  match.computerShotPending = 1;
  match.targetColour = colourRed;
  Random random(1);
  RecordingHooks hooks;
  setUpMatch(world, match, diamondSettings(5), random, hooks);

  EXPECT_EQ(hooks.calls, (std::vector<std::string>{"loadSounds", "buildSphereMesh"}));
  EXPECT_EQ(world.balls[cueBallSlot], cueBall);
  EXPECT_EQ(match.targetColour, colourBlue);
  EXPECT_EQ(match.scores, (std::array<float, 2>{0.0f, 0.0f}));
  EXPECT_EQ(match.multipliers, (std::array<float, 2>{1.0f, 1.0f}));
  EXPECT_EQ(match.turnStartScores, (std::array<float, 2>{0.0f, 0.0f}));
  EXPECT_EQ(match.pocketStreak, 0);
  EXPECT_EQ(match.foulCommitted, 0);
  EXPECT_EQ(match.breakShotPending, 1);
  // Not the set-up's business:
  EXPECT_EQ(match.currentPlayer, 1);
  EXPECT_EQ(match.roundsWon, (std::array<int32_t, 2>{2, 1}));
  EXPECT_EQ(match.shotInProgress, 1);
  EXPECT_EQ(match.cueBallTouched, 1);
  EXPECT_EQ(match.ballPocketedThisShot, 1);
  EXPECT_EQ(match.ballInHand, 1);
  EXPECT_EQ(match.computerShotPending, 1);
}

TEST(MatchSetUp, TargetIsTheLowestColourOnTheTableCueBallsSlotIncluded) {
  const MatchSettings settings = diamondSettings(5);
  World world;
  MatchState match;
  resetMatchState(world, match, settings);
  EXPECT_EQ(match.targetColour, colourCueBall);  // nothing on the table

  world.balls[cueBallSlot].init(Vec3{}, Vec3{}, colourCueBall);
  resetMatchState(world, match, settings);
  EXPECT_EQ(match.targetColour, colourCueBall);

  world.balls[10].init(Vec3{}, Vec3{}, colourRed);
  world.balls[500].init(Vec3{}, Vec3{}, colourGreen);
  resetMatchState(world, match, settings);
  EXPECT_EQ(match.targetColour, colourGreen);

  // The largest chaotic rack leaves a coloured ball in the cue ball's slot; it counts.
  world.balls[cueBallSlot].init(Vec3{}, Vec3{}, colourBlue);
  resetMatchState(world, match, settings);
  EXPECT_EQ(match.targetColour, colourBlue);
  EXPECT_EQ(remainingPoints(world), 5 + 2 + 1);

  world.balls[500].active = 0;
  world.balls[cueBallSlot].active = 0;
  resetMatchState(world, match, settings);
  EXPECT_EQ(match.targetColour, colourRed);
}

}  // namespace
}  // namespace morvane
