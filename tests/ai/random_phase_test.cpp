// The random phase's switch: tries 1 to 99 must pocket a ball, and from the hundredth on a safe
// shot (the target colour touched first, no foul, nothing pocketed) is played. Both searches
// must switch at exactly the hundredth try.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>

#include "game/computer_player.h"
#include "reference/one_by_one_search.h"

namespace morvane {
namespace {

struct NullReporter final : ProgressReporter {
  void report(const std::string&, float) override {}
};

// The cue ball at the origin inside a cluster of blue balls 10 apart, blue to play, no pocket:
// every try with a direction and a strength touches a blue ball in its first step and pockets
// nothing, so it is refused while a pocket is required and played as soon as it is not.
std::unique_ptr<Game> safeShotsOnly(uint32_t seed) {
  auto game = std::make_unique<Game>();
  game->settings = defaultMatchSettings();
  game->settings.arenaHalfSize = game->world.arenaHalfSize = 500.0f;
  game->settings.aimError = 0.0f;
  game->match.ballInHand = game->match.breakShotPending = 0;
  game->match.targetColour = colourBlue;
  game->world.balls[cueBallSlot].init(Vec3{}, Vec3{}, colourCueBall);
  int slot = 0;
  for (const Vec3 p : {Vec3{}, Vec3{10, 0, 0}, Vec3{-10, 0, 0}, Vec3{0, 10, 0}, Vec3{0, -10, 0}, Vec3{0, 0, 10},
                       Vec3{0, 0, -10}}) {
    game->world.balls[slot++].init(p, Vec3{}, colourBlue);
  }
  game->random = Random(seed);
  return game;
}

// Whether random try n (from 1) drawn from this generator can be struck: a direction and a
// strength above 0.
bool triesCanBeStruck(Random random, std::initializer_list<int> tries) {
  bool all = true;
  for (int n = 1; n <= randomTryCount; ++n) {
    const RandomTry t = drawRandomTry(random, false, maxSearchStrength(500.0f));
    for (int wanted : tries) {
      if (n == wanted) all = all && !(t.aim == Vec3{}) && t.strength > 0.0f;
    }
  }
  return all;
}

TEST(RandomPhase, TheHundredthTryIsTheFirstThatMayBeASafeShot) {
  const uint32_t seed = 5;
  // Tries 99, 100 and 101 could each be played, so a switch one try early or late shows.
  ASSERT_TRUE(triesCanBeStruck(Random(seed), {99, 100, 101}));
  TrialWorkers workers(1);
  NullReporter progress;
  auto fast = safeShotsOnly(seed), reference = safeShotsOnly(seed);
  const SearchOutcome a = playComputerTurn(*fast, progress, workers);
  const SearchOutcome b = playComputerTurnOneByOne(*reference, progress);
  for (const SearchOutcome& outcome : {a, b}) {
    EXPECT_EQ(outcome.phase, SearchPhase::randomShot);
    EXPECT_EQ(std::pair(outcome.found, outcome.index), std::pair(true, 100));
  }
  EXPECT_EQ(fast->cue.cueDirection, reference->cue.cueDirection);
}

}  // namespace
}  // namespace morvane
