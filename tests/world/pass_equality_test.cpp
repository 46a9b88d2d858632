// The fast passes (four-ball motion, the collision engine, nearby-pocket pocketing) against
// their references (one ball at a time, all pairs, every pocket against every ball), run side by side from many random situations:
// worlds, shot flags, scores, pocketing order and clicks must stay bit-identical at every step.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "reference/world_passes.h"
#include "rules/setup.h"
#include "support/match_table.h"

namespace morvane {
namespace {

Vec3 randomPoint(Random& random, float h) {
  Vec3 p;
  for (float* c : {&p.x, &p.y, &p.z}) *c = randomCoordinate(random, h);
  return p;
}

Vec3 randomVelocity(Random& random, float maxSpeed) {
  Vec3 v;
  for (float* c : {&v.x, &v.y, &v.z}) *c = static_cast<float>(random.next() - 16384) / 16384.0f * maxSpeed;
  return v;
}

// A chaotic rack set moving, with pockets anywhere (over balls or not) and, below n = 50, a cue ball.
World chaoticWorld(int n, float halfSize, uint32_t seed, float maxSpeed) {
  World world;
  MatchSettings settings = defaultMatchSettings();
  settings.chaoticRack = 1;
  settings.rackSize = 2 * n;
  settings.arenaHalfSize = world.arenaHalfSize = halfSize;
  Random random(seed);
  rackBalls(world, settings, random);
  for (Pocket& pocket : world.pockets) {
    pocket.centre = randomPoint(random, halfSize - pocketHalfSize);
    pocket.active = random.next() % 4 != 0 ? 1 : 0;
  }
  for (Ball& ball : world.balls) {
    if (ball.active != 0) ball.velocity = randomVelocity(random, maxSpeed);
  }
  const Vec3 p = randomPoint(random, halfSize - ballRadius);
  if (n < 50) world.balls[cueBallSlot].init(p, randomVelocity(random, maxSpeed), colourCueBall);
  return world;
}

// One world stepped with either the fast passes or the references; pocketed slots are noted, then scored.
struct Run : PocketListener {
  Run(const World& start, bool fast) : world(start), fast(fast) { settings.multiplierEnabled = 1; }
  void ballPocketed(Ball& ball) override {
    slots.push_back(static_cast<int>(&ball - world.balls.data()));
    scorePocketedBall(ball, match, settings);
  }
  void step(bool withMotion) {
    if (withMotion) fast ? moveAllBalls(world, sink) : moveBallsOneByOne(world, sink);
    const FirstTouch touch{match.cueBallTouched, match.foulCommitted, match.targetColour};
    fast ? collideBalls(world, engine, touch, sink) : collideBallsAllPairs(world, touch, sink);
    fast ? pocketBalls(world, *this, sink) : pocketBallsEveryPocket(world, *this, sink);
  }
  World world;
  bool fast;
  MatchState match;
  MatchSettings settings = defaultMatchSettings();
  RecordingSink sink;
  std::vector<int> slots;
  CollisionEngine engine;
};

// Compares after every step; returns the clicks and falls heard, to show the passes had work to do.
int expectSameRuns(const std::string& name, const World& start, int steps, bool withMotion = true) {
  Run fast(start, true), reference(start, false);
  for (int step = 0; step < steps; ++step) {
    for (Run* run : {&fast, &reference}) {
      run->match.targetColour = colourBlue;
      if (step % 50 == 0) run->match.cueBallTouched = run->match.foulCommitted = 0;  // a fresh shot
      run->step(withMotion);
    }
    EXPECT_EQ(worldHash(fast.world), worldHash(reference.world)) << name << " step " << step;
    EXPECT_EQ(fast.match, reference.match) << name << " step " << step;
    EXPECT_EQ(fast.slots, reference.slots) << name << " step " << step;
    EXPECT_EQ(fast.sink.played, reference.sink.played) << name << " step " << step;
    if (::testing::Test::HasFailure()) return 0;
  }
  return static_cast<int>(fast.sink.played.size()) - fast.sink.count(SoundId::wall);
}

TEST(PassEquality, ChaoticRacksADiamondBreakAndFarOrStackedBalls) {
  const struct { int n; float halfSize, maxSpeed; int steps; } racks[] = {  // at H = 250, most of 1000 balls overlap
      {1, 100, 20000, 400}, {5, 200, 8000, 400}, {13, 300, 20000, 300}, {25, 500, 12000, 300}, {40, 700, 20000, 300},
      {50, 250, 6000, 300}, {50, 1000, 20000, 300}, {50, 3000, 20000, 200}};
  uint32_t seed = 11;
  for (const auto& r : racks) {
    const std::string name = "chaotic n=" + std::to_string(r.n) + " H=" + std::to_string(r.halfSize);
    EXPECT_GT(expectSameRuns(name, chaoticWorld(r.n, r.halfSize, seed++, r.maxSpeed), r.steps), 0) << name;
  }
  MatchTable diamond;  // the n = 8 rack and its pockets, broken off-centre
  diamond.settings.rackSize = 16;
  rackBalls(diamond.world, diamond.settings, diamond.random);
  placePockets(diamond.world, diamond.settings, diamond.random);
  diamond.world.balls[cueBallSlot].init({-400, -15, -22}, {20000, 30, -50}, colourCueBall);
  EXPECT_GT(expectSameRuns("n=8 break", diamond.world, 400), 0);
  // Far out, grid cells and pocket bins are clamped and floats coarse (ulp 8); then balls stacked on ten centres.
  World far = chaoticWorld(15, 200.0f, 5, 3000.0f), stacked = chaoticWorld(20, 300.0f, 6, 5000.0f);
  far.arenaHalfSize = 1.0e8f;
  for (Ball& ball : far.balls) ball.position += Vec3{-9.0e7f, 3.0e7f, 0.0f};
  for (Pocket& pocket : far.pockets) pocket.centre += Vec3{-9.0e7f, 3.0e7f, 0.0f};
  for (int s = 10; s < 200; ++s) stacked.balls[s].position = stacked.balls[s % 10].position;
  EXPECT_GT(expectSameRuns("far cluster", far, 200), 0);
  EXPECT_GT(expectSameRuns("stacked", stacked, 300), 0);
}

TEST(PassEquality, BallsAndPocketsOnCellBoundaries) {
  // Centres on and beside multiples of 40 and 80, where grid cells, pocket bins and pocket faces
  // meet; the first step has no motion, so that the exact layout is judged.
  const float offsets[] = {-40.0f, -39.999f, -20.0f, -0.001f, 0.0f, 0.001f, 20.0f, 39.999f, 40.0f};
  Random random(2024);
  int heard = 0;
  for (uint32_t seed = 1; seed <= 20; ++seed) {
    World world = chaoticWorld(30, 280.0f, seed, 2000.0f);
    const auto snap = [](Vec3& p, auto offset) {
      for (float* c : {&p.x, &p.y, &p.z}) *c = 80.0f * std::round(*c / 80.0f) + offset();
    };
    for (Ball& ball : world.balls) snap(ball.position, [&] { return offsets[random.next() % 9]; });
    for (Pocket& pocket : world.pockets) snap(pocket.centre, [&] { return random.next() % 2 * 40.0f; });
    heard += expectSameRuns("boundaries, seed " + std::to_string(seed), world, 1, false);
    heard += expectSameRuns("boundaries, seed " + std::to_string(seed) + ", moving", world, 50);
  }
  EXPECT_GT(heard, 1000);
}

}  // namespace
}  // namespace morvane
