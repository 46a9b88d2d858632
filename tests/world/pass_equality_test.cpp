// The game's world step against the straightforward passes (one ball at a time, all pairs,
// every pocket against every ball), side by side, step by step: worlds, shot flags, scores,
// pocketing order and sounds must stay bit-identical. Two fast sides: the live tick's passes
// (a new grid snapshot every step) and the collision engine kept up to date as a trial keeps it
// (one snapshot, then only the balls that moved or fell passed on, the movers piling up).
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "reference/world_passes.h"
#include "rules/scoring.h"
#include "rules/setup.h"
#include "support/recording_sink.h"
#include "world/step.h"

namespace morvane {
namespace {

Vec3 randomPoint(Random& random, float h) {
  return Vec3{randomCoordinate(random, h), randomCoordinate(random, h), randomCoordinate(random, h)};
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
  if (n < 50) world.balls[cueBallSlot].init(randomPoint(random, halfSize - ballRadius), randomVelocity(random, maxSpeed), colourCueBall);
  return world;
}

// The live tick's passes, but the grid kept as a trial keeps it: updated for the balls that
// moved, emptied of the balls that fell, and the candidates only the moving balls and the cue ball.
class GridKeptUpToDate : public PocketListener {
 public:
  GridKeptUpToDate(const World& world, PocketListener& scoring) : scoring_(scoring) {
    engine_.grid().rebuild(world.balls);
  }
  void move(World& world, SoundSink& sounds) {
    const BallTable before = world.balls;
    moveBalls(world, BallSelection::all(), sounds);
    for (int s = 0; s < ballCount; ++s) {
      if (world.balls[s].active != 0 && !(world.balls[s].position == before[s].position)) {
        engine_.grid().update(s, world.balls[s].position);
      }
    }
  }
  void collide(World& world, FirstTouch& touch, SoundSink& sounds) {
    std::vector<int16_t> live;
    for (int s = 0; s < ballCount; ++s) {
      const Ball& b = world.balls[s];
      if (b.active != 0 && (!(b.velocity == Vec3{}) || b.colour == colourCueBall)) live.push_back(static_cast<int16_t>(s));
    }
    engine_.resolve(world.balls, live, touch, sounds);
  }
  void pocket(World& world, PocketListener&, SoundSink& sounds) {  // to scoring_, through ballPocketed
    balls_ = &world.balls;
    pocketBalls(world, PocketFinder(world.pockets), BallSelection::all(), *this, sounds);
  }
  void ballPocketed(Ball& ball) override {
    scoring_.ballPocketed(ball);
    engine_.grid().remove(static_cast<int>(&ball - balls_->data()));
  }

