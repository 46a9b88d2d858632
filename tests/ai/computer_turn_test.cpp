// The computer's turn: the trial shot (its verdicts, its stop at a foul, the tables left as they
// were), the search (the cut-shot order and its early end, the random tries, the aim error of
// the levels), and the fast search (parallel trials on copies, the sparse trial simulator)
// against the straightforward one (one trial after another on the live tables with the full
// passes): the same shot, strength, generator state, progress reports and, once the shot is
// played, the same world, in many situations.
#include <gtest/gtest.h>

#include <cmath>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "game/computer_player.h"
#include "reference/one_by_one_search.h"
#include "rules/referee.h"
#include "rules/setup.h"

namespace morvane {
namespace {

// The workers of every fast search in these tests.
TrialWorkers& workers() {
  static TrialWorkers pool(defaultTrialWorkerCount());
  return pool;
}

struct RecordingReporter final : ProgressReporter {
  void report(const std::string& caption, float fraction) override { reports.emplace_back(caption, fraction); }
  std::vector<std::pair<std::string, float>> reports;
};

// An empty arena without pockets, no aim error, the cue ball at rest at the origin, blue to play
// at strength 50.
Game openArena(float halfSize) {
  Game game;
  game.settings = defaultMatchSettings();
  game.settings.arenaHalfSize = game.world.arenaHalfSize = halfSize;
  game.settings.aimError = game.match.ballInHand = game.match.breakShotPending = 0;
  game.match.targetColour = colourBlue;
  game.world.balls[cueBallSlot].init(Vec3{}, Vec3{}, colourCueBall);
  game.cue.shotStrength = 50.0f;
  return game;
}

void addPocket(World& world, int slot, Vec3 centre) {
  world.pockets[slot].centre = centre;
  world.pockets[slot].active = 1;
}

// Both players computer-controlled, the given rack, arena and level.
MatchSettings computerSettings(int n, int chaotic, float halfSize, int level) {
  MatchSettings s = defaultMatchSettings();
  s.rackSize = 2 * n;
  s.chaoticRack = chaotic;
  s.arenaHalfSize = halfSize;
  s.aimError = difficultyLevels[level].aimError;
  s.player1Computer = s.player2Computer = 1;
  return s;
}

// Plays a fresh match through the tick, both players computer-controlled, and keeps the game as
// the referee starts each computer turn: games[0] is the first turn (the break, cue ball in
// hand), games[k] the turn after k shots.
std::vector<Game> gamesAtTurns(const MatchSettings& settings, uint32_t seed, int turns) {
  struct Snapshots final : MatchHooks {
    void takeComputerTurn() override {
      if (int(games.size()) == turns) return;
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
  startMatch(game, settings, 0);
  for (uint32_t tick = 1; tick <= 6000u * turns && int(hooks.games.size()) < turns; ++tick) gameTick(game, tick * 16);
  EXPECT_EQ(int(hooks.games.size()), turns) << "the computer's turns stopped coming";
  return hooks.games;
}

Game gameAtTurn(const MatchSettings& s, uint32_t seed, int turn) { return gamesAtTurns(s, seed, turn).at(turn - 1); }

// Ticks until the armed computer shot has been struck and judged. False if it never was.
bool playOutShot(Game& game) {
  const uint32_t start = game.tickTimer.startTicks;
  for (uint32_t tick = 1; tick <= 20000; ++tick) {
    gameTick(game, start + tick * 16);
    if (game.match.computerShotPending == 0 && game.match.shotInProgress == 0) return true;
  }
  return false;
}

template <class T> bool sameBits(const T& a, const T& b) { return std::memcmp(&a, &b, sizeof(T)) == 0; }

ShotState tableOf(const Game& game) { return ShotState{game.world, game.match, game.cue}; }

struct Trial {
  bool accepted;
  TrialOutcome outcome;
  std::unique_ptr<TrialSimulator> simulator;  // its tables show the end state
};

// Plays the trial on the live game with the straightforward passes and on a trial simulator: the
// same verdict, and the game left as it was apart from the pocket streak and a strength above
// 200, which the strike cuts as the real shot will.
Trial trial(const Game& start, Vec3 aim, bool requirePocket) {
  Game live = start;
  Trial t{preSimulateShotInPlace(live, aim, requirePocket), {}, std::make_unique<TrialSimulator>()};
  MatchState expected = start.match;
  expected.pocketStreak = live.match.pocketStreak;
  EXPECT_EQ(live.match, expected);
  EXPECT_EQ(worldHash(live.world), worldHash(start.world));
  EXPECT_TRUE(sameBits(live.cue.cueDirection, start.cue.cueDirection));
  EXPECT_EQ(live.cue.shotStrength, std::min(start.cue.shotStrength, 200.0f));
  t.simulator->setBase(tableOf(start), start.settings);
  t.outcome = t.simulator->play(aim, start.cue.shotStrength, requirePocket);
  EXPECT_EQ(t.outcome.accepted, t.accepted);
  return t;
}

TEST(PreSimulation, Verdicts) {
  const Vec3 ahead{1.0f, 0.0f, 0.0f};
  Game wrongColour = openArena(500.0f);
  wrongColour.world.balls[0].init(Vec3{45.0f, 0.0f, 0.0f}, Vec3{}, colourGreen);
  wrongColour.world.balls[1].init(Vec3{300.0f, 300.0f, 300.0f}, Vec3{}, colourBlue);
  const Trial fouled = trial(wrongColour, ahead, false);
  const ShotState& stopped = fouled.simulator->shot();
  EXPECT_FALSE(fouled.accepted);
  // Stopped with the step of the contact (the first: 10 units at strength 50): the green ball
  // has taken the cue ball's speed but not yet moved.
  EXPECT_EQ(std::tie(fouled.outcome.steps, stopped.match.foulCommitted, stopped.match.cueBallTouched),
            std::tuple(1, 1, 1));
  EXPECT_EQ(stopped.world.balls[0].position.x, 45.0f);
  EXPECT_GT(stopped.world.balls[0].velocity.x, 4000.0f);

  Game pocketed = openArena(500.0f);
  pocketed.world.balls[0].init(Vec3{0.0f, 200.0f, 0.0f}, Vec3{}, colourBlue);  // falls in the first step
  addPocket(pocketed.world, 0, Vec3{0.0f, 200.0f, 0.0f});
  // Overlapping behind the cue ball: touched in the first step (blue, so no foul), not pushed.
  pocketed.world.balls[1].init(Vec3{-10.0f, 0.0f, 0.0f}, Vec3{}, colourBlue);
  EXPECT_TRUE(trial(pocketed, ahead, true).accepted);
  addPocket(pocketed.world, 1, Vec3{300.0f, 0.0f, 0.0f});  // on the cue ball's way
  const Trial lost = trial(pocketed, ahead, true);
  const ShotState& end = lost.simulator->shot();
  EXPECT_FALSE(lost.accepted);
  EXPECT_EQ(std::tie(end.world.balls[0].active, end.world.balls[cueBallSlot].active), std::tuple(0, 0));
  EXPECT_EQ(end.match.scores[0], 1.0f);  // the blue scored before the cue ball fell

  Game clean = openArena(500.0f);
  clean.world.balls[0].init(Vec3{100.0f, 0.0f, 0.0f}, Vec3{}, colourBlue);
  EXPECT_TRUE(trial(clean, ahead * 5.0f, false).accepted);
  EXPECT_FALSE(trial(clean, ahead * 5.0f, true).accepted);
  EXPECT_FALSE(trial(clean, Vec3{0.0f, 3.0f, 0.0f}, false).accepted);  // missing the ball is no touch
  clean.cue.shotStrength = 0.0f;
  const Trial still = trial(clean, ahead, false);
  EXPECT_EQ(std::pair(still.accepted, still.outcome.steps), std::pair(false, 0));
}

TEST(AimSearch, WithoutAnActivePocketTheRandomShotsComeFirst) {
  Game game = openArena(500.0f);
  for (int s = 0; s < 8; ++s)  // a blue ball in each corner of a cube around the cue ball
    game.world.balls[s].init(Vec3{s & 1 ? 250.f : -250.f, s & 2 ? 250.f : -250.f, s & 4 ? 250.f : -250.f}, {},
                             colourBlue);
  RecordingReporter progress;
  const SearchOutcome outcome = playComputerTurn(game, progress, workers());
  EXPECT_EQ(outcome.phase, SearchPhase::randomShot);
  EXPECT_GE(outcome.index, 100);  // without pockets nothing falls: the first hundred tries fail
  ASSERT_FALSE(progress.reports.empty());
  EXPECT_EQ(progress.reports.front(), std::pair(std::string("V: 1/2000"), 0.0005f));
  EXPECT_EQ(std::tie(game.match.computerShotPending, game.progress.progressVisible), std::tuple(1, 0));
}

TEST(AimSearch, ACandidateWhoseBestPocketIsBlockedIsPassedOver) {
  Game game = openArena(500.0f);
  const Vec3 cue{-200.0f, 0.0f, 0.0f};
  game.world.balls[cueBallSlot].position = cue;
  game.world.balls[0].init(Vec3{0.0f, 0.0f, 0.0f}, Vec3{}, colourBlue);      // straight in line
  game.world.balls[1].init(Vec3{0.0f, -200.0f, 0.0f}, Vec3{}, colourBlue);   // a thinner cut
  game.world.balls[2].init(Vec3{150.0f, 39.0f, 0.0f}, Vec3{}, colourGreen);  // 39 off ball 0's line
  addPocket(game.world, 0, Vec3{300.0f, 0.0f, 0.0f});
  addPocket(game.world, 1, Vec3{200.0f, 300.0f, 0.0f});  // ball 0's other pocket: free, but never tried
  Vec3 aim;
  EXPECT_FALSE(AimGeometry(game.world).cutShotAim(cue, 0, aim));
  RecordingReporter progress;
  playComputerTurn(game, progress, workers());
  ASSERT_FALSE(progress.reports.empty());
  EXPECT_EQ(progress.reports.front(), std::pair(std::string("C: 1/1000"), 0.001f));  // k = 0 passed over
  game.world.balls[2].position.y = 41.0f;  // 41 off the line the ball no longer blocks
  EXPECT_TRUE(AimGeometry(game.world).cutShotAim(cue, 0, aim));
}

TEST(AimSearch, TheAimErrorIsNeverLongerThanTheLevelAllows) {
  Random random(99);
  for (const DifficultyLevel& level : difficultyLevels) {
    float largest = 0.0f;
    for (int k = 0; k < 3000; ++k) {
      const Vec3 aim = drawRandomTry(random, true, 1.0f).aim;
      Vec3 spoilt = aim;
      const Random before = random;
      applyAimError(spoilt, level.aimError, random);
      const float bound = level.aimError * length(aim), error = length(spoilt - aim);
      EXPECT_LE(error, bound * 1.0001f + 1e-3f) << level.name;
      largest = std::max(largest, bound > 0.0f ? error / bound : 0.0f);
      if (level.aimError == 0.0f) {
        EXPECT_TRUE(random == before && spoilt == aim);
      }
    }
    EXPECT_TRUE(level.aimError == 0.0f || largest > 0.99f) << level.name;
  }
}

// The oracle: the fast search against the straightforward one.

int championCutShots = 0;

// Returns the outcome and the game as the search left it. Also: a break is struck at full
// strength, a cue ball in hand is put down legally, and a cut shot of THE CHAMPION pockets a ball.
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
  if (start.match.breakShotPending != 0) {
    EXPECT_EQ(fast.cue.shotStrength, 200.0f);
  }
  if (start.match.ballInHand != 0) {
    World without = fast.world;
    without.balls[cueBallSlot].active = 0;
    const Ball& cueBall = fast.world.balls[cueBallSlot];
    EXPECT_EQ(std::tie(fast.match.ballInHand, cueBall.active, cueBall.colour), std::tuple(0, 1, colourCueBall));
    EXPECT_TRUE(sameBits(cueBall.velocity, Vec3{}) && cueBallPlacementOk(without, cueBall.position));
  }
  const std::pair<SearchOutcome, Game> searched(a, fast);
  EXPECT_TRUE(playOutShot(fast) && playOutShot(reference));
  EXPECT_EQ(worldHash(fast.world), worldHash(reference.world));
  EXPECT_EQ(fast.match, reference.match);
  if (start.settings.aimError == 0.0f && a.phase == SearchPhase::cutShot) {
    ++championCutShots;
    EXPECT_EQ(std::tie(fast.match.ballPocketedThisShot, fast.match.currentPlayer),
              std::tuple(1, start.match.currentPlayer));
  }
  return searched;
}

// The safe edges: a path without a length (or NaN) is never clear, a ball exactly on the line
// blocks, and a cue ball that cannot be placed anywhere legal ends up at the centre.
TEST(AimSearch, DegeneratePathsAndACrowdedArenaNeverHang) {
  World world;
  world.arenaHalfSize = 500.0f;
  world.balls[3].init(Vec3{100, 0, 0}, Vec3{}, colourBlue);
  const AimGeometry geometry(world);
  EXPECT_FALSE(geometry.pathClear(Vec3{}, Vec3{}, -1, false));
  EXPECT_FALSE(geometry.pathClear(Vec3{}, Vec3{NAN, 0, 0}, -1, false));
  EXPECT_FALSE(geometry.pathClear(Vec3{}, Vec3{300, 0, 0}, -1, false));
  EXPECT_TRUE(geometry.pathClear(Vec3{}, Vec3{300, 0, 0}, 3, false));

  World crowded;
  crowded.arenaHalfSize = 20.0f;  // every point lies within 40 of this ball
  crowded.balls[0].init(Vec3{}, Vec3{}, colourBlue);
  MatchState match;
  Random random(3);
  computerPlacesCueBall(crowded, match, random);
  EXPECT_EQ(match.ballInHand, 0);
  EXPECT_EQ(crowded.balls[cueBallSlot].position, Vec3{});
}

TEST(SearchOracle, RacksArenasAndLevels) {
  // Turns first..last of a match between computers; turn 1 is the break with the ball in hand.
  const struct { int n, chaotic; float halfSize; int level, seed, first, last, multipliers; } cases[] = {
      {5, 0, 500, 0, 100, 1, 4, 0}, {5, 0, 500, 1, 107, 1, 4, 0}, {5, 0, 500, 2, 114, 1, 4, 0},
      {5, 0, 500, 3, 121, 1, 4, 0}, {5, 0, 500, 4, 128, 1, 4, 0}, {3, 0, 500, 0, 31, 3, 3, 1},
      {4, 0, 200, 1, 32, 2, 2, 0},  {2, 0, 80, 2, 33, 2, 2, 0},   {8, 0, 500, 3, 34, 2, 2, 0},
      {3, 0, 2500, 4, 35, 3, 3, 1}, {3, 0, 500, 0, 36, 1, 1, 0},  {5, 1, 500, 2, 57, 1, 1, 0},
      {20, 1, 500, 3, 58, 2, 2, 0}, {10, 1, 150, 4, 59, 3, 3, 0}, {50, 1, 500, 4, 59, 1, 1, 0}};
  for (const auto& c : cases) {
    MatchSettings settings = computerSettings(c.n, c.chaotic, c.halfSize, c.level);
    settings.multiplierEnabled = c.multipliers;
    const std::vector<Game> games = gamesAtTurns(settings, uint32_t(c.seed), c.last);
    for (int turn = c.first; turn <= int(games.size()); ++turn)
      expectSameTurn(games[size_t(turn - 1)], "case " + std::to_string(&c - cases) + " turn " + std::to_string(turn));
  }
  EXPECT_GE(championCutShots, 4);
}

TEST(SearchOracle, EveryTryFailingPlaysTheLastRandomTry) {
  // The cue ball sits among green balls 10 apart while blue is to play: whatever the direction,
  // it touches a green in the first step (a foul), and a zero strength touches nothing. In the
  // large arena random strengths reach 315, cut to 200 by each trial's strike.
  for (float halfSize : {500.0f, 5000.0f}) {
    Game game = openArena(halfSize);
    int slot = 0;
    for (const Vec3 p : {Vec3{}, Vec3{10, 0, 0}, Vec3{-10, 0, 0}, Vec3{0, 10, 0}, Vec3{0, -10, 0}, Vec3{0, 0, 10},
                         Vec3{0, 0, -10}})
      game.world.balls[slot++].init(p, Vec3{}, colourGreen);
    game.world.balls[slot].init(Vec3{400.0f, 400.0f, 400.0f}, Vec3{}, colourBlue);
    Random expected = game.random;
    RandomTry last{};
    for (int n = 1; n <= randomTryCount; ++n) last = drawRandomTry(expected, false, maxSearchStrength(halfSize));
    const auto [outcome, searched] = expectSameTurn(game, "every try failing, H=" + std::to_string(halfSize));
    EXPECT_EQ(std::tie(outcome.found, outcome.index, searched.random), std::tuple(false, randomTryCount, expected));
    EXPECT_EQ(searched.cue.shotStrength, std::min(last.strength, 200.0f));
    EXPECT_EQ(searched.cue.cueDirection, last.aim * (100.0f / length(last.aim)));
  }
}

// The sparse simulator against the full passes, trial after trial on one simulator (so its
// reset after each trial is exercised too), comparing the end state of every trial bit for bit.
void expectSameTrials(const Game& start, int trials, uint32_t seed) {
  auto simulator = std::make_unique<TrialSimulator>();
  simulator->setBase(ShotState{start.world, start.match, start.cue}, start.settings);
  Random random(seed);
  for (int t = 0; t < trials && !::testing::Test::HasFatalFailure(); ++t) {
    const RandomTry shot = drawRandomTry(random, false, 3.0f);  // strengths up to 299: some capped
    if (shot.aim == Vec3{}) continue;
    const TrialOutcome outcome = simulator->play(shot.aim, shot.strength, t % 2 == 0);
    Game full = start;
    full.cue.shotStrength = shot.strength;
    SCOPED_TRACE("trial " + std::to_string(t));
    ASSERT_EQ(outcome.accepted,
              playTrialWithFullPasses(full.world, full.match, full.cue, full.settings, shot.aim, t % 2 == 0));
    const ShotState& end = simulator->shot();
    ASSERT_EQ(worldHash(end.world), worldHash(full.world));
    ASSERT_EQ(end.match, full.match);
    ASSERT_TRUE(sameBits(end.cue, full.cue));
  }
}

TEST(SearchOracle, SparseTrialsMatchTheFullPasses) {
  Game diamond = gameAtTurn(computerSettings(8, false, 500.0f, 0), 5, 1);
  diamond.match.ballInHand = 0;
  diamond.world.balls[cueBallSlot].init(Vec3{-250.0f, -20.0f, -20.0f}, Vec3{}, colourCueBall);
  diamond.settings.multiplierEnabled = 1;
  expectSameTrials(diamond, 12, 1);
  // Overlapping balls everywhere, a coloured ball in the cue ball's slot replaced by the cue ball.
  Game packed = gameAtTurn(computerSettings(50, true, 260.0f, 0), 6, 1);
  computerPlacesCueBall(packed.world, packed.match, packed.random);
  expectSameTrials(packed, 12, 2);
  // Signed zeros in resting balls and a ball resting inside a pocket at the start.
  Game odd = gameAtTurn(computerSettings(3, false, 500.0f, 0), 7, 1);
  odd.match.ballInHand = 0;
  odd.world.balls[cueBallSlot].init(Vec3{-200.0f, 0.0f, 0.0f}, Vec3{}, colourCueBall);
  odd.world.balls[1].position.y = -0.0f;
  odd.world.balls[2].velocity = Vec3{-0.0f, 0.0f, -0.0f};
  odd.world.balls[3].position = odd.world.pockets[0].centre;
  expectSameTrials(odd, 24, 3);
}

}  // namespace
}  // namespace morvane
