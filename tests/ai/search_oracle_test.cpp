// The fast search (parallel trials on copies, the sparse trial simulator) against the
// straightforward one (one trial after another on the live tables with the full passes): the
// same shot, strength, generator state, progress reports and, once the shot is played, the
// same world, in many situations.
#include <gtest/gtest.h>

#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "ai/pre_simulation.h"
#include "ai/trial_simulator.h"
#include "ai_test_support.h"
#include "rules/referee.h"

namespace morvane {
namespace {

void expectSameTurn(const Game& start, const std::string& name) {
  Game fast = start;
  Game reference = start;
  RecordingReporter fastProgress, referenceProgress;
  const SearchOutcome a = computerTurn(fast, fastProgress);
  const SearchOutcome b = computerTurnOneByOne(reference, referenceProgress);

  EXPECT_EQ(a.phase, b.phase) << name;
  EXPECT_EQ(a.index, b.index) << name;
  EXPECT_EQ(a.found, b.found) << name;
  EXPECT_EQ(a.trials, b.trials) << name;
  EXPECT_EQ(fastProgress.reports, referenceProgress.reports) << name;
  EXPECT_EQ(fast.random, reference.random) << name;
  EXPECT_TRUE(sameBits(&fast.cue, &reference.cue, sizeof(CueState))) << name;
  EXPECT_EQ(fast.match, reference.match) << name;
  EXPECT_TRUE(sameBits(&fast.camera, &reference.camera, sizeof(Camera))) << name;
  EXPECT_EQ(fast.progress.progressVisible, 0) << name;
  EXPECT_EQ(worldHash(fast.world), worldHash(reference.world)) << name;

  ASSERT_TRUE(playOutShot(fast)) << name;
  ASSERT_TRUE(playOutShot(reference)) << name;
  EXPECT_EQ(worldHash(fast.world), worldHash(reference.world)) << name;
  EXPECT_EQ(fast.match, reference.match) << name;
}

TEST(SearchOracle, DiamondRacksAtEveryLevel) {
  for (int level = 0; level < difficultyLevelCount; ++level) {
    const uint32_t seed = 100 + 7 * static_cast<uint32_t>(level);
    const std::vector<Game> games = gamesAtTurns(computerSettings(5, false, 500.0f, level), seed, 4);
    for (size_t turn = 0; turn < games.size(); ++turn) {
      expectSameTurn(games[turn], "diamond n=5 level " + std::to_string(level) + " turn " + std::to_string(turn + 1));
      if (HasFatalFailure()) return;
    }
  }
}

TEST(SearchOracle, OtherDiamondsAndArenas) {
  struct Case {
    int n;
    float halfSize;
    int turn;
    bool multipliers;
  };
  const Case cases[] = {{3, 500.0f, 3, true}, {4, 200.0f, 2, false}, {2, 80.0f, 2, false},
                        {8, 500.0f, 2, false}, {3, 2500.0f, 3, true}, {3, 500.0f, 1, false}};
  for (int k = 0; k < static_cast<int>(std::size(cases)); ++k) {
    const Case& c = cases[k];
    MatchSettings settings = computerSettings(c.n, false, c.halfSize, k % difficultyLevelCount);
    settings.multiplierEnabled = c.multipliers ? 1 : 0;
    expectSameTurn(gameAtTurn(settings, 31 + k, c.turn),
                   "diamond n=" + std::to_string(c.n) + " H=" + std::to_string(c.halfSize));
    if (HasFatalFailure()) return;
  }
}

TEST(SearchOracle, ChaoticScatters) {
  struct Case {
    int n;
    float halfSize;
    int turn;
    uint32_t seed;
    int level;
  };
  const Case cases[] = {{5, 500.0f, 1, 57, 2}, {20, 500.0f, 2, 58, 3}, {10, 150.0f, 3, 59, 4}, {50, 500.0f, 1, 59, 4}};
  for (int k = 0; k < static_cast<int>(std::size(cases)); ++k) {
    const Case& c = cases[k];
    expectSameTurn(gameAtTurn(computerSettings(c.n, true, c.halfSize, c.level), c.seed, c.turn),
                   "chaotic n=" + std::to_string(c.n) + " H=" + std::to_string(c.halfSize));
    if (HasFatalFailure()) return;
  }
}

// The cue ball sits among green balls 10 apart while blue is to play: whatever the direction,
// the cue ball touches a green in the first step (a foul), and a zero strength touches nothing.
Game everyTryFouls(float halfSize) {
  Game game;
  game.settings = defaultMatchSettings();
  game.world.arenaHalfSize = halfSize;
  game.match.ballInHand = 0;
  game.match.breakShotPending = 0;
  game.match.targetColour = colourBlue;
  game.world.balls[cueBallSlot].init(Vec3{}, Vec3{}, colourCueBall);
  const Vec3 greens[] = {{}, {10, 0, 0}, {-10, 0, 0}, {0, 10, 0}, {0, -10, 0}, {0, 0, 10}, {0, 0, -10}};
  int slot = 0;
  for (const Vec3& p : greens) game.world.balls[slot++].init(p, Vec3{}, colourGreen);
  game.world.balls[slot].init(Vec3{400.0f, 400.0f, 400.0f}, Vec3{}, colourBlue);
  return game;
}

TEST(SearchOracle, EveryTryFailing) {
  expectSameTurn(everyTryFouls(500.0f), "every try failing");
  // Random strengths up to 315, cut to 200 by each trial's strike.
  expectSameTurn(everyTryFouls(5000.0f), "every try failing, large arena");
}

// The sparse simulator against the full passes, trial after trial on one simulator (so its
// reset after each trial is exercised too), comparing the end state of every trial bit for bit.
void expectSameTrials(const Game& start, int trials, uint32_t seed, const std::string& name) {
  auto simulator = std::make_unique<TrialSimulator>();
  simulator->setBase(ShotTable{start.world, start.match, start.cue}, start.settings);
  Random random(seed);
  for (int t = 0; t < trials; ++t) {
    const RandomTry shot = drawRandomTry(random, false, 3.0f);  // strengths up to 299: some capped
    if (shot.aim == Vec3{}) continue;
    const bool requirePocket = t % 2 == 0;
    const TrialOutcome outcome = simulator->play(shot.aim, shot.strength, requirePocket);
    Game full = start;
    full.cue.shotStrength = shot.strength;
    const bool accepted = playTrialWithFullPasses(full.world, full.match, full.cue, full.settings, shot.aim,
                                                  requirePocket);
    const ShotTable& end = simulator->table();
    ASSERT_EQ(outcome.accepted, accepted) << name << " trial " << t;
    ASSERT_EQ(worldHash(end.world), worldHash(full.world)) << name << " trial " << t;
    ASSERT_EQ(end.match, full.match) << name << " trial " << t;
    ASSERT_TRUE(sameBits(&end.cue, &full.cue, sizeof(CueState))) << name << " trial " << t;
  }
}

TEST(SearchOracle, SparseTrialsMatchTheFullPasses) {
  Game diamond = gameAtTurn(computerSettings(8, false, 500.0f, 0), 5, 1);
  diamond.match.ballInHand = 0;
  diamond.world.balls[cueBallSlot].init(Vec3{-250.0f, -20.0f, -20.0f}, Vec3{}, colourCueBall);
  diamond.settings.multiplierEnabled = 1;
  expectSameTrials(diamond, 12, 1, "diamond n=8");

  // Overlapping balls everywhere, a coloured ball in the cue ball's slot replaced by the cue ball.
  Game packed = gameAtTurn(computerSettings(50, true, 260.0f, 0), 6, 1);
  computerPlacesCueBall(packed.world, packed.match, packed.random);
  expectSameTrials(packed, 12, 2, "chaotic n=50 H=260");

  // Signed zeros in resting balls and a ball resting inside a pocket at the start.
  Game odd = gameAtTurn(computerSettings(3, false, 500.0f, 0), 7, 1);
  odd.match.ballInHand = 0;
  odd.world.balls[cueBallSlot].init(Vec3{-200.0f, 0.0f, 0.0f}, Vec3{}, colourCueBall);
  odd.world.balls[1].position.y = -0.0f;
  odd.world.balls[2].velocity = Vec3{-0.0f, 0.0f, -0.0f};
  odd.world.balls[3].position = odd.world.pockets[0].centre;
  expectSameTrials(odd, 24, 3, "signed zeros");
}

}  // namespace
}  // namespace morvane
