// The computer's turn: the trial's verdicts, the search's edges, and the fast search (parallel
// trials on copies, the sparse trial simulator) against the one-by-one search on the live tables
// with the full passes: the same shot, generator, progress reports and, played out, world; the
// aim error the computer's stroke is given; and the trial workers and the in-order trials on
// them, on every way out of a batch (run under the thread sanitizer too).
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "ai/in_order_trials.h"
#include "game/computer_player.h"
#include "reference/one_by_one_search.h"
#include "rules/referee.h"
#include "rules/setup.h"
#include "support/layouts.h"
#include "support/same_trial.h"

namespace morvane {
namespace {

using namespace std::chrono_literals;

TrialWorkers& workers() {
  static TrialWorkers pool(defaultTrialWorkerCount());
  return pool;
}

struct RecordingReporter final : ProgressReporter {
  void report(const std::string& caption, float fraction) override { reports.emplace_back(caption, fraction); }
  std::vector<std::pair<std::string, float>> reports;
};

template <class T> bool sameBits(const T& a, const T& b) { return std::memcmp(&a, &b, sizeof(T)) == 0; }

// No pockets, no aim error, the cue ball at the origin, blue to play at strength 50; with a
// cluster colour, balls of it 10 apart around the cue ball, touched in the first step whatever the aim.
Game openArena(float halfSize, BallColour cluster = colourCueBall) {
  Game game;
  game.settings = defaultMatchSettings();
  game.settings.arenaHalfSize = game.world.arenaHalfSize = halfSize;
  game.settings.aimError = game.match.ballInHand = game.match.breakShotPending = 0;
  game.match.targetColour = colourBlue;
  game.world.balls[cueBallSlot].init(Vec3{}, Vec3{}, colourCueBall);
  game.cue.shotStrength = 50.0f;
  const Vec3 around[] = {{}, {10, 0, 0}, {-10, 0, 0}, {0, 10, 0}, {0, -10, 0}, {0, 0, 10}, {0, 0, -10}};
  for (int s = 0; s < 7 && cluster != colourCueBall; ++s) game.world.balls[s].init(around[s], Vec3{}, cluster);
  return game;
}

// Plays a match between computers through the tick: games[k] is the game as turn k + 1 starts
// (games[0] the break, cue ball in hand).
std::vector<Game> gamesAtTurns(int n, int chaotic, float halfSize, int level, int multipliers, uint32_t seed,
                               int turns) {
  MatchSettings s = rackSettings(n, chaotic, halfSize);
  s.aimError = difficultyLevels[level].aimError;
  s.multiplierEnabled = multipliers;
  s.player1Computer = s.player2Computer = 1;
  struct Snapshots final : MatchHooks {
    void takeComputerTurn() override {
      games.push_back(*game);
      games.back().hooks = Game().hooks;  // inert
      RecordingReporter ignored;
      if (int(games.size()) < turns) playComputerTurn(*game, ignored, workers());
    }
    Game* game = nullptr;
    int turns = 0;
    std::vector<Game> games;
  } hooks;
  Game game;
  hooks.game = &game, hooks.turns = turns;
  game.random = Random(seed);
  game.hooks = &hooks;
  startMatch(game, s, 0);
  for (uint32_t tick = 1; tick <= 6000u * turns && int(hooks.games.size()) < turns; ++tick) gameTick(game, tick * 16);
  EXPECT_EQ(int(hooks.games.size()), turns) << "the computer's turns stopped coming";
  return hooks.games;
}

// Ticks until the armed shot has been struck and judged. False if it never was.
bool playOutShot(Game& game) {
  for (uint32_t tick = 1; tick <= 20000; ++tick) {
    gameTick(game, game.tickTimer.startTicks + tick * 16);
    if (game.match.computerShotPending == 0 && game.match.shotInProgress == 0) return true;
  }
  return false;
}

TrialOutcome trial(const Game& start, Vec3 aim, bool requirePocket, TrialSimulator& simulator) {
  const ShotState base{start.world, start.match, start.cue};
  simulator.setBase(base, start.settings);
  return expectSameTrial(simulator, base, start.settings, aim, start.cue.shotStrength, requirePocket);
}

TEST(PreSimulation, Verdicts) {
  auto simulator = std::make_unique<TrialSimulator>();
  const ShotState& end = simulator->shot();
  const Vec3 ahead{1.0f, 0.0f, 0.0f};
  Game game = openArena(500.0f);
  game.world.balls[0].init(Vec3{45.0f, 0.0f, 0.0f}, Vec3{}, colourGreen);
  // A foul stops the trial at the step of the contact: the green has the speed but has not moved.
  EXPECT_EQ(trial(game, ahead, false, *simulator).steps, 1);
  EXPECT_EQ(std::tie(end.match.foulCommitted, end.world.balls[0].position.x), std::tuple(1, 45.0f));
  EXPECT_GT(end.world.balls[0].velocity.x, 4000.0f);

  game.world.balls[0].init(Vec3{0.0f, 200.0f, 0.0f}, Vec3{}, colourBlue);  // in a pocket at the start
  addPocket(game.world, 0, Vec3{0.0f, 200.0f, 0.0f});
  game.world.balls[1].init(Vec3{-10.0f, 0.0f, 0.0f}, Vec3{}, colourBlue);  // touched at once, not pushed
  EXPECT_TRUE(trial(game, ahead, true, *simulator).accepted);
  addPocket(game.world, 1, Vec3{300.0f, 0.0f, 0.0f});  // on the cue ball's way
  EXPECT_FALSE(trial(game, ahead, true, *simulator).accepted);
  EXPECT_EQ(std::tie(end.world.balls[0].active, end.world.balls[cueBallSlot].active), std::tuple(0, 0));

  Game clean = openArena(500.0f);
  clean.world.balls[0].init(Vec3{100.0f, 0.0f, 0.0f}, Vec3{}, colourBlue);
  EXPECT_TRUE(trial(clean, ahead, false, *simulator).accepted);
  EXPECT_FALSE(trial(clean, ahead, true, *simulator).accepted);               // a pocket was required
  EXPECT_FALSE(trial(clean, Vec3{0, 3, 0}, false, *simulator).accepted);  // a miss is no touch
}

// A ball 39 off the line to its best pocket blocks it; the candidate is passed over, not tried
// at another pocket. Degenerate paths are never clear; a crowded arena puts the cue ball at the centre.
TEST(AimSearch, BlockedCandidatesDegeneratePathsAndACrowdedArena) {
  Game game = openArena(500.0f);
  const Vec3 cue{-200.0f, 0.0f, 0.0f};
  game.world.balls[cueBallSlot].position = cue;
  game.world.balls[0].init(Vec3{0.0f, 0.0f, 0.0f}, Vec3{}, colourBlue);
  game.world.balls[1].init(Vec3{0.0f, -200.0f, 0.0f}, Vec3{}, colourBlue);
  game.world.balls[2].init(Vec3{150.0f, 39.0f, 0.0f}, Vec3{}, colourGreen);
  addPocket(game.world, 0, Vec3{300.0f, 0.0f, 0.0f});
  addPocket(game.world, 1, Vec3{200.0f, 300.0f, 0.0f});
  RecordingReporter progress;
  playComputerTurn(game, progress, workers());
  ASSERT_FALSE(progress.reports.empty());
  EXPECT_EQ(progress.reports.front(), std::pair(std::string("C: 1/1000"), 0.001f));
  Vec3 aim;
  game.world.balls[2].position.y = 41.0f;
  EXPECT_TRUE(AimGeometry(game.world).cutShotAim(cue, 0, aim));

  const AimGeometry geometry(game.world);
  EXPECT_FALSE(geometry.pathClear(Vec3{}, Vec3{}, -1, false) || geometry.pathClear(Vec3{}, Vec3{NAN, 0, 0}, -1, false));
  EXPECT_FALSE(geometry.pathClear(cue, Vec3{400, 0, 0}, -1, false));
  EXPECT_TRUE(geometry.pathClear(cue, Vec3{400, 0, 0}, 0, false));
  World crowded;
  crowded.arenaHalfSize = 20.0f;  // every point lies within 40 of this ball
  crowded.balls[0].init(Vec3{}, Vec3{}, colourBlue);
  MatchState match;
  computerPlacesCueBall(crowded, match, game.random);
  EXPECT_EQ(std::pair(match.ballInHand, crowded.balls[cueBallSlot].position), std::pair(0, Vec3{}));
}

int championCutShots = 0;

// Also: a break is struck at 200, a cue ball in hand is put down legally, a cut shot of THE
// CHAMPION pockets a ball.
std::pair<SearchOutcome, Game> expectSameTurn(const Game& start, const std::string& name) {
  SCOPED_TRACE(name);
  Game fast = start, reference = start;
  RecordingReporter fastProgress, referenceProgress;
  const SearchOutcome a = playComputerTurn(fast, fastProgress, workers());
  const SearchOutcome b = playComputerTurnOneByOne(reference, referenceProgress);
  EXPECT_EQ(std::tie(a.phase, a.index, a.found, a.trials), std::tie(b.phase, b.index, b.found, b.trials));
  EXPECT_EQ(fastProgress.reports, referenceProgress.reports);
  EXPECT_TRUE(fast.random == reference.random && sameBits(fast.cue, reference.cue) && fast.match == reference.match);
  EXPECT_TRUE(sameBits(fast.camera, reference.camera) && fast.progress.progressVisible == 0);
  EXPECT_EQ(worldHash(fast.world), worldHash(reference.world));
  EXPECT_TRUE(start.match.breakShotPending == 0 || fast.cue.shotStrength == 200.0f);
  if (start.match.ballInHand != 0) {
    World without = fast.world;
    without.balls[cueBallSlot].active = 0;
    EXPECT_EQ(std::tie(fast.match.ballInHand, without.balls[cueBallSlot].colour), std::tuple(0, colourCueBall));
    EXPECT_TRUE(cueBallPlacementOk(without, without.balls[cueBallSlot].position));
  }
  const std::pair<SearchOutcome, Game> searched(a, fast);
  EXPECT_TRUE(playOutShot(fast) && playOutShot(reference));
  EXPECT_TRUE(worldHash(fast.world) == worldHash(reference.world) && fast.match == reference.match);
  if (start.settings.aimError == 0.0f && a.phase == SearchPhase::cutShot) {
    ++championCutShots;
    EXPECT_EQ(std::pair(fast.match.ballPocketedThisShot, fast.match.currentPlayer),
              std::pair(1, start.match.currentPlayer));
  }
  return searched;
}

TEST(SearchOracle, RacksArenasAndLevels) {
  // The default diamond at two levels, a small and a large arena, chaotic racks up to 50 a side,
  // multipliers; turns first..last of the match.
  const struct { int n, chaotic; float halfSize; int level, multipliers, seed, first, last; } cases[] = {
      {5, 0, 500, 0, 0, 100, 1, 4}, {5, 0, 500, 3, 0, 121, 1, 3}, {2, 0, 80, 2, 0, 33, 2, 2},
      {3, 0, 2500, 4, 1, 35, 2, 3}, {20, 1, 500, 3, 1, 58, 2, 2}, {50, 1, 500, 4, 0, 59, 1, 1}};
  for (const auto& c : cases) {
    const std::vector<Game> games = gamesAtTurns(c.n, c.chaotic, c.halfSize, c.level, c.multipliers, c.seed, c.last);
    for (int turn = c.first; turn <= int(games.size()); ++turn)
      expectSameTurn(games[size_t(turn - 1)], "case " + std::to_string(&c - cases) + " turn " + std::to_string(turn));
  }
  EXPECT_GE(championCutShots, 2);
}

// Fouls only (green all round, blue to play): the last of the 2001 random tries is played, its
// strength (up to 315 in the large arena) cut to 200. The tries' strength scale is
// sqrt(0.002 x half size), at most 4 (from a half size of 8000 on).
TEST(SearchOracle, EveryTryFailingPlaysTheLastRandomTry) {
  EXPECT_EQ(std::tuple(maxSearchStrength(500.0f), maxSearchStrength(8000.0f), maxSearchStrength(1e6f)),
            std::tuple(1.0f, 4.0f, 4.0f));
  for (float halfSize : {500.0f, 5000.0f}) {
    Game game = openArena(halfSize, colourGreen);
    game.world.balls[7].init(Vec3{400.0f, 400.0f, 400.0f}, Vec3{}, colourBlue);
    Random expected = game.random;
    RandomTry last{};
    for (int n = 1; n <= randomTryCount; ++n) last = drawRandomTry(expected, false, maxSearchStrength(halfSize));
    const auto [outcome, searched] = expectSameTurn(game, "every try failing, H=" + std::to_string(halfSize));
    EXPECT_EQ(std::tie(outcome.found, outcome.index, searched.random), std::tuple(false, randomTryCount, expected));
    EXPECT_EQ(searched.cue.shotStrength, std::min(last.strength, 200.0f));
    EXPECT_EQ(searched.cue.cueDirection, last.aim * (100.0f / length(last.aim)));
  }
}

// Blue all round and no pocket: tries 1..99 must pocket, so the 100th (with this seed, tries 99..101
// can each be struck) is the first played, in both searches.
TEST(AimSearch, TheHundredthTryIsTheFirstThatMayBeASafeShot) {
  Game game = openArena(500.0f, colourBlue);
  game.random = Random(5);
  const SearchOutcome outcome = expectSameTurn(game, "safe shots only").first;
  EXPECT_EQ(std::tie(outcome.phase, outcome.found, outcome.index), std::tuple(SearchPhase::randomShot, true, 100));
}

constexpr double qSteps = 16383.0;

// |f x 16383 - product|, exact: f x 16383 needs 38 bits and product (a float times a float) 48,
// and the two are close, so double holds both and their difference without rounding.
double distanceToQuotient(float f, double product) { return std::fabs(double(f) * qSteps - product); }

// The error is (0, 0, q) turned by theta1 in the x-z plane, then by theta2 in the y-z plane (both
// counter-clockwise), scaled by r / 16383 (r the aim's length times the level's error):
// q (-sin t1, -cos t1 sin t2, cos t1 cos t2) r / 16383. Worked out here in double from our own
// copy of the draws; the game's table sine is a tenth of a degree coarse, so each component may
// be off by 0.004 of the error's length. Each component is also e x r / 16383 (e the turned vector
// of length q) rounded once to float. Rounding the factor r / 16383 to float first is one unit in
// the last place off in a few percent of turns; the sweep holds such turns and fails on them. An
// aim along z takes the error's x and y unchanged; the unscaled e comes from the same draws at
// r = 16383, where the factor is 1.
TEST(AimError, FollowsTheThreeDrawsEachComponentRoundedOnceFromTheExactProduct) {
  int octants = 0, checked = 0, factorFirstWouldDiffer = 0;
  for (uint32_t seed = 1; seed <= 1500 && !::testing::Test::HasFailure(); ++seed) {
    Vec3 unscaled{0.0f, 0.0f, float(qSteps)};
    Random forUnscaled(seed);
    applyAimError(unscaled, 1.0f, forUnscaled);
    for (const DifficultyLevel& level : difficultyLevels) {
      for (const float a : {400.0f, 57.0f, 865.9f, 1.0e-3f}) {
        Random random(seed), draws(seed);
        Vec3 aim{0.0f, 0.0f, a};
        applyAimError(aim, level.aimError, random);
        if (level.aimError == 0.0f) {
          EXPECT_TRUE(aim == (Vec3{0.0f, 0.0f, a}) && random == draws) << "no error, no draws";
          continue;
        }
        const double q = draws.next() % 32767 - 16383;
        const double t1 = (draws.next() % 32767) * (2.0 * M_PI / 32767);
        const double t2 = (draws.next() % 32767) * (2.0 * M_PI / 32767);
        EXPECT_TRUE(random == draws);
        const float r = a * level.aimError;
        const double expected[] = {-std::sin(t1), -std::cos(t1) * std::sin(t2), std::cos(t1) * std::cos(t2)};
        const double actual[] = {aim.x, aim.y, aim.z - double(a)};
        for (int i = 0; i < 3; ++i) {
          EXPECT_NEAR(actual[i], q * r / qSteps * expected[i], 0.004 * r + 1e-4) << "seed " << seed << " axis " << i;
        }
        if (std::abs(q) > 1000.0) octants |= 1 << ((aim.x > 0) + 2 * (aim.y > 0) + 4 * (aim.z > a));
        const float factorFirst = static_cast<float>(static_cast<long double>(r) / qSteps);
        for (const auto& [component, e] : {std::pair(aim.x, unscaled.x), std::pair(aim.y, unscaled.y)}) {
          ++checked;
          const double d = distanceToQuotient(component, double(e) * double(r));
          EXPECT_LE(d, distanceToQuotient(std::nextafter(component, INFINITY), double(e) * double(r)));
          EXPECT_LE(d, distanceToQuotient(std::nextafter(component, -INFINITY), double(e) * double(r)));
          if (e * factorFirst != component) ++factorFirstWouldDiffer;
        }
      }
    }
  }
  EXPECT_EQ(octants, 0xFF);  // errors point into every octant: not confined to a plane
  EXPECT_GT(factorFirstWouldDiffer, checked / 20);  // the sweep tells the two roundings apart
}

// The in-order trials on the trial workers: an exception in a trial on a worker comes back to the
// calling thread; one on the calling thread leaves no worker in the job; the same pool then plays
// the next batch in order. On an open table: the cue ball at the centre, one blue ball ahead, no
// pocket.
struct InOrder : ::testing::Test {
  static constexpr int itemCount = 400;

