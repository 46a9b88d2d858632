// The collision engine kept up to date the way a trial keeps it (one snapshot, then only the
// balls that moved or fell are passed on, with new snapshots once the movers pile up) against
// the all-pairs and every-pocket references, step by step, on layouts that stress the grid:
// balls far apart, coordinates so large that the snapshot's cells grow coarse or its extent
// overflows, pairs exactly 40 apart, and a crowd in a single cell.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "math/random.h"
#include "reference/world_passes.h"
#include "rules/scoring.h"
#include "support/recording_sink.h"
#include "world/collision_engine.h"

namespace morvane {
namespace {

Vec3 randomVelocity(Random& random, float maxSpeed) {
  Vec3 v;
  for (float* c : {&v.x, &v.y, &v.z}) *c = static_cast<float>(random.next() - 16384) / 16384.0f * maxSpeed;
  return v;
}

struct Side : PocketListener {
  explicit Side(const World& start) : world(start) {}
  void ballPocketed(Ball& ball) override {
    slots.push_back(static_cast<int>(&ball - world.balls.data()));
    scorePocketedBall(ball, match, settings);
  }
  FirstTouch touch() { return FirstTouch{match.cueBallTouched, match.foulCommitted, match.targetColour}; }
  World world;
  MatchState match;
  MatchSettings settings = defaultMatchSettings();
  RecordingSink sink;
  std::vector<int> slots;
};

// Steps both sides and compares after each step; returns the clicks and falls heard.
int expectEngineMatchesReference(const std::string& name, const World& start, int steps) {
  Side engineSide(start), reference(start);
  CollisionEngine engine;
  engine.grid().rebuild(engineSide.world.balls);
  BallTable before = engineSide.world.balls;
  for (int step = 0; step < steps; ++step) {
    for (Side* side : {&engineSide, &reference}) {
      side->match.targetColour = colourBlue;
      if (step % 40 == 0) side->match.cueBallTouched = side->match.foulCommitted = 0;  // a fresh shot
      moveAllBalls(side->world, side->sink);
    }
    BallTable& balls = engineSide.world.balls;
    std::vector<int16_t> candidates;
    for (int s = 0; s < ballCount; ++s) {
      if (balls[s].active == 0) continue;
      if (!(balls[s].position == before[s].position)) engine.grid().update(s, balls[s].position);
      if (!(balls[s].velocity == Vec3{}) || balls[s].colour == colourCueBall) candidates.push_back(static_cast<int16_t>(s));
    }
    FirstTouch touch = engineSide.touch();
    engine.resolve(balls, candidates, touch, engineSide.sink);
    pocketBalls(engineSide.world, engineSide, engineSide.sink);
    for (int s = 0; s < ballCount; ++s) {
      if (balls[s].active == 0 && before[s].active != 0) engine.grid().remove(s);
    }
    before = balls;

    collideBallsAllPairs(reference.world, reference.touch(), reference.sink);
    pocketBallsEveryPocket(reference.world, reference, reference.sink);

    EXPECT_EQ(worldHash(engineSide.world), worldHash(reference.world)) << name << " step " << step;
    EXPECT_EQ(engineSide.match, reference.match) << name << " step " << step;
    EXPECT_EQ(engineSide.slots, reference.slots) << name << " step " << step;
    EXPECT_EQ(engineSide.sink.played, reference.sink.played) << name << " step " << step;
    if (::testing::Test::HasFailure()) return 0;
  }
  return static_cast<int>(engineSide.sink.played.size()) - engineSide.sink.count(SoundId::wall);
}

// count balls around centre within +-spread, a share of them moving, with the cue ball among them.
void scatter(World& world, Random& random, int first, int count, Vec3 centre, float spread, float maxSpeed,
             int movingEvery) {
  for (int k = 0; k < count; ++k) {
    Vec3 p = centre;
    for (float* c : {&p.x, &p.y, &p.z}) *c += randomCoordinate(random, spread);
    const Vec3 v = k % movingEvery == 0 ? randomVelocity(random, maxSpeed) : Vec3{};
    world.balls[first + k].init(p, v, static_cast<BallColour>(k % 3));
  }
}

TEST(CollisionEngine, KeptUpToDateLikeATrialItMatchesTheReferences) {
  Random random(77);
  int heard = 0;

  // A resting crowd, a few fast movers and some slow ones that soon stop where the snapshot
  // does not have them: the mover list stays short.
  World few;
  few.arenaHalfSize = 400.0f;
  scatter(few, random, 0, 300, {}, 300.0f, 0.0f, 1);
  scatter(few, random, 300, 12, {}, 350.0f, 15000.0f, 1);
  scatter(few, random, 312, 30, {}, 300.0f, 1500.0f, 1);
  few.balls[cueBallSlot].init({-380, 10, 5}, {20000, 300, -200}, colourCueBall);
  heard += expectEngineMatchesReference("few movers", few, 300);

  World crowd;  // 150 balls inside one cell's width, all moving: new snapshots every step
  crowd.arenaHalfSize = 200.0f;
  scatter(crowd, random, 0, 150, {10, -30, 25}, 40.0f, 3000.0f, 1);
  crowd.balls[cueBallSlot].init({60, 0, 0}, {-2000, 0, 0}, colourCueBall);
  heard += expectEngineMatchesReference("one crowded cell", crowd, 150);

  // Clusters a million units apart (coarse cells), with pockets among them.
  World spread;
  spread.arenaHalfSize = 2.0e6f;
  const Vec3 centres[] = {{-1.5e6f, 0, 0}, {1.5e6f, 1.0e6f, -1.0e6f}, {0, -1.5e6f, 1.5e6f}, {3, 7, -11}};
  for (int c = 0; c < 4; ++c) scatter(spread, random, 100 * c, 100, centres[c], 150.0f, 8000.0f, 2);
  for (int p = 0; p < 8; ++p) {
    spread.pockets[p].centre = centres[p % 4] + Vec3{randomCoordinate(random, 100.0f), 0, 0};
    spread.pockets[p].active = 1;
  }
  heard += expectEngineMatchesReference("clusters far apart", spread, 200);

  // Balls at the ends of the float range: the snapshot's extent overflows; they never touch.
  World extreme = few;
  extreme.balls[400].init({3.0e38f, -3.0e38f, 1.0e30f}, {}, colourGreen);
  extreme.balls[401].init({-3.0e38f, 3.0e38f, -1.0e30f}, {}, colourGreen);
  extreme.balls[402].init({1.0e20f, 5, 5}, {900, 0, 0}, colourRed);
  heard += expectEngineMatchesReference("extreme coordinates", extreme, 100);

  // A row of balls that drift a little and stop, off the snapshot, before the cue ball runs
  // into them: only the mover list knows where they are.
  World stopped;
  stopped.arenaHalfSize = 4000.0f;
  for (int k = 0; k < 20; ++k) stopped.balls[k].init({45.0f * k, 0, 0}, {0, 600.0f + 10 * k, 0}, colourBlue);
  stopped.balls[cueBallSlot].init({-3000, 25, 3}, {20000, 0, 0}, colourCueBall);
  heard += expectEngineMatchesReference("stopped movers", stopped, 250);

  // A lattice of balls exactly 40 apart (not touching) with movers threading through it, and
  // pairs 39.99 apart (touching) at rest.
  World lattice;
  lattice.arenaHalfSize = 500.0f;
  int slot = 0;
  for (int i = 0; i < 6; ++i) {
    for (int j = 0; j < 6; ++j) {
      for (int k = 0; k < 6; ++k) {
        lattice.balls[slot++].init({-100.0f + 40 * i, -100.0f + 40 * j, -100.0f + 40 * k}, {}, colourBlue);
      }
    }
  }
  for (int k = 0; k < 10; ++k) {
    lattice.balls[slot++].init({300.0f + 50 * k, 300, 300}, {}, colourGreen);
    lattice.balls[slot++].init({300.0f + 50 * k, 339.99f, 300}, {}, colourGreen);
  }
  scatter(lattice, random, slot, 60, {}, 450.0f, 12000.0f, 1);
  lattice.balls[cueBallSlot].init({-60, -60, 300}, {0, 0, -20000}, colourCueBall);
  heard += expectEngineMatchesReference("lattice at exact contact", lattice, 250);

  EXPECT_GT(heard, 500);
}

}  // namespace
}  // namespace morvane
