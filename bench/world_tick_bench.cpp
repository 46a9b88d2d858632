// One whole simulation tick (motion, collisions, pocketing) at 86, 345 and 1000 balls, with the
// collision engine and with the all-pairs reference side by side, and with no
// collision pass at all as the common base.
//
// The table is put back to its starting snapshot every restartEvery ticks, so every measurement
// covers the same stretch of play: the break into a resting diamond, or a full chaotic rack with
// every ball moving. The restore (one copy of the world) is counted in; it is a few microseconds
// every restartEvery ticks.
#include <benchmark/benchmark.h>

#include "math/random.h"
#include "reference/world_passes.h"
#include "rules/match_state.h"
#include "rules/scoring.h"
#include "rules/setup.h"
#include "rules/match_settings.h"
#include "world/collision_engine.h"
#include "world/step.h"
#include "world/world.h"

namespace morvane {
namespace {

constexpr int restartEvery = 200;

enum class CollisionPass { none, engine, allPairs };

// The live tick's passes with the collision pass chosen.
class TickPasses : public WholeTable {
 public:
  TickPasses(CollisionEngine& engine, CollisionPass pass) : WholeTable(engine), pass_(pass) {}
  void collide(World& world, FirstTouch& touch, SoundSink& sounds) {
    if (pass_ == CollisionPass::engine) WholeTable::collide(world, touch, sounds);
    if (pass_ == CollisionPass::allPairs) collideBallsAllPairs(world, touch, sounds);
  }

 private:
  CollisionPass pass_;
};

struct Table {
  World world;
  MatchState match;
  MatchSettings settings;
};

// The diamond of edge n at rest and the cue ball coming at it along x at full strength.
Table diamondBreak(int n) {
  Table table;
  table.settings = defaultMatchSettings();
  table.settings.rackSize = 2 * n;
  Random random(1);
  MatchHooks hooks;
  layOutRound(table.world, table.match, table.settings, random, hooks);
  table.world.balls[cueBallSlot].init(Vec3{-300.0f, -20.0f, -20.0f}, Vec3{20000.0f, 0.0f, 0.0f}, colourCueBall);
  table.match.ballInHand = 0;
  table.match.shotInProgress = 1;
  return table;
}

// The largest chaotic rack, 1000 balls (the last one in the cue ball's slot), all moving.
Table chaoticRush() {
  Table table;
  table.settings = defaultMatchSettings();
  table.settings.chaoticRack = 1;
  table.settings.rackSize = 100;
  Random random(20261206);
  MatchHooks hooks;
  layOutRound(table.world, table.match, table.settings, random, hooks);
  for (Ball& ball : table.world.balls) {
    const float x = randomCoordinate(random, 10000.0f);
    const float y = randomCoordinate(random, 10000.0f);
    const float z = randomCoordinate(random, 10000.0f);
    ball.velocity = Vec3{x, y, z};
  }
  table.match.shotInProgress = 1;
  return table;
}

void worldTick(benchmark::State& state, Table (*makeTable)(), CollisionPass collide) {
  const Table start = makeTable();
  Table table = start;
  SilentSink silent;
  CollisionEngine engine;
  TickPasses passes(engine, collide);
  int ticks = 0;
  for (auto _ : state) {
    if (ticks == restartEvery) {
      table = start;
      ticks = 0;
    }
    ScoringListener scoring(table.match, table.settings);
    stepWorld(table.world, passes,
              FirstTouch{table.match.cueBallTouched, table.match.foulCommitted, table.match.targetColour}, scoring,
              silent);
    benchmark::DoNotOptimize(table.world.balls.data());
    benchmark::ClobberMemory();
    ++ticks;
  }
  int active = 0;
  for (const Ball& ball : start.world.balls) active += ball.active;
  state.counters["balls"] = active;
  state.SetItemsProcessed(state.iterations());
}

Table diamond86() { return diamondBreak(5); }
Table diamond345() { return diamondBreak(8); }

BENCHMARK_CAPTURE(worldTick, 86_balls_no_collisions, &diamond86, CollisionPass::none);
BENCHMARK_CAPTURE(worldTick, 86_balls_engine, &diamond86, CollisionPass::engine);
BENCHMARK_CAPTURE(worldTick, 86_balls_all_pairs, &diamond86, CollisionPass::allPairs);
BENCHMARK_CAPTURE(worldTick, 345_balls_no_collisions, &diamond345, CollisionPass::none);
BENCHMARK_CAPTURE(worldTick, 345_balls_engine, &diamond345, CollisionPass::engine);
BENCHMARK_CAPTURE(worldTick, 345_balls_all_pairs, &diamond345, CollisionPass::allPairs);
BENCHMARK_CAPTURE(worldTick, 1000_balls_no_collisions, &chaoticRush, CollisionPass::none);
BENCHMARK_CAPTURE(worldTick, 1000_balls_engine, &chaoticRush, CollisionPass::engine);
BENCHMARK_CAPTURE(worldTick, 1000_balls_all_pairs, &chaoticRush, CollisionPass::allPairs);

}  // namespace
}  // namespace morvane