  void SetUp() override {
    Game game = openArena(500.0f);
    game.world.balls[0].init(Vec3{100.0f, 0.0f, 0.0f}, Vec3{}, colourBlue);
    settings = game.settings;
    base = ShotState{game.world, game.match, game.cue};
  }

  // Item i: a stroke along one of five directions, every ninth item no trial at all.
  static bool planItem(int i, Vec3& aim, float& strength, bool& requirePocket) {
    aim = Vec3{1.0f, float(i % 5) * 0.2f - 0.4f, float(i % 3)};
    strength = 10.0f + static_cast<float>(i % 13) * 5.0f;
    requirePocket = false;
    return i % 9 != 8;
  }

  // Every item taken in order, compared with one simulator playing them one after another.
  void expectAllItemsInOrder(InOrderTrials& trials) {
    auto reference = std::make_unique<TrialSimulator>();
    reference->setBase(base, settings);
    int next = 0;
    trials.run(itemCount, planItem, [&](int i, const TrialSlot& slot) {
      EXPECT_EQ(i, next++);
      Vec3 aim;
      float strength;
      bool requirePocket;
      EXPECT_EQ(slot.ran, planItem(i, aim, strength, requirePocket)) << "item " << i;
      if (!slot.ran) return false;
      const TrialOutcome expected = reference->play(aim, strength, requirePocket);
      EXPECT_EQ(std::tie(slot.outcome.accepted, slot.outcome.steps, slot.outcome.abandoned),
                std::tie(expected.accepted, expected.steps, expected.abandoned))
          << "item " << i;
      return false;
    });
    EXPECT_EQ(next, itemCount);
  }

