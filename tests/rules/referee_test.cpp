#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/match_table.h"

namespace morvane {
namespace {

using Pair = std::array<float, 2>;
using Rounds = std::array<int32_t, 2>;

int activeBalls(const World& world) {
  int n = 0;
  for (const Ball& ball : world.balls) n += ball.active != 0 ? 1 : 0;
  return n;
}

// Five red balls well apart (25 points), the cue ball on the table, everything at rest.
void fiveRedsAndTheCueBall(MatchTable& table) {
  for (int k = 0; k < 5; ++k) {
    table.world.balls[10 + k].init(Vec3{-300.0f, -300.0f + 100.0f * k, 0.0f}, Vec3{}, colourRed);
  }
  table.putCueBall(Vec3{300.0f, 0.0f, 0.0f});
  table.match.targetColour = colourRed;
}

// The balls have just come to rest after a shot that touched a ball and pocketed nothing.
void shotJustEnded(MatchTable& table) {
  table.match.shotInProgress = 1;
  table.match.cueBallTouched = 1;
  table.match.ballPocketedThisShot = 0;
  table.match.breakShotPending = 0;
}

class RoundEnd : public ::testing::Test {
 protected:
  RoundEnd() {
    table.settings.multiplierEnabled = 0;
    table.settings.winnerStartsNextRound = 0;
    fiveRedsAndTheCueBall(table);
    shotJustEnded(table);
  }
  void setScores(Pair scores) {
    table.match.scores = scores;
    table.match.turnStartScores = scores;
  }
  MatchTable table;
};

TEST_F(RoundEnd, TrailingPlayerWhoCannotCatchUpLosesTheRoundAtOnce) {
  setScores({10.0f, 40.0f});  // 10 + 25 < 40
  table.tick();
  EXPECT_EQ(table.match.roundsWon, (Rounds{0, 1}));
  EXPECT_EQ(table.world.balls[cueBallSlot].active, 0);
  EXPECT_EQ(table.match.ballInHand, 1);
  EXPECT_EQ(table.match.foulCommitted, 0);
  // A fresh default diamond: 85 balls, 107 points, scores back to zero.
  EXPECT_EQ(activeBalls(table.world), 85);
  EXPECT_EQ(remainingPoints(table.world), 107);
  EXPECT_EQ(table.match.scores, (Pair{0.0f, 0.0f}));
  EXPECT_EQ(table.match.targetColour, colourBlue);
  EXPECT_EQ(table.match.breakShotPending, 1);
  EXPECT_EQ(table.hooks.calls, (std::vector<std::string>{"loadSounds", "buildSphereMesh"}));
  EXPECT_EQ(table.match.currentPlayer, 0);  // the loser starts
  EXPECT_EQ(table.match.shotInProgress, 1);

  // The next tick judges the shot that ended the round; it finds nothing to punish.
  table.tick();
  EXPECT_EQ(table.match.shotInProgress, 0);
  EXPECT_EQ(table.match.currentPlayer, 0);
  EXPECT_EQ(table.match.ballInHand, 1);
  EXPECT_EQ(table.match.roundsWon, (Rounds{0, 1}));
  EXPECT_EQ(table.match.scores, (Pair{0.0f, 0.0f}));
  EXPECT_EQ(activeBalls(table.world), 85);
}

TEST_F(RoundEnd, WinnerStartsTheNextRoundWhenChosen) {
  table.settings.winnerStartsNextRound = 1;
  setScores({10.0f, 40.0f});
  table.tick();
  EXPECT_EQ(table.match.roundsWon, (Rounds{0, 1}));
  EXPECT_EQ(table.match.currentPlayer, 1);
}

TEST_F(RoundEnd, PlayerOneCanWinTheRoundOnTheOpponentsShot) {
  table.match.currentPlayer = 1;
  setScores({40.0f, 10.0f});
  table.tick();
  EXPECT_EQ(table.match.roundsWon, (Rounds{1, 0}));
  EXPECT_EQ(table.match.currentPlayer, 1);  // the loser

  MatchTable other;
  other.settings.winnerStartsNextRound = 1;
  fiveRedsAndTheCueBall(other);
  shotJustEnded(other);
  other.match.currentPlayer = 1;
  other.match.scores = {40.0f, 10.0f};
  other.tick();
  EXPECT_EQ(other.match.currentPlayer, 0);  // the winner
}

TEST_F(RoundEnd, ATrailerWhoCanStillDrawLevelPlaysOn) {
  setScores({15.0f, 40.0f});  // 15 + 25 >= 40
  table.tick();
  EXPECT_EQ(table.match.roundsWon, (Rounds{0, 0}));
  EXPECT_EQ(activeBalls(table.world), 6);
  // An ordinary miss instead.
  EXPECT_EQ(table.match.shotInProgress, 0);
  EXPECT_EQ(table.match.currentPlayer, 1);
  EXPECT_EQ(table.match.turnStartScores, (Pair{15.0f, 40.0f}));
  EXPECT_EQ(table.match.ballInHand, 0);
  EXPECT_TRUE(table.hooks.calls.empty());
}

TEST_F(RoundEnd, WithMultipliersTheRoundRunsUntilTheTableIsClear) {
  table.settings.multiplierEnabled = 1;
  setScores({10.0f, 400.0f});
  table.tick();
  EXPECT_EQ(table.match.roundsWon, (Rounds{0, 0}));
  EXPECT_TRUE(roundUndecided(table.world, table.match, table.settings));
}

TEST_F(RoundEnd, WaitsForTheBallsToStopAndForTheFoulToBeSettled) {
  setScores({10.0f, 40.0f});
  table.world.balls[12].velocity = Vec3{0.0f, 0.0f, 500.0f};
  table.tick();
  EXPECT_EQ(table.match.roundsWon, (Rounds{0, 0}));

  // A foul restoring the shooter's score can decide the round: it ends on the following tick.
  MatchTable fouled;
  fiveRedsAndTheCueBall(fouled);
  shotJustEnded(fouled);
  fouled.match.scores = {30.0f, 40.0f};           // 30 + 25 >= 40: still open
  fouled.match.turnStartScores = {10.0f, 40.0f};  // 10 + 25 < 40 once the turn is lost
  fouled.match.foulCommitted = 1;
  fouled.tick();
  EXPECT_EQ(fouled.match.roundsWon, (Rounds{0, 0}));
  EXPECT_EQ(fouled.match.scores, (Pair{10.0f, 40.0f}));
  EXPECT_EQ(fouled.match.currentPlayer, 1);
  fouled.tick();
  EXPECT_EQ(fouled.match.roundsWon, (Rounds{0, 1}));
}

TEST_F(RoundEnd, ADrawnRoundAwardsNothingAndThePlayerNotToMoveStarts) {
  for (int k = 0; k < 5; ++k) table.world.balls[10 + k].active = 0;
  table.match.ballPocketedThisShot = 1;
  setScores({12.0f, 12.0f});
  table.tick();
  EXPECT_EQ(table.match.roundsWon, (Rounds{0, 0}));
  EXPECT_EQ(activeBalls(table.world), 85);
  EXPECT_EQ(table.match.currentPlayer, 1);
}

TEST_F(RoundEnd, LastColouredBallFallingWithTheCueBallPutsARedBackAtTheCentre) {
  for (int k = 0; k < 5; ++k) table.world.balls[10 + k].active = 0;
  table.match = MatchState{};
  table.match.targetColour = colourBlue;
  table.world.pockets[0].centre = Vec3{300.0f, 300.0f, 300.0f};
  table.world.pockets[0].active = 1;
  table.world.balls[17].init(Vec3{300.0f, 300.0f, 300.0f}, Vec3{}, colourBlue);
  table.putCueBall(Vec3{300.0f, 300.0f, 330.0f});  // in the same pocket, touching the blue
  table.match.scores = {6.0f, 8.0f};
  table.match.turnStartScores = {6.0f, 8.0f};
  table.strike(Vec3{0.0f, 0.0f, 100.0f}, 1.0f);

  table.tick();
  EXPECT_EQ(table.match.shotInProgress, 0);
  EXPECT_EQ(table.world.balls[17].active, 0);
  const Ball& red = table.world.balls[0];
  EXPECT_EQ(red.active, 1);
  EXPECT_EQ(red.colour, colourRed);
  EXPECT_EQ(red.position, (Vec3{0.0f, 0.0f, 0.0f}));
  EXPECT_EQ(red.velocity, (Vec3{0.0f, 0.0f, 0.0f}));
  EXPECT_EQ(table.match.scores, (Pair{6.0f, 8.0f}));
  EXPECT_EQ(table.match.targetColour, colourRed);
  EXPECT_EQ(table.match.currentPlayer, 1);
  EXPECT_EQ(table.match.ballInHand, 1);

  table.tick();
  EXPECT_EQ(table.match.roundsWon, (Rounds{0, 0}));
  EXPECT_EQ(activeBalls(table.world), 1);
  EXPECT_TRUE(table.hooks.calls.empty());
}

TEST(ShotEvaluation, TouchingNothingIsAFoulSeenOnlyAtRest) {
  MatchTable table;
  fiveRedsAndTheCueBall(table);
  table.putCueBall(Vec3{0.0f, 0.0f, 0.0f});
  table.match.scores = {7.0f, 3.0f};
  table.match.turnStartScores = {4.0f, 3.0f};  // 3 points scored earlier in this turn
  table.match.multipliers = {3.0f, 1.0f};
  table.strike(Vec3{0.0f, 100.0f, 0.0f}, 10.0f);

  int ticks = 0;
  while (table.match.shotInProgress != 0 && ticks < 1000) {
    ASSERT_EQ(table.match.foulCommitted, 0) << "tick " << ticks;
    ASSERT_EQ(table.world.balls[cueBallSlot].active, 1) << "tick " << ticks;
    table.tick();
    ++ticks;
  }
  EXPECT_GE(ticks, 100);
  EXPECT_LE(ticks, 102);
  EXPECT_EQ(table.match.cueBallTouched, 0);
  EXPECT_EQ(table.match.scores, (Pair{4.0f, 3.0f}));
  EXPECT_EQ(table.match.multipliers[0], 1.0f);
  EXPECT_EQ(table.world.balls[cueBallSlot].active, 0);
  EXPECT_EQ(table.match.ballInHand, 1);
  EXPECT_EQ(table.match.currentPlayer, 1);
  EXPECT_EQ(table.match.foulCommitted, 0);
}

TEST(ShotEvaluation, WrongFirstContactIsFlaggedWhileRolling) {
  MatchTable table;
  table.world.balls[0].init(Vec3{0.0f, 0.0f, 0.0f}, Vec3{}, colourGreen);
  table.world.balls[1].init(Vec3{0.0f, 300.0f, 0.0f}, Vec3{}, colourBlue);
  table.world.balls[2].init(Vec3{0.0f, -300.0f, 0.0f}, Vec3{}, colourRed);
  table.putCueBall(Vec3{-200.0f, 0.0f, 0.0f});
  table.match.targetColour = colourBlue;
  table.strike(Vec3{100.0f, 0.0f, 0.0f}, 50.0f);

  int foulTick = -1;
  for (int t = 0; t < 2000 && table.match.shotInProgress != 0; ++t) {
    table.tick();
    if (foulTick < 0 && table.match.foulCommitted != 0) foulTick = t;
    if (foulTick >= 0 && table.match.shotInProgress != 0) {
      ASSERT_EQ(table.match.foulCommitted, 1) << "tick " << t;
    }
  }
  // 160 units to contact at about 10 units per tick.
  EXPECT_GE(foulTick, 15);
  EXPECT_LE(foulTick, 18);
  EXPECT_EQ(table.match.shotInProgress, 0);
  EXPECT_EQ(table.match.currentPlayer, 1);
  EXPECT_EQ(table.match.ballInHand, 1);
  EXPECT_EQ(table.match.foulCommitted, 0);
  EXPECT_NE(table.world.balls[0].position, (Vec3{0.0f, 0.0f, 0.0f}));  // the green was sent off
  EXPECT_GE(table.sink.count(SoundId::hardClick), 1);
}

TEST(Strike, RefusedWhileABallMovesOrTheCueBallIsInHand) {
  MatchTable table;
  fiveRedsAndTheCueBall(table);
  table.world.balls[12].velocity = Vec3{0.0f, 0.0f, 5.0f};
  const World world = table.world;
  const MatchState match = table.match;
  table.strike(Vec3{0.0f, 0.0f, 100.0f}, 250.0f);
  EXPECT_EQ(table.world, world);
  EXPECT_EQ(table.match, match);
  EXPECT_EQ(table.cue.shotStrength, 250.0f);  // not even capped
  EXPECT_TRUE(table.sink.played.empty());

  table.world.balls[12].velocity = Vec3{};
  table.match.ballInHand = 1;
  const MatchState inHand = table.match;
  table.strike(Vec3{0.0f, 0.0f, 100.0f}, 50.0f);
  EXPECT_EQ(table.world.balls[cueBallSlot].velocity, (Vec3{}));
  EXPECT_EQ(table.match, inHand);
  EXPECT_TRUE(table.sink.played.empty());
}

TEST(Strike, CapsTheStrengthAndPushesAlongTheCueWhateverItsLength) {
  MatchTable table;
  fiveRedsAndTheCueBall(table);
  table.match.pocketStreak = 3;
  table.match.cueBallTouched = 1;
  table.match.ballPocketedThisShot = 1;
  table.match.breakShotPending = 1;
  table.match.foulCommitted = 1;
  table.strike(Vec3{30.0f, 40.0f, 0.0f}, 250.0f);
  EXPECT_EQ(table.cue.shotStrength, 200.0f);
  EXPECT_EQ(table.world.balls[cueBallSlot].velocity, (Vec3{12000.0f, 16000.0f, 0.0f}));
  EXPECT_EQ(table.match.pocketStreak, 0);
  EXPECT_EQ(table.match.shotInProgress, 1);
  EXPECT_EQ(table.match.cueBallTouched, 0);
  EXPECT_EQ(table.match.ballPocketedThisShot, 0);
  EXPECT_EQ(table.match.breakShotPending, 0);
  EXPECT_EQ(table.match.foulCommitted, 1);  // left for the referee
  EXPECT_EQ(table.sink.played, (std::vector<SoundId>{SoundId::shot}));

  MatchTable gentle;
  fiveRedsAndTheCueBall(gentle);
  gentle.strike(Vec3{0.0f, 0.0f, -100.0f}, 37.0f);
  EXPECT_EQ(gentle.world.balls[cueBallSlot].velocity, (Vec3{0.0f, 0.0f, -3700.0f}));
  EXPECT_EQ(gentle.cue.shotStrength, 37.0f);
}

TEST(CueBallPlacement, KeepsClearOfBallsAndPocketsWithinTheWalls) {
  World world;
  world.arenaHalfSize = 500.0f;
  world.balls[5].init(Vec3{0.0f, 0.0f, 0.0f}, Vec3{}, colourBlue);
  world.balls[6].init(Vec3{100.0f, 100.0f, 100.0f}, Vec3{}, colourBlue);
  world.balls[6].active = 0;
  world.pockets[3].centre = Vec3{300.0f, 300.0f, 300.0f};
  world.pockets[3].active = 1;
  world.pockets[4].centre = Vec3{-300.0f, -300.0f, -300.0f};

  EXPECT_FALSE(cueBallPlacementOk(world, Vec3{39.99f, 0.0f, 0.0f}));
  EXPECT_TRUE(cueBallPlacementOk(world, Vec3{40.0f, 0.0f, 0.0f}));
  EXPECT_FALSE(cueBallPlacementOk(world, Vec3{0.0f, 28.27f, -28.27f}));  // 39.98 away
  EXPECT_TRUE(cueBallPlacementOk(world, Vec3{100.0f, 100.0f, 100.0f}));  // an empty slot

  EXPECT_FALSE(cueBallPlacementOk(world, Vec3{300.0f, 300.0f, 300.0f}));
  EXPECT_FALSE(cueBallPlacementOk(world, Vec3{339.99f, 260.01f, 300.0f}));
  EXPECT_TRUE(cueBallPlacementOk(world, Vec3{340.0f, 300.0f, 300.0f}));
  EXPECT_TRUE(cueBallPlacementOk(world, Vec3{-300.0f, -300.0f, -300.0f}));  // inactive pocket

  // The walls themselves, not the cue ball's contact positions, bound the placement.
  EXPECT_TRUE(cueBallPlacementOk(world, Vec3{500.0f, -500.0f, 500.0f}));
  EXPECT_TRUE(cueBallPlacementOk(world, Vec3{0.0f, 490.0f, 0.0f}));
  EXPECT_FALSE(cueBallPlacementOk(world, Vec3{500.01f, 0.0f, 0.0f}));
  EXPECT_FALSE(cueBallPlacementOk(world, Vec3{0.0f, -500.01f, 0.0f}));
  EXPECT_FALSE(cueBallPlacementOk(world, Vec3{0.0f, 0.0f, 600.0f}));
}

TEST(NextPocket, WinsTheRoundWhenOneMoreTargetBallPutsTheShooterOutOfReach) {
  MatchTable table;
  for (int s = 0; s < 3; ++s) table.world.balls[s].init(Vec3{0.0f, 100.0f * s, 0.0f}, Vec3{}, colourBlue);
  table.match.targetColour = colourBlue;

  table.match.scores = {2.0f, 1.0f};  // 3 : 1 with 2 left would still be open
  EXPECT_EQ(winningScore(table.world, table.match), 3);
  EXPECT_FALSE(nextPocketWinsRound(table.world, table.match));
  table.match.scores = {3.0f, 1.0f};  // 4 : 1 with 2 left is decided
  EXPECT_TRUE(nextPocketWinsRound(table.world, table.match));

  // The player to move is the one asked about.
  table.match.currentPlayer = 1;
  EXPECT_FALSE(nextPocketWinsRound(table.world, table.match));
  table.match.scores = {1.0f, 3.0f};
  EXPECT_TRUE(nextPocketWinsRound(table.world, table.match));

  // The last ball decides for whoever pockets it, even from behind: 0 + 5 against 3.
  MatchTable last;
  last.world.balls[0].init(Vec3{}, Vec3{}, colourRed);
  last.match.targetColour = colourRed;
  last.match.scores = {0.0f, 3.0f};
  EXPECT_EQ(winningScore(last.world, last.match), 4);
  EXPECT_TRUE(nextPocketWinsRound(last.world, last.match));
}

TEST(NextPocket, WinsTheMatchWhenThatRoundGivesMoreThanHalfTheRounds) {
  MatchTable table;
  table.world.balls[0].init(Vec3{}, Vec3{}, colourRed);
  table.match.targetColour = colourRed;
  ASSERT_TRUE(nextPocketWinsRound(table.world, table.match));
  const struct {
    int32_t roundsPerMatch;
    int32_t roundsWon;
    bool wins;
  } cases[] = {{5, 2, true}, {5, 1, false}, {4, 2, true}, {4, 1, false}, {3, 1, true},
               {2, 1, true}, {2, 0, false}, {1, 0, true}, {0, 0, true}};
  for (const auto& c : cases) {
    table.settings.roundsPerMatch = c.roundsPerMatch;
    table.match.roundsWon = {c.roundsWon, 0};
    EXPECT_EQ(nextPocketWinsMatch(table.world, table.match, table.settings), c.wins)
        << c.roundsPerMatch << " rounds, " << c.roundsWon << " won";
  }
  // The other player's rounds do not count, nor does a match point without a round point.
  table.settings.roundsPerMatch = 5;
  table.match.roundsWon = {0, 2};
  EXPECT_FALSE(nextPocketWinsMatch(table.world, table.match, table.settings));
  table.match.roundsWon = {2, 0};
  table.match.scores = {0.0f, 6.0f};
  EXPECT_FALSE(nextPocketWinsMatch(table.world, table.match, table.settings));
}

class MatchEnd : public ::testing::Test {
 protected:
  MatchEnd() {
    table.settings.player1Name = "Anna";
    table.settings.player2Name = "B\xE9la";  // Béla in Windows-1250
    fiveRedsAndTheCueBall(table);
  }
  MatchTable table;
};

TEST_F(MatchEnd, MoreThanHalfOfTheRoundsWins) {
  const struct {
    int32_t roundsPerMatch;
    int32_t needed;
  } cases[] = {{5, 3}, {4, 3}, {3, 2}, {2, 2}, {1, 1}, {0, 1}};
  for (const auto& c : cases) {
    for (int winner = 0; winner < 2; ++winner) {
      MatchTable t;
      t.settings = table.settings;
      t.settings.roundsPerMatch = c.roundsPerMatch;
      fiveRedsAndTheCueBall(t);
      t.match.roundsWon[winner] = c.needed - 1;
      t.match.roundsWon[1 - winner] = c.needed - 1;
      t.tick();
      EXPECT_TRUE(t.hooks.matchEnds.empty()) << c.roundsPerMatch << " rounds";

      t.match.roundsWon[winner] = c.needed;
      const World before = t.world;
      t.tick();
      ASSERT_EQ(t.hooks.matchEnds.size(), 1u) << c.roundsPerMatch << " rounds";
      EXPECT_EQ(t.hooks.matchEnds[0].winner, winner);
      EXPECT_EQ(t.hooks.matchEnds[0].message,
                winner == 0 ? std::string("Anna j\xE1t\xE9kos nyerte a meccset!")
                            : std::string("B\xE9la j\xE1t\xE9kos nyerte a meccset!"));
      EXPECT_EQ(t.world, before);
    }
  }
}

TEST_F(MatchEnd, TheDecidingRoundIsFollowedByOneSetUpBeforeTheMessage) {
  table.settings.roundsPerMatch = 1;
  shotJustEnded(table);
  table.match.scores = {10.0f, 40.0f};
  table.tick();
  EXPECT_EQ(table.match.roundsWon, (Rounds{0, 1}));
  EXPECT_TRUE(table.hooks.matchEnds.empty());
  table.tick();
  ASSERT_EQ(table.hooks.matchEnds.size(), 1u);
  EXPECT_EQ(table.hooks.matchEnds[0].winner, 1);
  EXPECT_EQ(table.hooks.matchEnds[0].message, "B\xE9la j\xE1t\xE9kos nyerte a meccset!");
  EXPECT_EQ(table.hooks.calls, (std::vector<std::string>{"loadSounds", "buildSphereMesh", "endMatch"}));
}

TEST(ComputerTurn, RunsOnlyBetweenShotsForAComputerPlayerToMove) {
  MatchTable table;
  fiveRedsAndTheCueBall(table);
  table.settings.player2Computer = 1;

  table.tick();  // player 1, a human, to move
  EXPECT_EQ(table.hooks.computerTurns, 0);

  table.match.currentPlayer = 1;
  table.tick();
  EXPECT_EQ(table.hooks.computerTurns, 1);
  table.match.ballInHand = 1;  // it places the cue ball itself
  table.tick();
  EXPECT_EQ(table.hooks.computerTurns, 2);

  table.match.computerShotPending = 1;  // the cue is turning towards the chosen shot
  table.tick();
  EXPECT_EQ(table.hooks.computerTurns, 2);

  table.match.computerShotPending = 0;
  table.match.shotInProgress = 1;
  table.world.balls[11].velocity = Vec3{0.0f, 0.0f, 5000.0f};  // still rolling
  table.tick();
  EXPECT_EQ(table.hooks.computerTurns, 2);

  MatchTable first;
  fiveRedsAndTheCueBall(first);
  first.settings.player1Computer = 1;
  first.tick();
  EXPECT_EQ(first.hooks.computerTurns, 1);
}

TEST(ComputerTurn, NotInTheTickThatEndsARound) {
  MatchTable table;
  fiveRedsAndTheCueBall(table);
  shotJustEnded(table);
  table.settings.player1Computer = 1;
  table.settings.winnerStartsNextRound = 0;
  table.match.scores = {10.0f, 40.0f};
  table.match.currentPlayer = 1;
  table.tick();  // round over; player 1, the loser and a computer, is to move next
  EXPECT_EQ(table.match.currentPlayer, 0);
  EXPECT_EQ(table.hooks.computerTurns, 0);
  table.tick();  // the round-ending shot is still to be judged: no computer turn yet
  EXPECT_EQ(table.match.shotInProgress, 0);
  EXPECT_EQ(table.hooks.computerTurns, 0);
  table.tick();
  EXPECT_EQ(table.hooks.computerTurns, 1);
}

}  // namespace
}  // namespace morvane