 private:
  CollisionEngine engine_;
  PocketListener& scoring_;
  BallTable* balls_ = nullptr;
};

// One world stepped by one kind of passes; pocketed slots are noted, then scored.
struct Run : PocketListener {
  explicit Run(const World& start) : world(start) { settings.multiplierEnabled = 1; }
  void ballPocketed(Ball& ball) override {
    slots.push_back(static_cast<int>(&ball - world.balls.data()));
    scorePocketedBall(ball, match, settings);
  }
  template <class Passes> void step(Passes& passes, int n) {
    match.targetColour = colourBlue;
    if (n % 50 == 0) match.cueBallTouched = match.foulCommitted = 0;  // a fresh shot
    stepWorld(world, passes, FirstTouch{match.cueBallTouched, match.foulCommitted, match.targetColour}, *this, sink);
  }
  World world;
  MatchState match;
  MatchSettings settings = defaultMatchSettings();
  RecordingSink sink;
  std::vector<int> slots;
};

// Compares after every step; returns the clicks and falls heard, to show the passes had work to do.
int expectSameRuns(const std::string& name, const World& start, int steps) {
  Run live(start), trialLike(start), reference(start);
  CollisionEngine engine;
  WholeTable wholeTable(engine);
  GridKeptUpToDate keptUpToDate(start, trialLike);
  OneByOnePasses oneByOne;
  for (int n = 0; n < steps; ++n) {
    live.step(wholeTable, n);
    trialLike.step(keptUpToDate, n);
    reference.step(oneByOne, n);
    for (const Run* fast : {&live, &trialLike}) {
      const char* side = fast == &live ? " (whole table)" : " (kept up to date)";
      EXPECT_EQ(worldHash(fast->world), worldHash(reference.world)) << name << side << " step " << n;
      EXPECT_EQ(fast->match, reference.match) << name << side << " step " << n;
      EXPECT_EQ(fast->slots, reference.slots) << name << side << " step " << n;
      EXPECT_EQ(fast->sink.played, reference.sink.played) << name << side << " step " << n;
    }
    if (::testing::Test::HasFailure()) return 0;
  }
  return static_cast<int>(live.sink.played.size()) - live.sink.count(SoundId::wall);
}

TEST(PassEquality, ChaoticRacksADiamondBreakAndGridStress) {
  const struct { int n; float halfSize, maxSpeed; int steps; } racks[] = {  // at H = 250, most of 1000 balls overlap
      {1, 100, 20000, 400}, {5, 200, 8000, 400}, {13, 300, 20000, 300}, {25, 500, 12000, 300}, {40, 700, 20000, 300},
      {50, 250, 6000, 300}, {50, 1000, 20000, 300}, {50, 3000, 20000, 200}};
  uint32_t seed = 11;
  int heard = 0;
  for (const auto& r : racks) {
    heard += expectSameRuns("chaotic n=" + std::to_string(r.n) + " H=" + std::to_string(r.halfSize),
                            chaoticWorld(r.n, r.halfSize, seed++, r.maxSpeed), r.steps);
  }
  World diamond;  // the n = 8 rack and its pockets, broken off-centre
  MatchSettings settings = defaultMatchSettings();
  settings.rackSize = 16;
  diamond.arenaHalfSize = settings.arenaHalfSize;
  Random random(1);
  rackBalls(diamond, settings, random);
  placePockets(diamond, settings, random);
  diamond.balls[cueBallSlot].init({-400, -15, -22}, {20000, 30, -50}, colourCueBall);
  heard += expectSameRuns("n=8 break", diamond, 400);
  // Far out, grid cells and pocket bins are clamped and floats coarse (ulp 8); balls stacked on
  // ten centres; at the ends of the float range the snapshot's extent overflows.
  World far = chaoticWorld(15, 200.0f, 5, 3000.0f), stacked = chaoticWorld(20, 300.0f, 6, 5000.0f);
  far.arenaHalfSize = 1.0e8f;
  for (Ball& ball : far.balls) ball.position += Vec3{-9.0e7f, 3.0e7f, 0.0f};
  for (Pocket& pocket : far.pockets) pocket.centre += Vec3{-9.0e7f, 3.0e7f, 0.0f};
  for (int s = 10; s < 200; ++s) stacked.balls[s].position = stacked.balls[s % 10].position;
  stacked.balls[400].init({3.0e38f, -3.0e38f, 1.0e30f}, {}, colourGreen);
  stacked.balls[401].init({-3.0e38f, 3.0e38f, -1.0e30f}, {900, 0, 0}, colourRed);
  heard += expectSameRuns("far cluster", far, 200);
  heard += expectSameRuns("stacked and extreme", stacked, 300);
  EXPECT_GT(heard, 2000);
}

TEST(PassEquality, BallsAndPocketsOnCellBoundaries) {
  // Centres on and beside multiples of 40 and 80, where grid cells, pocket bins and pocket faces
  // meet; at rest first, so that the exact layout is judged, then moving.
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
    heard += expectSameRuns("boundaries, seed " + std::to_string(seed) + ", moving", world, 50);
    for (Ball& ball : world.balls) ball.velocity = Vec3{};
    heard += expectSameRuns("boundaries, seed " + std::to_string(seed), world, 1);
  }
  EXPECT_GT(heard, 1000);
}

}  // namespace
}  // namespace morvane
