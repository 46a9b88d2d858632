// The computer's trial shot: its verdicts, that it stops at a foul, and that it leaves the
// tables exactly as it found them. Each case runs on a copy of the tables (the form the search
// uses on its workers) and on the live game (the straightforward form).
#include <gtest/gtest.h>

#include <memory>

#include "ai/pre_simulation.h"
#include "ai/trial_simulator.h"
#include "ai_test_support.h"
#include "rules/scoring.h"

namespace morvane {
namespace {

// An empty arena of half-size 500 with the cue ball at the origin, on the table, blue to play.
Game openTable() {
  Game game;
  game.settings = defaultMatchSettings();
  game.world.arenaHalfSize = 500.0f;
  game.world.balls[cueBallSlot].init(Vec3{}, Vec3{}, colourCueBall);
  game.match.ballInHand = 0;
  game.match.breakShotPending = 0;
  game.match.targetColour = colourBlue;
  game.cue.shotStrength = 50.0f;
  return game;
}

void addPocket(Game& game, int slot, Vec3 centre) {
  game.world.pockets[slot].centre = centre;
  game.world.pockets[slot].active = 1;
}

ShotTable tableOf(const Game& game) { return ShotTable{game.world, game.match, game.cue}; }

// Plays the trial on a fresh simulator and returns it, so the end state can be examined.
std::unique_ptr<TrialSimulator> trialOnCopy(const Game& game, Vec3 aim, bool requirePocket, TrialOutcome& outcome) {
  auto simulator = std::make_unique<TrialSimulator>();
  simulator->setBase(tableOf(game), game.settings);
  outcome = simulator->play(aim, game.cue.shotStrength, requirePocket);
  return simulator;
}

// Both forms give the verdict expected.
void expectVerdict(const Game& start, Vec3 aim, bool requirePocket, bool expected) {
  ShotTable table = tableOf(start);
  EXPECT_EQ(preSimulateShot(table, start.settings, aim, requirePocket), expected);
  Game live = start;
  EXPECT_EQ(preSimulateShotInPlace(live, aim, requirePocket), expected);
}

TEST(PreSimulation, WrongColourFirstTouchStopsTheTrialAtOnce) {
  Game game = openTable();
  game.world.balls[0].init(Vec3{45.0f, 0.0f, 0.0f}, Vec3{}, colourGreen);
  game.world.balls[1].init(Vec3{300.0f, 300.0f, 300.0f}, Vec3{}, colourBlue);
  expectVerdict(game, Vec3{1.0f, 0.0f, 0.0f}, false, false);

  TrialOutcome outcome;
  auto trial = trialOnCopy(game, Vec3{1.0f, 0.0f, 0.0f}, false, outcome);
  const ShotTable& end = trial->table();
  EXPECT_EQ(end.match.foulCommitted, 1);
  EXPECT_EQ(end.match.cueBallTouched, 1);
  // Stopped with the step of the contact (the first: 10 units at strength 50): the green ball
  // has taken the cue ball's speed but not yet moved.
  EXPECT_EQ(outcome.steps, 1);
  EXPECT_EQ(end.world.balls[0].position.x, 45.0f);
  EXPECT_GT(end.world.balls[0].velocity.x, 4000.0f);
}

TEST(PreSimulation, ACueBallFallingAfterAPocketedBallFailsTheShot) {
  Game game = openTable();
  game.world.balls[0].init(Vec3{0.0f, 200.0f, 0.0f}, Vec3{}, colourBlue);  // falls in the first step
  addPocket(game, 0, Vec3{0.0f, 200.0f, 0.0f});
  // Overlapping behind the cue ball: touched in the first step (blue, so no foul), not pushed.
  game.world.balls[1].init(Vec3{-10.0f, 0.0f, 0.0f}, Vec3{}, colourBlue);
  const Vec3 aim{1.0f, 0.0f, 0.0f};

  Game withoutCuePocket = game;
  expectVerdict(withoutCuePocket, aim, true, true);

  addPocket(game, 1, Vec3{300.0f, 0.0f, 0.0f});  // on the cue ball's way
  expectVerdict(game, aim, true, false);
  TrialOutcome outcome;
  auto trial = trialOnCopy(game, aim, true, outcome);
  const ShotTable& end = trial->table();
  EXPECT_EQ(end.world.balls[0].active, 0);
  EXPECT_EQ(end.world.balls[cueBallSlot].active, 0);
  EXPECT_EQ(end.match.scores[0], 1.0f);  // the blue scored before the cue ball fell
  EXPECT_EQ(end.match.foulCommitted, 1);
}

TEST(PreSimulation, ACleanTouchIsEnoughOnlyWithoutARequiredPocket) {
  Game game = openTable();
  game.world.balls[0].init(Vec3{100.0f, 0.0f, 0.0f}, Vec3{}, colourBlue);
  expectVerdict(game, Vec3{5.0f, 0.0f, 0.0f}, false, true);
  expectVerdict(game, Vec3{5.0f, 0.0f, 0.0f}, true, false);
  // Missing the ball is no touch at all.
  expectVerdict(game, Vec3{0.0f, 3.0f, 0.0f}, false, false);
}

TEST(PreSimulation, ZeroStrengthTouchesNothing) {
  Game game = openTable();
  game.world.balls[0].init(Vec3{100.0f, 0.0f, 0.0f}, Vec3{}, colourBlue);
  game.cue.shotStrength = 0.0f;
  expectVerdict(game, Vec3{1.0f, 0.0f, 0.0f}, false, false);
  TrialOutcome outcome;
  trialOnCopy(game, Vec3{1.0f, 0.0f, 0.0f}, false, outcome);
  EXPECT_EQ(outcome.steps, 0);
}

TEST(PreSimulation, EveryTrialLeavesTheTablesAsTheyWereApartFromStreakAndCappedStrength) {
  Game start = gameAtTurn(computerSettings(5, false, 500.0f, 0), 77, 1);
  start.settings.multiplierEnabled = 1;
  start.match.ballInHand = 0;
  start.world.balls[cueBallSlot].init(Vec3{-300.0f, -20.0f, -20.0f}, Vec3{}, colourCueBall);
  start.match.scores = {12.0f, 7.0f};
  start.match.multipliers = {3.0f, 2.0f};
  start.match.turnStartScores = {5.0f, 7.0f};
  start.match.cueBallTouched = 1;
  start.match.ballPocketedThisShot = 1;
  start.match.pocketStreak = 4;
  start.cue.shotStrength = 350.0f;
  const Vec3 aims[] = {{1.0f, 0.0f, 0.0f}, {3.0f, 0.1f, -0.2f}, {0.0f, 1.0f, 0.0f}, {-1.0f, 0.0f, 0.3f}};
  for (const Vec3& aim : aims) {
    Game live = start;
    preSimulateShotInPlace(live, aim, true);
    ShotTable copy = tableOf(start);
    preSimulateShot(copy, start.settings, aim, true);
    for (const auto& [world, match, cue] : {std::tie(live.world, live.match, live.cue),
                                             std::tie(copy.world, copy.match, copy.cue)}) {
      EXPECT_EQ(worldHash(world), worldHash(start.world));
      MatchState expected = start.match;
      expected.pocketStreak = match.pocketStreak;
      EXPECT_EQ(match, expected);
      EXPECT_TRUE(sameBits(&match.scores, &start.match.scores, sizeof match.scores));
      EXPECT_TRUE(sameBits(&match.multipliers, &start.match.multipliers, sizeof match.multipliers));
      EXPECT_TRUE(sameBits(&cue.cueDirection, &start.cue.cueDirection, sizeof cue.cueDirection));
      EXPECT_EQ(cue.shotStrength, 200.0f);
    }
    EXPECT_EQ(live.match.pocketStreak, copy.match.pocketStreak);
  }
}

TEST(PreSimulation, ABreakTrialClearsTheBreakFlagOnlyWhileItRuns) {
  Game game = gameAtTurn(computerSettings(5, false, 500.0f, 0), 3, 1);
  game.match.ballInHand = 0;
  game.world.balls[cueBallSlot].init(Vec3{-300.0f, -20.0f, -20.0f}, Vec3{}, colourCueBall);
  game.cue.shotStrength = 200.0f;
  ASSERT_EQ(game.match.breakShotPending, 1);
  TrialOutcome outcome;
  auto trial = trialOnCopy(game, Vec3{1.0f, 0.0f, 0.0f}, true, outcome);
  EXPECT_EQ(trial->table().match.breakShotPending, 0);
  ShotTable copy = tableOf(game);
  preSimulateShot(copy, game.settings, Vec3{1.0f, 0.0f, 0.0f}, true);
  EXPECT_EQ(copy.match.breakShotPending, 1);
  preSimulateShotInPlace(game, Vec3{1.0f, 0.0f, 0.0f}, true);
  EXPECT_EQ(game.match.breakShotPending, 1);
}

}  // namespace
}  // namespace morvane
