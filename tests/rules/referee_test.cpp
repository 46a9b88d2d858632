#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "rules/scoring.h"
#include "support/test_game.h"

namespace morvane {
namespace {

using Pair = std::array<float, 2>;
using Rounds = std::array<int32_t, 2>;

// Five red balls well apart (25 points) and the cue ball, at rest; then, unless `fresh`, the
// moment a shot that touched a ball and pocketed nothing has just come to rest.
void fiveReds(TestGame& table, Pair scores = {0.0f, 0.0f}, bool fresh = false) {
  for (int k = 0; k < 5; ++k) table.world.balls[10 + k].init(Vec3{-300, 100.0f * k - 300, 0}, Vec3{}, colourRed);
  table.putCueBall(Vec3{300.0f, 0.0f, 0.0f});
  table.match.targetColour = colourRed;
  table.match.scores = table.match.turnStartScores = scores;
  table.match.shotInProgress = table.match.cueBallTouched = fresh ? 0 : 1;
  table.match.breakShotPending = 0;
}

TEST(RoundEnd, DecidedOnceTheTrailerCannotDrawLevel) {
  const struct { const char* name; Pair scores; int player, winnerStarts, multipliers, rolling, cleared; Rounds rounds;
                 int next; } cases[] = {  // next: the player to move afterwards
      {"10 : 40 with 25 left, the loser starts", {10, 40}, 0, 0, 0, 0, 0, {0, 1}, 0},
      {"10 : 40, the winner starts", {10, 40}, 0, 1, 0, 0, 0, {0, 1}, 1},
      {"40 : 10 on player 2's shot", {40, 10}, 1, 0, 0, 0, 0, {1, 0}, 1},
      {"40 : 10 on player 2's shot, the winner starts", {40, 10}, 1, 1, 0, 0, 0, {1, 0}, 0},
      {"15 : 40 plays on: an ordinary miss", {15, 40}, 0, 0, 0, 0, 0, {0, 0}, 1},
      {"with multipliers only a clear table ends it", {10, 400}, 0, 0, 1, 0, 0, {0, 0}, 1},
      {"not while a ball rolls", {10, 40}, 0, 0, 0, 1, 0, {0, 0}, 0},
      {"a drawn round: nothing awarded, the player not to move starts", {12, 12}, 0, 0, 0, 0, 1, {0, 0}, 1},
  };
  for (const auto& c : cases) {
    TestGame table;
    fiveReds(table, c.scores);
    table.settings.player1Computer = table.settings.player2Computer = 1;  // to time the computer's turn too
    table.match.multipliers = {3.0f, 2.0f};
    table.match.currentPlayer = c.player;
    table.settings.winnerStartsNextRound = c.winnerStarts;
    table.settings.multiplierEnabled = c.multipliers;
    if (c.rolling != 0) table.world.balls[12].velocity = Vec3{0.0f, 0.0f, 500.0f};
    for (int k = 0; k < 5 * c.cleared; ++k) table.world.balls[10 + k].active = 0;
    table.match.ballPocketedThisShot = c.cleared;
    table.tick();
    EXPECT_EQ(table.match.roundsWon, c.rounds) << c.name;
    EXPECT_EQ(table.match.currentPlayer, c.next) << c.name;
    if (c.rounds == Rounds{0, 0} && c.cleared == 0) {
      EXPECT_EQ(table.activeBalls(), 6) << c.name;
      EXPECT_TRUE(table.recorded.calls.empty()) << c.name;
      continue;
    }
    // A fresh default diamond, scores and multipliers reset, the cue ball in hand.
    EXPECT_EQ(table.activeBalls(), 85) << c.name;
    EXPECT_EQ(remainingPoints(table.world), 107) << c.name;
    EXPECT_EQ(table.match.scores, (Pair{0.0f, 0.0f})) << c.name;
    EXPECT_EQ(table.match.turnStartScores, (Pair{0.0f, 0.0f})) << c.name;
    EXPECT_EQ(table.match.multipliers, (Pair{1.0f, 1.0f})) << c.name;
    EXPECT_EQ(table.match.ballInHand, 1) << c.name;
    EXPECT_EQ(table.match.targetColour, colourBlue) << c.name;
    EXPECT_EQ(table.match.breakShotPending, 1) << c.name;
    EXPECT_EQ(table.recorded.calls, (std::vector<std::string>{"loadSounds", "buildSphereMesh"})) << c.name;
    // The next tick judges the shot that ended the round and finds nothing to punish; only then
    // is it the computer's turn.
    table.tick();
    EXPECT_EQ(table.match.shotInProgress, 0) << c.name;
    EXPECT_EQ(table.match.currentPlayer, c.next) << c.name;
    EXPECT_EQ(table.match.ballInHand, 1) << c.name;
    EXPECT_EQ(table.activeBalls(), 85) << c.name;
    EXPECT_EQ(table.recorded.computerTurns, 0) << c.name;
    table.tick();
    EXPECT_EQ(table.recorded.computerTurns, 1) << c.name;
  }
}

TEST(RoundEnd, LastColouredBallFallingWithTheCueBallPutsARedBackAtTheCentre) {
  TestGame table;
  table.match.targetColour = colourBlue;
  table.world.pockets[0].centre = Vec3{300.0f, 300.0f, 300.0f};
  table.world.pockets[0].active = 1;
  table.world.balls[17].init(Vec3{300.0f, 300.0f, 300.0f}, Vec3{}, colourBlue);
  table.putCueBall(Vec3{300.0f, 300.0f, 330.0f});  // in the same pocket, touching the blue
  table.match.scores = table.match.turnStartScores = {6.0f, 8.0f};
  table.strike(Vec3{0.0f, 0.0f, 100.0f}, 1.0f);
  table.tick();
  EXPECT_EQ(table.match.shotInProgress, 0);
  Ball red;
  red.init(Vec3{}, Vec3{}, colourRed);
  EXPECT_EQ(table.world.balls[0], red);
  EXPECT_EQ(table.match.scores, (Pair{6.0f, 8.0f}));
  EXPECT_EQ(table.match.targetColour, colourRed);
  EXPECT_EQ(table.match.currentPlayer, 1);
  EXPECT_EQ(table.match.ballInHand, 1);
  table.tick();
  EXPECT_EQ(table.match.roundsWon, (Rounds{0, 0}));
  EXPECT_EQ(table.activeBalls(), 1);  // the red alone
  EXPECT_TRUE(table.recorded.calls.empty());
}

TEST(ShotEvaluation, TouchingNothingIsAFoulSeenOnlyAtRest) {
  TestGame table;
  fiveReds(table, {7.0f, 3.0f}, true);
  table.putCueBall(Vec3{0.0f, 0.0f, 0.0f});
  table.match.turnStartScores = {4.0f, 3.0f};  // 3 points scored earlier in this turn
  table.match.multipliers = {3.0f, 1.0f};
  table.strike(Vec3{0.0f, 100.0f, 0.0f}, 10.0f);
  int ticks = 0;
  for (; table.match.shotInProgress != 0 && ticks < 1000; ++ticks) {
    ASSERT_EQ(table.match.foulCommitted, 0) << "tick " << ticks;
    ASSERT_EQ(table.world.balls[cueBallSlot].active, 1) << "tick " << ticks;
    table.tick();
  }
  EXPECT_TRUE(ticks >= 100 && ticks <= 102) << ticks;
  EXPECT_EQ(table.match.scores, (Pair{4.0f, 3.0f}));
  EXPECT_EQ(table.match.multipliers[0], 1.0f);
  EXPECT_EQ(table.world.balls[cueBallSlot].active, 0);
  EXPECT_EQ(table.match.ballInHand, 1);
  EXPECT_EQ(table.match.currentPlayer, 1);
  EXPECT_EQ(table.match.foulCommitted, 0);
}

TEST(Strike, RefusedWhileABallMovesOrTheCueBallIsInHandOtherwiseCappedAt200) {
  TestGame table;
  fiveReds(table, {}, true);
  table.world.balls[12].velocity = Vec3{0.0f, 0.0f, 5.0f};
  const TestGame before = table;
  table.strike(Vec3{0.0f, 0.0f, 100.0f}, 250.0f);
  EXPECT_EQ(table.world, before.world);
  EXPECT_EQ(table.match, before.match);
  EXPECT_EQ(table.cue.shotStrength, 250.0f);  // not even capped
  table.world.balls[12].velocity = Vec3{};
  table.match.ballInHand = 1;
  table.strike(Vec3{0.0f, 0.0f, 100.0f}, 50.0f);
  EXPECT_EQ(table.world.balls[cueBallSlot].velocity, (Vec3{}));
  EXPECT_EQ(table.match.shotInProgress, 0);
  EXPECT_TRUE(table.sink.played.empty());

  table.match.ballInHand = 0;
  table.match.pocketStreak = table.match.cueBallTouched = table.match.ballPocketedThisShot = 1;
  table.match.breakShotPending = table.match.foulCommitted = 1;
  table.strike(Vec3{30.0f, 40.0f, 0.0f}, 250.0f);  // along the cue whatever its length
  EXPECT_EQ(table.cue.shotStrength, 200.0f);
  EXPECT_EQ(table.world.balls[cueBallSlot].velocity, (Vec3{12000.0f, 16000.0f, 0.0f}));
  MatchState expected = before.match;
  expected.shotInProgress = expected.foulCommitted = 1;  // the foul is left for the referee
  expected.pocketStreak = expected.cueBallTouched = expected.ballPocketedThisShot = expected.breakShotPending = 0;
  EXPECT_EQ(table.match, expected);
  EXPECT_EQ(table.sink.played, (std::vector<SoundId>{SoundId::shot}));
}

TEST(CueBallPlacement, KeepsClearOfBallsAndActivePocketsWithinTheWalls) {
  World world;
  world.arenaHalfSize = 500.0f;
  world.balls[5].init(Vec3{0.0f, 0.0f, 0.0f}, Vec3{}, colourBlue);
  world.balls[6].position = Vec3{100.0f, 100.0f, 100.0f};  // an empty slot
  world.pockets[3].centre = Vec3{300.0f, 300.0f, 300.0f};
  world.pockets[3].active = 1;
  world.pockets[4].centre = Vec3{-300.0f, -300.0f, -300.0f};  // inactive
  const std::pair<Vec3, bool> spots[] = {
      {{39.99f, 0, 0}, false}, {{40, 0, 0}, true}, {{0, 28.27f, -28.27f}, false}, {{100, 100, 100}, true},
      {{300, 300, 300}, false}, {{339.99f, 260.01f, 300}, false}, {{340, 300, 300}, true}, {{-300, -300, -300}, true},
      {{500, -500, 500}, true}, {{500.01f, 0, 0}, false}, {{0, -500.01f, 0}, false}};
  for (const auto& [p, ok] : spots) EXPECT_EQ(cueBallPlacementOk(world, p), ok) << p.x << " " << p.y << " " << p.z;
}

TEST(NextPocket, WinsTheRoundAndTheMatchWhenOneMoreTargetBallPutsTheShooterOutOfReach) {
  TestGame table;
  for (int s = 0; s < 3; ++s) table.world.balls[s].init(Vec3{0.0f, 100.0f * s, 0.0f}, Vec3{}, colourBlue);
  table.match.targetColour = colourBlue;
  table.settings.roundsPerMatch = 5;
  table.match.roundsWon = {2, 0};
  table.match.scores = {2.0f, 1.0f};  // 3 : 1 with 2 left would still be open
  EXPECT_EQ(winningScore(table.world, table.match), 3);
  EXPECT_FALSE(nextPocketWinsRound(table.world, table.match));
  EXPECT_FALSE(nextPocketWinsMatch(table.world, table.match, table.settings));  // a match point is not enough
  table.match.scores = {3.0f, 1.0f};  // 4 : 1 with 2 left is decided
  EXPECT_TRUE(nextPocketWinsRound(table.world, table.match));
  EXPECT_TRUE(nextPocketWinsMatch(table.world, table.match, table.settings));
  table.match.currentPlayer = 1;  // the player to move is the one asked about
  EXPECT_FALSE(nextPocketWinsRound(table.world, table.match));
  table.match.scores = {1.0f, 3.0f};
  EXPECT_TRUE(nextPocketWinsRound(table.world, table.match));
  EXPECT_FALSE(nextPocketWinsMatch(table.world, table.match, table.settings));  // the other player's rounds

  table.match = MatchState{};  // the last ball decides for whoever pockets it, even from behind: 0 + 5 against 3
  for (int s = 1; s < 3; ++s) table.world.balls[s].active = 0;
  table.world.balls[0].colour = table.match.targetColour = colourRed;
  table.match.scores = {0.0f, 3.0f};
  EXPECT_EQ(winningScore(table.world, table.match), 4);
  ASSERT_TRUE(nextPocketWinsRound(table.world, table.match));
  const struct { int32_t roundsPerMatch, roundsWon, wins; } cases[] = {
      {5, 2, 1}, {5, 1, 0}, {4, 2, 1}, {4, 1, 0}, {2, 1, 1}, {2, 0, 0}, {1, 0, 1}, {0, 0, 1}};
  for (const auto& c : cases) {
    table.settings.roundsPerMatch = c.roundsPerMatch;
    table.match.roundsWon = {c.roundsWon, 0};
    EXPECT_EQ(nextPocketWinsMatch(table.world, table.match, table.settings), c.wins != 0)
        << c.roundsPerMatch << " rounds, " << c.roundsWon << " won";
  }
}

TEST(MatchEnd, MoreThanHalfOfTheRoundsWinsWithTheWinnersNameInTheMessage) {
  const std::string messages[] = {"Anna j\xE1t\xE9kos nyerte a meccset!", "B\xE9la j\xE1t\xE9kos nyerte a meccset!"};
  for (const auto& [roundsPerMatch, needed] : {std::pair{5, 3}, {4, 3}, {3, 2}, {2, 2}, {1, 1}, {0, 1}}) {
    for (int winner = 0; winner < 2; ++winner) {
      TestGame table;
      table.settings.player1Name = "Anna";
      table.settings.player2Name = "B\xE9la";  // Béla in Windows-1250
      table.settings.roundsPerMatch = roundsPerMatch;
      fiveReds(table, {}, true);
      table.match.roundsWon = {needed - 1, needed - 1};
      table.tick();
      EXPECT_TRUE(table.recorded.matchEnds.empty()) << roundsPerMatch << " rounds";
      table.match.roundsWon[winner] = needed;
      const World before = table.world;
      table.tick();
      ASSERT_EQ(table.recorded.matchEnds.size(), 1u) << roundsPerMatch << " rounds";
      EXPECT_EQ(table.recorded.matchEnds[0].winner, winner);
      EXPECT_EQ(table.recorded.matchEnds[0].message, messages[winner]);
      EXPECT_EQ(table.world, before);
    }
  }
}

TEST(ComputerTurn, OnlyBetweenShotsForAComputerToMove) {
  TestGame table;
  fiveReds(table, {}, true);
  table.settings.player2Computer = 1;
  const auto turnsAfterTick = [&table] { return table.tick(), table.recorded.computerTurns; };
  EXPECT_EQ(turnsAfterTick(), 0);  // player 1, a human, to move
  table.match.currentPlayer = 1;
  EXPECT_EQ(turnsAfterTick(), 1);
  table.match.ballInHand = 1;  // it places the cue ball itself
  EXPECT_EQ(turnsAfterTick(), 2);
  table.match.computerShotPending = 1;  // the cue is turning towards the chosen shot
  EXPECT_EQ(turnsAfterTick(), 2);
  table.match.computerShotPending = 0;
  table.match.shotInProgress = 1;
  table.world.balls[11].velocity = Vec3{0.0f, 0.0f, 5000.0f};  // still rolling
  EXPECT_EQ(turnsAfterTick(), 2);
}

}  // namespace
}  // namespace morvane
