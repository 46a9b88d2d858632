#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "rules/scoring.h"
#include "support/layouts.h"
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

TEST(RoundEnd, DecidedOnceTheTrailerCannotDrawLevelThenAFreshDiamondAndTheMatchOnceARoundIsWonPastHalf) {
  const std::string names[] = {"Anna", "B\xE9la"};  // Béla in Windows-1250
  const std::string won = " j\xE1t\xE9kos nyerte a meccset!";
  // before: the rounds each player had won; next: the player to move afterwards; winner: of the match.
  const struct { const char* name; Pair scores; int player, winnerStarts, multipliers, rolling, cleared, foul, before, perMatch;
                 Rounds rounds; int next, winner; } cases[] = {
      {"10 : 40 with 25 left, the loser starts; 2 of 4 is no match", {10, 40}, 0, 0, 0, 0, 0, 0, 1, 4, {1, 2}, 0, -1},
      {"40 : 10 on player 2's shot, the winner starts", {40, 10}, 1, 1, 0, 0, 0, 0, 0, 5, {1, 0}, 0, -1},
      {"3 of 4 wins the match", {10, 40}, 0, 0, 0, 0, 0, 0, 2, 4, {2, 3}, 0, 1},
      {"with 0 rounds a match one round wins it", {40, 10}, 1, 1, 0, 0, 0, 0, 0, 0, {1, 0}, 0, 0},
      {"15 : 40 plays on: an ordinary miss", {15, 40}, 0, 0, 0, 0, 0, 0, 0, 5, {0, 0}, 1, -1},
      {"with multipliers only a clear table ends it", {10, 400}, 0, 0, 1, 0, 0, 0, 0, 5, {0, 0}, 1, -1},
      {"not while a ball rolls", {10, 40}, 0, 0, 0, 1, 0, 0, 0, 5, {0, 0}, 0, -1},
      {"a drawn round: nothing awarded, the player not to move starts", {12, 12}, 0, 0, 0, 0, 1, 0, 0, 5, {0, 0}, 1, -1},
      {"a foul took the last coloured ball: a red at the centre, play on", {12, 12}, 0, 0, 0, 0, 1, 1, 0, 5, {0, 0}, 1, -1},
  };
  for (const auto& c : cases) {
    TestGame table;
    fiveReds(table, c.scores);
    table.settings.player1Name = names[0];
    table.settings.player2Name = names[1];
    table.settings.player1Computer = table.settings.player2Computer = 1;
    table.settings.roundsPerMatch = c.perMatch;
    table.match.roundsWon = {c.before, c.before};
    table.match.multipliers = {3.0f, 2.0f};
    table.match.currentPlayer = c.player;
    table.match.foulCommitted = c.foul;
    table.settings.winnerStartsNextRound = c.winnerStarts;
    table.settings.multiplierEnabled = c.multipliers;
    if (c.rolling != 0) table.world.balls[12].velocity = Vec3{0.0f, 0.0f, 500.0f};
    for (int k = 0; k < 5 * c.cleared; ++k) table.world.balls[10 + k].active = 0;
    table.match.ballPocketedThisShot = c.cleared;
    table.tick();
    const bool ended = c.rounds != Rounds{c.before, c.before} || (c.cleared != 0 && c.foul == 0);
    EXPECT_EQ(std::tuple(table.match.roundsWon, table.match.currentPlayer, table.activeBalls()),
              std::tuple(c.rounds, c.next, ended ? 85 : 6 - 5 * c.cleared)) << c.name;
    // The cue is refused while a ball rolls or the cue ball is in hand; else it strikes along the cue, capped at 200.
    const bool refused = c.rolling != 0 || ended || c.foul != 0;
    table.strike(Vec3{30.0f, 40.0f, 0.0f}, 250.0f);
    EXPECT_EQ(table.world.balls[cueBallSlot].velocity, (refused ? Vec3{} : Vec3{12000.0f, 16000.0f, 0.0f})) << c.name;
    if (!ended) {
      const Ball slot0 = c.foul != 0 ? Ball{{}, {}, 1, colourRed} : Ball{};
      EXPECT_EQ(std::tuple(table.match.ballInHand, table.match.targetColour, table.world.balls[0], table.recorded.calls.empty(),
                           table.match.shotInProgress), std::tuple(c.foul, colourRed, slot0, true, c.rolling != 0 || !refused ? 1 : 0)) << c.name;
      continue;
    }
    // Scores and multipliers reset, the cue ball in hand, blue to play first on a break.
    EXPECT_EQ(std::tuple(table.match.scores, table.match.turnStartScores, table.match.multipliers, table.match.ballInHand,
                         table.match.targetColour, table.match.breakShotPending),
              std::tuple(Pair{0, 0}, Pair{0, 0}, Pair{1, 1}, 1, colourBlue, 1)) << c.name;
    EXPECT_EQ(table.recorded.calls, (std::vector<std::string>{"loadSounds", "buildSphereMesh"})) << c.name;
    // Judges the shot that ended the round (nothing to punish; the computer's turn comes later), or
    // ends the match and judges nothing more.
    table.tick();
    EXPECT_EQ(std::tuple(table.match.currentPlayer, table.activeBalls(), table.recorded.computerTurns, table.match.shotInProgress),
              std::tuple(c.next, 85, 0, c.winner >= 0 ? 1 : 0)) << c.name;
    std::vector<std::pair<int, std::string>> ends;
    if (c.winner >= 0) ends.emplace_back(c.winner, names[c.winner] + won);
    EXPECT_EQ(table.recorded.matchEnds, ends) << c.name;
  }
}

