#include <gtest/gtest.h>

#include "support/match_table.h"

namespace morvane {
namespace {

void activatePocket(World& world, int slot, Vec3 centre) {
  world.pockets[slot].centre = centre;
  world.pockets[slot].active = 1;
}

TEST(ColourValue, PointsByColour) {
  EXPECT_EQ(colourValue(colourBlue), 1);
  EXPECT_EQ(colourValue(colourGreen), 2);
  EXPECT_EQ(colourValue(colourRed), 5);
  EXPECT_EQ(colourValue(colourCueBall), 0);
  EXPECT_EQ(colourValue(7), 0);
  EXPECT_EQ(colourValue(-1), 0);
}

TEST(RemainingPoints, CountsActiveBallsOnlyAndTheCueBallIsWorthNothing) {
  World world;
  world.balls[cueBallSlot].init(Vec3{}, Vec3{}, colourCueBall);
  EXPECT_EQ(remainingPoints(world), 0);
  world.balls[0].init(Vec3{}, Vec3{}, colourRed);
  world.balls[998].init(Vec3{}, Vec3{}, colourGreen);
  world.balls[4].colour = colourRed;  // an empty slot
  EXPECT_EQ(remainingPoints(world), 7);
}

// Balls put straight into pockets and handed to the scoring, the way the pocketing pass does.
class PocketScoring : public ::testing::Test {
 protected:
  PocketScoring() {
    activatePocket(table.world, 0, Vec3{300.0f, 300.0f, 300.0f});
    table.match.targetColour = colourBlue;
  }
  void pocketNow() {
    ScoringListener scoring(table.match, table.settings);
    pocketBalls(table.world, scoring, table.sink);
  }
  MatchTable table;
};

TEST_F(PocketScoring, WithoutMultipliersEveryBallScoresItsValue) {
  table.settings.multiplierEnabled = 0;
  for (int s = 1; s <= 3; ++s) table.world.balls[s].init(Vec3{300.0f, 300.0f, 290.0f + s}, Vec3{}, colourBlue);
  pocketNow();
  EXPECT_EQ(table.match.scores[0], 3.0f);
  EXPECT_EQ(table.match.scores[1], 0.0f);
  EXPECT_EQ(table.match.multipliers[0], 1.0f);
  EXPECT_EQ(table.match.pocketStreak, 1);
  EXPECT_EQ(table.match.foulCommitted, 0);
  EXPECT_EQ(table.match.ballPocketedThisShot, 1);
  EXPECT_EQ(table.sink.count(SoundId::pocket), 3);
}

TEST_F(PocketScoring, StreakAndMultiplierGrowWithinOneShot) {
  table.settings.multiplierEnabled = 1;
  table.match.targetColour = colourGreen;
  table.match.currentPlayer = 1;
  table.match.multipliers = {1.0f, 2.0f};
  table.world.balls[10].init(Vec3{300.0f, 300.0f, 300.0f}, Vec3{}, colourGreen);
  table.world.balls[11].init(Vec3{300.0f, 300.0f, 310.0f}, Vec3{}, colourGreen);
  pocketNow();
  // 2 x 2 x 1 = 4, multiplier 2 + 2 = 4; then 2 x 4 x 2 = 16, multiplier 4 + 4 = 8.
  EXPECT_EQ(table.match.scores[1], 20.0f);
  EXPECT_EQ(table.match.multipliers[1], 8.0f);
  EXPECT_EQ(table.match.pocketStreak, 2);
  EXPECT_EQ(table.match.scores[0], 0.0f);
  EXPECT_EQ(table.match.multipliers[0], 1.0f);
}

TEST_F(PocketScoring, AWrongColourStopsAllScoringForTheRestOfTheShot) {
  table.settings.multiplierEnabled = 1;
  table.match.multipliers[0] = 3.0f;
  table.world.balls[1].init(Vec3{300.0f, 300.0f, 300.0f}, Vec3{}, colourBlue);
  table.world.balls[2].init(Vec3{300.0f, 300.0f, 310.0f}, Vec3{}, colourGreen);
  table.world.balls[3].init(Vec3{300.0f, 300.0f, 320.0f}, Vec3{}, colourRed);
  table.world.balls[4].init(Vec3{300.0f, 300.0f, 330.0f}, Vec3{}, colourBlue);
  pocketNow();
  EXPECT_EQ(table.match.scores[0], 3.0f);  // the first blue only: 1 x 3 x 1
  EXPECT_EQ(table.match.multipliers[0], 4.0f);
  EXPECT_EQ(table.match.pocketStreak, 1);
  EXPECT_EQ(table.match.foulCommitted, 1);
  for (int s = 1; s <= 4; ++s) EXPECT_EQ(table.world.balls[s].active, 0) << "slot " << s;
}

TEST_F(PocketScoring, CueBallFallingFirstVoidsTheBlueAfterIt) {
  activatePocket(table.world, 1, Vec3{-300.0f, 300.0f, 300.0f});
  table.world.balls[cueBallSlot].init(Vec3{300.0f, 300.0f, 300.0f}, Vec3{}, colourCueBall);
  table.world.balls[2].init(Vec3{-300.0f, 300.0f, 300.0f}, Vec3{}, colourBlue);
  pocketNow();
  EXPECT_EQ(table.match.scores[0], 0.0f);
  EXPECT_EQ(table.match.foulCommitted, 1);
  EXPECT_EQ(table.match.ballPocketedThisShot, 1);
  EXPECT_EQ(table.world.balls[2].active, 0);  // the blue stays off the table
  EXPECT_EQ(table.world.balls[cueBallSlot].active, 0);
}

TEST_F(PocketScoring, AFoulFromTheFirstTouchVoidsTheRightColour) {
  table.match.foulCommitted = 1;
  table.world.balls[0].init(Vec3{300.0f, 300.0f, 300.0f}, Vec3{}, colourBlue);
  pocketNow();
  EXPECT_EQ(table.match.scores[0], 0.0f);
  EXPECT_EQ(table.match.ballPocketedThisShot, 1);
}

TEST_F(PocketScoring, CueBallIsAlwaysAFoulEvenWhenNothingIsLeftButIt) {
  table.match.targetColour = colourCueBall;
  table.world.balls[cueBallSlot].init(Vec3{300.0f, 300.0f, 300.0f}, Vec3{}, colourCueBall);
  pocketNow();
  EXPECT_EQ(table.match.foulCommitted, 1);
  EXPECT_EQ(table.match.scores[0], 0.0f);
}

// Shots struck and played out tick by tick. The cue ball starts touching a blue ball, so every
// shot's first contact is legal; pocketed balls are laid inside pocket 0 before the stroke.
class ShotScoring : public ::testing::Test {
 protected:
  ShotScoring() {
    activatePocket(table.world, 0, Vec3{300.0f, 300.0f, 300.0f});
    table.world.balls[0].init(Vec3{-265.0f, 0.0f, 0.0f}, Vec3{}, colourBlue);
    table.world.balls[20].init(Vec3{0.0f, -300.0f, 0.0f}, Vec3{}, colourBlue);
    table.world.balls[21].init(Vec3{0.0f, -300.0f, 100.0f}, Vec3{}, colourBlue);
    // Enough points left that no score in these tests decides the round.
    table.world.balls[22].init(Vec3{0.0f, -300.0f, -200.0f}, Vec3{}, colourRed);
    table.putCueBall(Vec3{-300.0f, 0.0f, 0.0f});
    table.match.targetColour = colourBlue;
    table.match.breakShotPending = 0;
  }
  void layInPocket(int slot, BallColour colour, float offset = 0.0f) {
    table.world.balls[slot].init(Vec3{300.0f, 300.0f, 300.0f + offset}, Vec3{}, colour);
  }
  void shoot() {
    table.strike(Vec3{100.0f, 0.0f, 0.0f}, 1.0f);
    ASSERT_EQ(table.match.shotInProgress, 1);
    ASSERT_GT(table.playOutShot(), 0);
  }
  MatchTable table;
};

TEST_F(ShotScoring, MultipliedRunOverATurnThenTheMissResetsIt) {
  table.settings.multiplierEnabled = 1;

  layInPocket(1, colourBlue);
  layInPocket(2, colourBlue, 10.0f);
  shoot();
  EXPECT_EQ(table.match.scores[0], 5.0f);  // 1 x 1 x 1, then 1 x 2 x 2
  EXPECT_EQ(table.match.multipliers[0], 4.0f);
  EXPECT_EQ(table.match.currentPlayer, 0);  // a legal pocket keeps the turn
  EXPECT_EQ(table.match.ballInHand, 0);

  layInPocket(3, colourBlue);
  shoot();
  EXPECT_EQ(table.match.scores[0], 9.0f);  // 1 x 4 x 1
  EXPECT_EQ(table.match.multipliers[0], 5.0f);
  EXPECT_EQ(table.match.currentPlayer, 0);
  EXPECT_EQ(table.match.turnStartScores[0], 0.0f);

  shoot();  // touches the blue, pockets nothing
  EXPECT_EQ(table.match.scores[0], 9.0f);
  EXPECT_EQ(table.match.multipliers[0], 1.0f);
  EXPECT_EQ(table.match.currentPlayer, 1);
  EXPECT_EQ(table.match.turnStartScores, (std::array<float, 2>{9.0f, 0.0f}));
  EXPECT_EQ(table.match.ballInHand, 0);
  EXPECT_EQ(table.world.balls[cueBallSlot].active, 1);
}

TEST_F(ShotScoring, LastBlueWithAGreenLosesTheWholeTurnAtTheEvaluation) {
  // Player 1 scored 3 earlier in this turn; the last blue falls together with a green.
  table.match.scores = {3.0f, 2.0f};
  table.match.turnStartScores = {0.0f, 2.0f};
  table.world.balls[20].active = 0;
  table.world.balls[21].active = 0;
  table.world.balls[0].active = 0;
  table.world.balls[4].init(Vec3{300.0f, 300.0f, 339.0f}, Vec3{}, colourBlue);
  table.world.balls[6].init(Vec3{300.0f, 310.0f, 300.0f}, Vec3{}, colourGreen);
  table.world.balls[8].init(Vec3{-300.0f, -300.0f, -300.0f}, Vec3{}, colourRed);
  table.putCueBall(Vec3{300.0f, 300.0f, 345.0f});  // outside the pocket, touching the blue

  table.strike(Vec3{0.0f, 0.0f, 100.0f}, 1.0f);
  table.tick();
  EXPECT_EQ(table.match.cueBallTouched, 1);
  EXPECT_EQ(table.match.scores[0], 4.0f);  // the blue scored while the target was still blue
  EXPECT_EQ(table.match.foulCommitted, 1);  // the green did not
  EXPECT_EQ(table.match.shotInProgress, 1);

  ASSERT_GT(table.playOutShot(), 0);
  EXPECT_EQ(table.match.scores, (std::array<float, 2>{0.0f, 2.0f}));
  EXPECT_EQ(table.match.currentPlayer, 1);
  EXPECT_EQ(table.match.ballInHand, 1);
  EXPECT_EQ(table.match.foulCommitted, 0);
  EXPECT_EQ(table.world.balls[cueBallSlot].active, 0);
  EXPECT_EQ(table.match.targetColour, colourRed);
}

TEST_F(ShotScoring, RightColourThenTheCueBallLosesEarlierShotsOfTheTurnToo) {
  table.match.scores = {4.0f, 1.0f};
  table.match.turnStartScores = {2.0f, 1.0f};
  layInPocket(1, colourBlue);
  shoot();
  EXPECT_EQ(table.match.scores[0], 5.0f);
  EXPECT_EQ(table.match.currentPlayer, 0);

  // Next shot: a blue and then the cue ball itself.
  layInPocket(2, colourBlue);
  table.world.balls[0].active = 0;
  table.world.balls[cueBallSlot].position = Vec3{300.0f, 300.0f, 330.0f};
  table.strike(Vec3{100.0f, 0.0f, 0.0f}, 1.0f);
  // Both fall in the first tick and nothing else moves, so the shot is judged at once.
  table.tick();
  EXPECT_EQ(table.match.shotInProgress, 0);
  EXPECT_EQ(table.world.balls[2].active, 0);
  EXPECT_EQ(table.match.scores, (std::array<float, 2>{2.0f, 1.0f}));
  EXPECT_EQ(table.match.currentPlayer, 1);
  EXPECT_EQ(table.match.ballInHand, 1);
  EXPECT_EQ(table.match.roundsWon, (std::array<int32_t, 2>{0, 0}));
}

}  // namespace
}  // namespace morvane
