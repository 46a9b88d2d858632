#include <gtest/gtest.h>

#include <vector>

#include "rules/scoring.h"
#include "support/test_game.h"

namespace morvane {
namespace {

using Pair = std::array<float, 2>;

TEST(PocketScoring, RightColoursScoreUntilTheFirstFoulOfTheShot) {
  const BallColour blue = colourBlue, green = colourGreen, red = colourRed, cue = colourCueBall;
  const struct {
    const char* name;
    std::vector<BallColour> fallen;  // in this order
    int player, multipliersOn, foulBefore;
    BallColour target;
    Pair multipliersBefore, scores, multipliers;
    int streak, foul;
  } cases[] = {
      {"without multipliers each scores its value", {blue, blue, blue}, 0, 0, 0, blue, {1, 1}, {3, 0}, {1, 1}, 1, 0},
      // 2 x 2 x 1 = 4, multiplier 2 + 2 = 4; then 2 x 4 x 2 = 16, multiplier 4 + 4 = 8.
      {"streak and multiplier grow within the shot", {green, green}, 1, 1, 0, green, {1, 2}, {0, 20}, {1, 8}, 2, 0},
      // The first blue only: 1 x 3 x 1.
      {"a wrong colour after a right one stops all scoring", {blue, green, red, blue}, 0, 1, 0, blue, {3, 1}, {3, 0},
       {4, 1}, 1, 1},
      {"the cue ball falling first voids the blue after it", {cue, blue}, 0, 0, 0, blue, {1, 1}, {0, 0}, {1, 1}, 0, 1},
      {"a foul from the first touch voids the right colour", {blue}, 0, 0, 1, blue, {1, 1}, {0, 0}, {1, 1}, 0, 1},
      {"the cue ball is a foul even when nothing else is left", {cue}, 0, 0, 0, cue, {1, 1}, {0, 0}, {1, 1}, 0, 1},
  };
  for (const auto& c : cases) {
    MatchSettings settings = defaultMatchSettings();
    settings.multiplierEnabled = c.multipliersOn;
    MatchState match{.currentPlayer = c.player, .foulCommitted = c.foulBefore, .multipliers = c.multipliersBefore,
                     .targetColour = c.target};
    for (BallColour colour : c.fallen) {
      Ball ball;
      ball.init(Vec3{}, Vec3{}, colour);
      scorePocketedBall(ball, match, settings);
      EXPECT_EQ(ball.active, 0) << c.name;
    }
    EXPECT_EQ(match.scores, c.scores) << c.name;
    EXPECT_EQ(match.multipliers, c.multipliers) << c.name;
    EXPECT_EQ(match.pocketStreak, c.streak) << c.name;
    EXPECT_EQ(match.foulCommitted, c.foul) << c.name;
    EXPECT_EQ(match.ballPocketedThisShot, 1) << c.name;
  }
}

TEST(ShotScoring, MultipliedRunOverATurnThenTheMissResetsIt) {
  // The cue ball starts touching a blue ball, so every shot's first contact is legal; the balls
  // to fall are laid inside the pocket before the stroke.
  TestGame table;
  table.settings.multiplierEnabled = 1;
  table.world.pockets[0].centre = Vec3{300.0f, 300.0f, 300.0f};
  table.world.pockets[0].active = 1;
  table.world.balls[0].init(Vec3{-265.0f, 0.0f, 0.0f}, Vec3{}, colourBlue);
  table.world.balls[22].init(Vec3{0.0f, -300.0f, -200.0f}, Vec3{}, colourRed);  // no score here decides the round
  table.putCueBall(Vec3{-300.0f, 0.0f, 0.0f});
  table.match.targetColour = colourBlue;
  table.match.breakShotPending = 0;
  const auto shoot = [&table](std::vector<int> slotsInThePocket) {
    for (int slot : slotsInThePocket) table.world.balls[slot].init(Vec3{300.0f, 300.0f, 300.0f}, Vec3{}, colourBlue);
    table.strike(Vec3{100.0f, 0.0f, 0.0f}, 1.0f);
    ASSERT_EQ(table.match.shotInProgress, 1);
    ASSERT_GT(table.playOutShot(), 0);
  };
  shoot({1, 2});
  EXPECT_EQ(table.match.scores[0], 5.0f);  // 1 x 1 x 1, then 1 x 2 x 2
  EXPECT_EQ(table.match.multipliers[0], 4.0f);
  EXPECT_EQ(table.match.currentPlayer, 0);  // a legal pocket keeps the turn
  shoot({3});
  EXPECT_EQ(table.match.scores[0], 9.0f);  // 1 x 4 x 1
  EXPECT_EQ(table.match.multipliers[0], 5.0f);
  EXPECT_EQ(table.match.currentPlayer, 0);
  shoot({});  // touches the blue, pockets nothing
  EXPECT_EQ(table.match.scores[0], 9.0f);
  EXPECT_EQ(table.match.multipliers[0], 1.0f);
  EXPECT_EQ(table.match.currentPlayer, 1);
  EXPECT_EQ(table.match.turnStartScores, (Pair{9.0f, 0.0f}));
  EXPECT_EQ(table.match.ballInHand, 0);
  EXPECT_EQ(table.world.balls[cueBallSlot].active, 1);
}

}  // namespace
}  // namespace morvane