TEST(Fouls, TouchingNothingCostsTheTurnsPointsAndGivesBallInHand) {
  TestGame table;
  fiveReds(table, {7.0f, 3.0f}, true);
  table.putCueBall(Vec3{0.0f, 0.0f, 0.0f});
  table.match.turnStartScores = {4.0f, 3.0f};  // 3 points scored earlier in this turn
  table.match.multipliers = {3.0f, 1.0f};
  table.strike(Vec3{0.0f, 100.0f, 0.0f}, 10.0f);
  const int ticks = table.playOutShot();
  EXPECT_TRUE(ticks >= 100 && ticks <= 102) << ticks;  // judged at rest, not when the ball flies past
  EXPECT_EQ(std::tuple(table.match.scores, table.match.multipliers[0], table.match.currentPlayer,
                       table.world.balls[cueBallSlot].active, table.match.ballInHand, table.match.foulCommitted),
            std::tuple(Pair{4.0f, 3.0f}, 1.0f, 1, 0, 1, 0));
}

TEST(CueBallPlacement, KeepsClearOfBallsAndActivePocketsWithinTheWalls) {
  World world;
  world.arenaHalfSize = 500.0f;
  world.balls[5].init(Vec3{0.0f, 0.0f, 0.0f}, Vec3{}, colourBlue);
  world.balls[6].position = Vec3{100.0f, 100.0f, 100.0f};  // an empty slot
  addPocket(world, 3, Vec3{300.0f, 300.0f, 300.0f});
  world.pockets[4].centre = Vec3{-300.0f, -300.0f, -300.0f};  // inactive
  const std::pair<Vec3, bool> spots[] = {
      {{39.99f, 0, 0}, false}, {{40, 0, 0}, true}, {{0, 28.27f, -28.27f}, false}, {{100, 100, 100}, true},
      {{339.99f, 260.01f, 300}, false}, {{340, 300, 300}, true}, {{-300, -300, -300}, true},
      {{500, -500, 500}, true}, {{500.01f, 0, 0}, false}, {{0, -500.01f, 0}, false}};
  for (const auto& [p, ok] : spots) EXPECT_EQ(cueBallPlacementOk(world, p), ok) << p.x << " " << p.y << " " << p.z;
}

TEST(NextPocket, WinsTheRoundWhenItPutsTheShooterOutOfReachAndTheMatchWithMoreThanHalfTheRounds) {
  TestGame table;
  for (int s = 0; s < 3; ++s) table.world.balls[s].init(Vec3{0.0f, 100.0f * s, 0.0f}, Vec3{}, colourBlue);
  table.match.targetColour = colourBlue;
  const struct { Pair scores; int player, roundsPerMatch, roundsWon, round, match; } cases[] = {
      {{2, 1}, 0, 5, 2, 0, 0},  // 3 : 1 with 2 left is still open
      {{3, 1}, 0, 5, 2, 1, 1},  {{3, 1}, 0, 5, 1, 1, 0}, {{3, 1}, 0, 4, 2, 1, 1}, {{3, 1}, 0, 2, 0, 1, 0},
      {{3, 1}, 0, 0, 0, 1, 1},  {{3, 1}, 1, 5, 2, 0, 0},  // the player to move is the one asked about
  };
  for (const auto& c : cases) {
    table.match.scores = c.scores;
    table.match.currentPlayer = c.player;
    table.settings.roundsPerMatch = c.roundsPerMatch;
    table.match.roundsWon = {c.roundsWon * (1 - c.player), c.roundsWon * c.player};
    EXPECT_EQ(std::pair(nextPocketWinsRound(table.world, table.match), nextPocketWinsMatch(table.world, table.match, table.settings)),
              std::pair(c.round != 0, c.match != 0)) << c.scores[0] << " : " << c.scores[1] << ", " << c.roundsWon << " of " << c.roundsPerMatch;
  }
}

