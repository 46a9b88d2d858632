// The computer's turn: the trial's verdicts, the search's edges, and the fast search (parallel
// trials on copies, the sparse trial simulator) against the one-by-one search on the live tables
// with the full passes: the same shot, generator, progress reports and, played out, world.
#include <gtest/gtest.h>

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

void addPocket(World& world, int slot, Vec3 centre) {
  world.pockets[slot].centre = centre;
  world.pockets[slot].active = 1;
}

// Plays a match between computers through the tick: games[k] is the game as turn k + 1 starts
// (games[0] the break, cue ball in hand).
std::vector<Game> gamesAtTurns(int n, int chaotic, float halfSize, int level, int multipliers, uint32_t seed,
                               int turns) {
  MatchSettings s = defaultMatchSettings();
  s.rackSize = 2 * n;
  s.chaoticRack = chaotic;
  s.arenaHalfSize = halfSize;
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

// One trial on the sparse simulator (its base set already) and on a copy of start with the full
// passes: the same verdict and end state, bit for bit.
TrialOutcome expectSameTrial(TrialSimulator& simulator, const Game& start, Vec3 aim, float strength, bool requirePocket) {
  Game full = start;
  full.cue.shotStrength = strength;
  const bool accepted = playTrialWithFullPasses(full.world, full.match, full.cue, full.settings, aim, requirePocket);
  const TrialOutcome outcome = simulator.play(aim, strength, requirePocket);
  const ShotState& end = simulator.shot();
  EXPECT_EQ(outcome.accepted, accepted);
  EXPECT_TRUE(worldHash(end.world) == worldHash(full.world) && end.match == full.match && sameBits(end.cue, full.cue));
  return outcome;
}

TrialOutcome trial(const Game& start, Vec3 aim, bool requirePocket, TrialSimulator& simulator) {
  simulator.setBase(ShotState{start.world, start.match, start.cue}, start.settings);
  return expectSameTrial(simulator, start, aim, start.cue.shotStrength, requirePocket);
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
// strength (up to 315 in the large arena) cut to 200.
TEST(SearchOracle, EveryTryFailingPlaysTheLastRandomTry) {
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

// The sparse simulator against the full passes, trial after trial on one simulator (so its reset
// is exercised too); strengths up to 299, some cut.
void expectSameTrials(const Game& start, int trials, uint32_t seed) {
  auto simulator = std::make_unique<TrialSimulator>();
  simulator->setBase(ShotState{start.world, start.match, start.cue}, start.settings);
  Random random(seed);
  for (int t = 0; t < trials && !::testing::Test::HasFailure(); ++t) {
    const RandomTry shot = drawRandomTry(random, false, 3.0f);
    SCOPED_TRACE("trial " + std::to_string(t));
    if (!(shot.aim == Vec3{})) expectSameTrial(*simulator, start, shot.aim, shot.strength, t % 2 == 0);
  }
}

TEST(SearchOracle, SparseTrialsMatchTheFullPasses) {
  // Overlapping balls everywhere, a coloured ball in the cue ball's slot replaced by the cue ball.
  Game packed = gamesAtTurns(50, 1, 260.0f, 0, 0, 6, 1)[0];
  computerPlacesCueBall(packed.world, packed.match, packed.random);
  expectSameTrials(packed, 12, 2);
  // Signed zeros in resting balls and a ball resting inside a pocket at the start.
  Game odd = gamesAtTurns(3, 0, 500.0f, 0, 0, 7, 1)[0];
  odd.match.ballInHand = 0;
  odd.world.balls[cueBallSlot].init(Vec3{-200.0f, 0.0f, 0.0f}, Vec3{}, colourCueBall);
  odd.world.balls[1].position.y = -0.0f;
  odd.world.balls[2].velocity = Vec3{-0.0f, 0.0f, -0.0f};
  odd.world.balls[3].position = odd.world.pockets[0].centre;
  expectSameTrials(odd, 24, 3);
}

}  // namespace
}  // namespace morvane