  MatchSettings settings;
  ShotState base;
  TrialWorkers pool{2};
};

TEST_F(InOrder, AnExceptionFromTheConsumerLeavesNoWorkerInTheBatch) {
  InOrderTrials trials(pool, base, settings);
  std::atomic<int> planned{0};
  int consumed = 0;
  const auto plan = [&](int i, Vec3& aim, float& strength, bool& requirePocket) {
    planned.fetch_add(1);
    // The later items are slow, so that the batch cannot be over before the consumer fails.
    if (i >= 60) std::this_thread::sleep_for(1ms);
    return planItem(i, aim, strength, requirePocket);
  };
  // As the progress report would throw from drawing a frame, while the workers are ahead.
  const auto consume = [&](int i, const TrialSlot&) {
    if (i == 30) throw std::runtime_error("frame failed");
    EXPECT_EQ(i, consumed++);  // in order
    return false;
  };
  EXPECT_THROW(trials.run(itemCount, plan, consume), std::runtime_error);
  const int plannedAtThrow = planned.load();
  std::this_thread::sleep_for(50ms);
  EXPECT_EQ(planned.load(), plannedAtThrow);  // nobody is still taking items
  EXPECT_LT(plannedAtThrow, itemCount);       // and they stopped early
  EXPECT_EQ(consumed, 30);

  expectAllItemsInOrder(trials);
}

TEST_F(InOrder, AnExceptionInATrialComesBackWhenItsItemIsReached) {
  constexpr int failingItem = 12;
  int thrownOnAWorker = 0;
  const std::thread::id caller = std::this_thread::get_id();
  for (int repeat = 0; repeat < 20; ++repeat) {
    InOrderTrials trials(pool, base, settings);
    std::atomic<bool> failingItemStarted{false};
    std::atomic<bool> failedOnAWorker{false};
    const auto plan = [&](int i, Vec3& aim, float& strength, bool& requirePocket) {
      if (i == failingItem) {
        failedOnAWorker = std::this_thread::get_id() != caller;
        failingItemStarted = true;
        throw std::runtime_error("trial " + std::to_string(i) + " failed");
      }
      return planItem(i, aim, strength, requirePocket);
    };
    int consumed = 0;
    const auto consume = [&](int i, const TrialSlot&) {
      // Holding the calling thread here (20 s at most) leaves the failing item to a worker.
      for (int n = 0; i == 0 && !failingItemStarted && n < 200000; ++n) std::this_thread::sleep_for(100us);
      EXPECT_EQ(i, consumed++);
      return false;
    };
    std::string thrown;
    try {
      trials.run(itemCount, plan, consume);
    } catch (const std::runtime_error& e) {
      thrown = e.what();
    }
    EXPECT_EQ(thrown, "trial 12 failed");
    // Consumed in order, never beyond the failed item; all before it when a worker failed.
    EXPECT_LE(consumed, failingItem);
    if (failedOnAWorker) {
      ++thrownOnAWorker;
      EXPECT_EQ(consumed, failingItem);
    }
    if (HasFailure()) break;
  }
  EXPECT_GT(thrownOnAWorker, 0);

  InOrderTrials trials(pool, base, settings);
  expectAllItemsInOrder(trials);
}

}  // namespace
}  // namespace morvane