TEST(PocketScoring, RightColoursScoreUntilTheFirstFoulOfTheShot) {
  const BallColour blue = colourBlue, green = colourGreen, red = colourRed, cue = colourCueBall;
  const struct { const char* name; std::vector<BallColour> fallen; int player, multipliersOn, foulBefore; BallColour target;
                 Pair multipliersBefore, scores, multipliers; int streak, foul; } cases[] = {
      {"without multipliers each scores its value", {blue, blue, blue}, 0, 0, 0, blue, {1, 1}, {3, 0}, {1, 1}, 1, 0},
      // 2 x 2 x 1 = 4, multiplier 2 + 2 = 4; then 2 x 4 x 2 = 16, multiplier 4 + 4 = 8.
      {"streak and multiplier grow within the shot", {green, green}, 1, 1, 0, green, {1, 2}, {0, 20}, {1, 8}, 2, 0},
      // The first blue only: 1 x 3 x 1; red is worth 5 had it counted.
      {"a wrong colour after a right one stops all scoring", {blue, green, red, blue}, 0, 1, 0, blue, {3, 1}, {3, 0}, {4, 1}, 1, 1},
      {"the cue ball falling first voids the blue after it", {cue, blue}, 0, 0, 0, blue, {1, 1}, {0, 0}, {1, 1}, 0, 1},
      {"a wrong colour touched first voids the right colour", {blue}, 0, 0, 1, blue, {1, 1}, {0, 0}, {1, 1}, 0, 1},
  };
  for (const auto& c : cases) {
    MatchSettings settings = defaultMatchSettings();
    settings.multiplierEnabled = c.multipliersOn;
    MatchState match{.currentPlayer = c.player, .foulCommitted = c.foulBefore, .multipliers = c.multipliersBefore, .targetColour = c.target};
    for (BallColour colour : c.fallen) {
      Ball ball{{}, {}, 1, colour};
      scorePocketedBall(ball, match, settings);
    }
    EXPECT_EQ(std::tuple(match.scores, match.multipliers, match.pocketStreak, match.foulCommitted, match.ballPocketedThisShot),
              std::tuple(c.scores, c.multipliers, c.streak, c.foul, 1)) << c.name;
  }
}

TEST(ShotScoring, MultipliedRunOverATurnThenTheMissResetsItAndTheComputerIsAskedOnlyBetweenShots) {
  // The cue ball starts touching a blue ball, so every shot's first contact is legal; the balls
  // to fall are laid inside the pocket before the stroke. Player 1 is the computer, struck for here.
  TestGame table;
  table.settings.multiplierEnabled = 1;
  table.settings.player1Computer = 1;
  addPocket(table.world, 0, Vec3{300.0f, 300.0f, 300.0f});
  table.world.balls[0].init(Vec3{-265.0f, 0.0f, 0.0f}, Vec3{}, colourBlue);
  table.world.balls[22].init(Vec3{0.0f, -300.0f, -200.0f}, Vec3{}, colourRed);  // no score here decides the round
  table.putCueBall(Vec3{-300.0f, 0.0f, 0.0f});
  table.match.targetColour = colourBlue;
  // Balls laid in the pocket, then the scores, multipliers and player to move after the shot:
  // 1 x 1 x 1 then 1 x 2 x 2; the streak starts again next shot: 1 x 4 x 1; a miss resets.
  const struct { std::vector<int> slots; float score, multiplier; int player; } shots[] = {
      {{1, 2}, 5, 4, 0}, {{3}, 9, 5, 0}, {{}, 9, 1, 1}};
  for (const auto& shot : shots) {
    for (int slot : shot.slots) table.world.balls[slot].init(Vec3{300.0f, 300.0f, 300.0f}, Vec3{}, colourBlue);
    table.strike(Vec3{100.0f, 0.0f, 0.0f}, 1.0f);
    ASSERT_GT(table.playOutShot(), 0);
    EXPECT_EQ(std::tuple(table.match.scores[0], table.match.multipliers[0], table.match.currentPlayer),
              std::tuple(shot.score, shot.multiplier, shot.player)) << shot.score;
  }
  EXPECT_EQ(std::tuple(table.match.turnStartScores, table.match.ballInHand), std::tuple(Pair{9.0f, 0.0f}, 0));
  // The computer was not asked while its shots ran nor in the ticks that judged them; nor is it
  // for player 2, a human, nor while the cue turns towards its chosen shot; then it is.
  table.tick();
  table.match.currentPlayer = 0;
  table.match.computerShotPending = 1;
  table.tick();
  table.match.computerShotPending = 0;
  table.tick();
  EXPECT_EQ(table.recorded.computerTurns, 1);
}

}  // namespace
}  // namespace morvane
