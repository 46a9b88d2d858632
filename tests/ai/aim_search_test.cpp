// The computer's shot search and turn: the cut-shot order and its early end, free paths, the
// cue ball's placement, the break, the random tries, and the aim error of the levels.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "ai/aim_geometry.h"
#include "ai/computer_turn.h"
#include "ai_test_support.h"
#include "rules/referee.h"

namespace morvane {
namespace {

constexpr int champion = 4;

Game emptyArena(float halfSize) {
  Game game;
  game.settings = defaultMatchSettings();
  game.settings.arenaHalfSize = halfSize;
  game.settings.aimError = 0.0f;
  game.world.arenaHalfSize = halfSize;
  game.match.ballInHand = 0;
  game.match.breakShotPending = 0;
  game.match.targetColour = colourBlue;
  return game;
}

void addPocket(World& world, int slot, Vec3 centre) {
  world.pockets[slot].centre = centre;
  world.pockets[slot].active = 1;
}

bool placedLegally(World world) {
  const Ball cueBall = world.balls[cueBallSlot];
  world.balls[cueBallSlot].active = 0;
  return cueBall.active != 0 && cueBallPlacementOk(world, cueBall.position);
}

TEST(AimSearch, WithoutAnActivePocketTheRandomShotsComeFirst) {
  Game game = emptyArena(500.0f);
  game.world.balls[cueBallSlot].init(Vec3{}, Vec3{}, colourCueBall);
  for (int s = 0; s < 8; ++s) {
    const float x = (s & 1) ? 250.0f : -250.0f, y = (s & 2) ? 250.0f : -250.0f, z = (s & 4) ? 250.0f : -250.0f;
    game.world.balls[s].init(Vec3{x, y, z}, Vec3{}, colourBlue);
  }
  RecordingReporter progress;
  const SearchOutcome outcome = computerTurn(game, progress);
  EXPECT_EQ(outcome.phase, SearchPhase::randomShot);
  ASSERT_FALSE(progress.reports.empty());
  EXPECT_EQ(progress.reports.front().first, "V: 1/2000");
  EXPECT_EQ(progress.reports.front().second, 0.0005f);
  // Without pockets nothing can fall: the first hundred tries all fail.
  EXPECT_GE(outcome.index, 100);
  EXPECT_EQ(game.match.computerShotPending, 1);
  EXPECT_EQ(game.progress.progressVisible, 0);
}

TEST(AimSearch, OnlyTheBestPocketCountsForACandidate) {
  Game game = emptyArena(500.0f);
  const Vec3 cue{-200.0f, 0.0f, 0.0f};
  game.world.balls[cueBallSlot].init(cue, Vec3{}, colourCueBall);
  game.world.balls[0].init(Vec3{0.0f, 0.0f, 0.0f}, Vec3{}, colourBlue);      // straight in line
  game.world.balls[1].init(Vec3{0.0f, -200.0f, 0.0f}, Vec3{}, colourBlue);   // a thinner cut
  game.world.balls[2].init(Vec3{150.0f, 20.0f, 0.0f}, Vec3{}, colourGreen);  // 20 off ball 0's line
  addPocket(game.world, 0, Vec3{300.0f, 0.0f, 0.0f});
  addPocket(game.world, 1, Vec3{200.0f, 300.0f, 0.0f});

  const AimGeometry geometry(game.world);
  CandidateList list;
  buildCandidates(game.world, geometry, colourBlue, list);
  ASSERT_EQ(list.count, 2);
  EXPECT_EQ(list.slots[0], 0);
  EXPECT_FLOAT_EQ(list.costs[0], -1.0f);
  Vec3 aim;
  EXPECT_FALSE(geometry.cutShotAim(cue, 0, aim));
  // Ball 0's other pocket is free and would be a cut, but is never considered.
  EXPECT_TRUE(geometry.pathClear(Vec3{}, Vec3{200.0f, 300.0f, 0.0f}, 0, false));
  EXPECT_LT(geometry.bestPocketCosine(cue, Vec3{}, nullptr), 0.0f);
  EXPECT_TRUE(geometry.cutShotAim(cue, 1, aim));

  RecordingReporter progress;
  computerTurn(game, progress);
  ASSERT_FALSE(progress.reports.empty());
  EXPECT_EQ(progress.reports.front().first, "C: 1/1000");
  EXPECT_EQ(progress.reports.front().second, 0.001f);
}

TEST(AimSearch, PathClearEdges) {
  World world;
  world.arenaHalfSize = 500.0f;
  // On the line, where the cosine rounds a hair above 1: the ball blocks (no NaN distance).
  const Vec3 path{-331.0f, 224.0f, -22.0f};
  world.balls[0].init(path * 0.358f, Vec3{}, colourBlue);
  const AimGeometry geometry(world);
  EXPECT_FALSE(geometry.pathClear(Vec3{}, path, -1, false));
  EXPECT_TRUE(geometry.pathClear(Vec3{}, path, 0, false));
  EXPECT_FALSE(geometry.pathClear(Vec3{}, Vec3{}, -1, false));
  // Behind the start and beyond the end do not block.
  EXPECT_TRUE(geometry.pathClear(path * 0.5f, path * 0.4f, -1, false));
  EXPECT_TRUE(geometry.pathClear(path * -1.0f, path * 0.5f, -1, false));

  world.balls[0].active = 0;
  addPocket(world, 0, Vec3{100.0f, 56.0f, 0.0f});
  const AimGeometry withPocket(world);
  EXPECT_FALSE(withPocket.pathClear(Vec3{}, Vec3{200.0f, 0.0f, 0.0f}, -1, true));
  EXPECT_TRUE(withPocket.pathClear(Vec3{}, Vec3{200.0f, 0.0f, 0.0f}, -1, false));
  EXPECT_TRUE(withPocket.pathClear(Vec3{0.0f, -1.0f, 0.0f}, Vec3{200.0f, 0.0f, 0.0f}, -1, true));  // 57 off
}

TEST(AimSearch, TheBreakIsSearchedAndStruckAtFullStrength) {
  Game game = gameAtTurn(computerSettings(5, false, 500.0f, 0), 2024, 1);
  ASSERT_EQ(game.match.breakShotPending, 1);
  SilentReporter progress;
  computerTurn(game, progress);
  EXPECT_EQ(game.cue.shotStrength, 200.0f);
  uint32_t now = game.tickTimer.startTicks;
  for (int tick = 0; tick < 2000 && game.match.computerShotPending != 0; ++tick) gameTick(game, now += 16);
  ASSERT_EQ(game.match.computerShotPending, 0);
  EXPECT_EQ(game.match.breakShotPending, 0);
  EXPECT_EQ(game.match.shotInProgress, 1);
  EXPECT_NEAR(length(game.world.balls[cueBallSlot].velocity), 20000.0f, 1.0f);
}

TEST(AimSearch, TheChampionPocketsABallWithEveryCutShot) {
  int cutShots = 0;
  for (uint32_t seed = 1; seed <= 4; ++seed) {
    std::vector<Game> games = gamesAtTurns(computerSettings(5, false, 500.0f, champion), seed, 4);
    for (size_t turn = 1; turn < games.size(); ++turn) {
      Game& game = games[turn];
      const int player = game.match.currentPlayer;
      const float score = game.match.scores[player];
      SilentReporter progress;
      if (computerTurn(game, progress).phase != SearchPhase::cutShot) continue;
      ++cutShots;
      ASSERT_TRUE(playOutShot(game));
      EXPECT_EQ(game.match.ballPocketedThisShot, 1) << "seed " << seed << " turn " << turn;
      EXPECT_EQ(game.match.ballInHand, 0);
      EXPECT_EQ(game.match.currentPlayer, player);
      EXPECT_GT(game.match.scores[player], score);
    }
  }
  EXPECT_GE(cutShots, 4);
}

TEST(CueBallPlacement, InHandTheCueBallGoesToALegalSpot) {
  const struct {
    int n;
    bool chaotic;
    float halfSize;
  } racks[] = {{5, false, 500.0f}, {50, true, 500.0f}, {50, true, 260.0f}, {8, false, 200.0f}};
  for (const auto& rack : racks) {
    for (uint32_t seed = 1; seed <= 5; ++seed) {
      Game game = gameAtTurn(computerSettings(rack.n, rack.chaotic, rack.halfSize, 0), seed, 1);
      ASSERT_EQ(game.match.ballInHand, 1);
      computerPlacesCueBall(game.world, game.match, game.random);
      EXPECT_EQ(game.match.ballInHand, 0);
      EXPECT_EQ(game.world.balls[cueBallSlot].colour, colourCueBall);
      const Vec3 still{};
      EXPECT_TRUE(sameBits(&game.world.balls[cueBallSlot].velocity, &still, sizeof(Vec3)));
      EXPECT_TRUE(placedLegally(game.world)) << rack.n << " " << rack.halfSize << " seed " << seed;
    }
  }
}

TEST(CueBallPlacement, ACrowdedArenaEndsInAScanOrTheCentre) {
  // Two walls of balls 10 apart at x = -30 and x = 10 leave only the face x = 50 legal, which
  // random coordinates (-50 <= x < 50) never reach.
  Game game = emptyArena(50.0f);
  int slot = 0;
  for (float x : {-30.0f, 10.0f}) {
    for (int a = 0; a <= 10; ++a) {
      for (int b = 0; b <= 10; ++b) {
        game.world.balls[slot++].init(Vec3{x, -50.0f + 10.0f * a, -50.0f + 10.0f * b}, Vec3{}, colourBlue);
      }
    }
  }
  game.match.ballInHand = 1;
  const Random before = game.random;
  computerPlacesCueBall(game.world, game.match, game.random);
  EXPECT_EQ(game.match.ballInHand, 0);
  EXPECT_EQ(game.world.balls[cueBallSlot].position, (Vec3{50.0f, -50.0f, -50.0f}));
  EXPECT_TRUE(placedLegally(game.world));
  Random expected = before;
  for (int draw = 0; draw < 3 * maxPlacementRefusals; ++draw) expected.next();
  EXPECT_EQ(game.random, expected);

  // Nowhere at all: the centre.
  Game full = emptyArena(10.0f);
  full.world.balls[0].init(Vec3{}, Vec3{}, colourBlue);
  full.match.ballInHand = 1;
  computerPlacesCueBall(full.world, full.match, full.random);
  EXPECT_EQ(full.match.ballInHand, 0);
  EXPECT_EQ(full.world.balls[cueBallSlot].position, Vec3{});
}

TEST(AimSearch, WhenEveryTryFailsTheLastRandomTryIsPlayed) {
  // The cue ball overlaps a green ball while blue is to play: every stroke fouls in its first
  // step, a zero strength touches nothing, and there is no pocket for a cut shot.
  Game game = emptyArena(500.0f);
  game.world.balls[cueBallSlot].init(Vec3{}, Vec3{}, colourCueBall);
  game.world.balls[0].init(Vec3{10.0f, 0.0f, 0.0f}, Vec3{}, colourGreen);
  game.world.balls[1].init(Vec3{400.0f, 400.0f, 400.0f}, Vec3{}, colourBlue);
  Random expected = game.random;
  RandomTry last{};
  for (int n = 1; n <= randomTryCount; ++n) last = drawRandomTry(expected, false, 1.0f);

  RecordingReporter progress;
  const SearchOutcome outcome = computerTurn(game, progress);
  EXPECT_FALSE(outcome.found);
  EXPECT_EQ(outcome.index, randomTryCount);
  ASSERT_EQ(progress.reports.size(), static_cast<size_t>(randomTryCount));
  EXPECT_EQ(progress.reports.back().first, "V: 2001/2000");
  EXPECT_EQ(game.random, expected);
  EXPECT_EQ(game.cue.shotStrength, last.strength);
  EXPECT_EQ(game.cue.cueDirection, last.aim * (100.0f / length(last.aim)));
}

TEST(AimError, NeverLongerThanTheLevelAllows) {
  Random random(99);
  for (const DifficultyLevel& level : difficultyLevels) {
    float largest = 0.0f;
    for (int k = 0; k < 3000; ++k) {
      const Vec3 aim = drawRandomTry(random, true, 1.0f).aim;
      if (aim == Vec3{}) continue;
      Vec3 spoilt = aim;
      const Random before = random;
      applyAimError(spoilt, level.aimError, random);
      const float bound = level.aimError * length(aim);
      const float error = length(spoilt - aim);
      EXPECT_LE(error, bound * 1.0001f + 1e-3f) << level.name;
      largest = std::max(largest, bound > 0.0f ? error / bound : 0.0f);
      if (level.aimError == 0.0f) {
        EXPECT_EQ(random, before);
        EXPECT_EQ(spoilt, aim);
      }
    }
    if (level.aimError > 0.0f) {
      EXPECT_GT(largest, 0.99f) << level.name;
    }
  }
}

TEST(AimError, AnAimWithoutLengthLeavesTheCueAlone) {
  CueState cue;
  cue.cueDirection = Vec3{0.0f, 60.0f, 80.0f};
  aimCue(cue, Vec3{});
  EXPECT_EQ(cue.cueDirection, (Vec3{0.0f, 60.0f, 80.0f}));
  aimCue(cue, Vec3{0.0f, 0.0f, -3.0f});
  EXPECT_EQ(cue.cueDirection, (Vec3{0.0f, 0.0f, -100.0f}));
}

}  // namespace
}  // namespace morvane
