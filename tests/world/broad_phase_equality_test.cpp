// The spatial-hash collision pass must give bit-identical results to the all-pairs reference:
// the same pairs, in the same order, with the same arithmetic. Each situation runs twice, once
// through each pass, and the two worlds, shot flags, scores and click sequences are compared at
// every step.
#include <gtest/gtest.h>

#include <string>

#include "math/random.h"
#include "rules/match_state.h"
#include "rules/scoring.h"
#include "rules/setup.h"
#include "settings/match_settings.h"
#include "support/recording_sink.h"
#include "world/world.h"

namespace morvane {
namespace {

// A component in -maxSpeed..maxSpeed from one draw.
float randomSpeed(Random& random, float maxSpeed) {
  return static_cast<float>(random.next() - 16384) / 16384.0f * maxSpeed;
}

Vec3 randomVelocity(Random& random, float maxSpeed) {
  const float x = randomSpeed(random, maxSpeed);
  const float y = randomSpeed(random, maxSpeed);
  const float z = randomSpeed(random, maxSpeed);
  return Vec3{x, y, z};
}

void setEverythingMoving(World& world, Random& random, float maxSpeed) {
  for (Ball& ball : world.balls) {
    if (ball.active != 0) ball.velocity = randomVelocity(random, maxSpeed);
  }
}

// 27 pockets anywhere, balls under them or not: a ball that starts inside one falls at once.
void scatterPocketsFreely(World& world, Random& random) {
  const float h = world.arenaHalfSize - pocketHalfSize;
  for (Pocket& pocket : world.pockets) {
    const float x = randomCoordinate(random, h);
    const float y = randomCoordinate(random, h);
    const float z = randomCoordinate(random, h);
    pocket.centre = Vec3{x, y, z};
    pocket.active = random.next() % 4 != 0 ? 1 : 0;
  }
}

World chaoticWorld(int n, float halfSize, uint32_t seed, float maxSpeed, bool withCueBall) {
  World world;
  world.arenaHalfSize = halfSize;
  MatchSettings settings = defaultMatchSettings();
  settings.chaoticRack = 1;
  settings.rackSize = 2 * n;
  settings.arenaHalfSize = halfSize;
  Random random(seed);
  rackBalls(world, settings, random);
  scatterPocketsFreely(world, random);
  setEverythingMoving(world, random, maxSpeed);
  if (withCueBall) {
    const float h = halfSize - ballRadius;
    const float x = randomCoordinate(random, h);
    const float y = randomCoordinate(random, h);
    const float z = randomCoordinate(random, h);
    world.balls[cueBallSlot].init(Vec3{x, y, z}, randomVelocity(random, maxSpeed), colourCueBall);
  }
  return world;
}

World diamondBreak(int n, Vec3 cueStart, Vec3 cueVelocity) {
  World world;
  world.arenaHalfSize = 500.0f;
  MatchSettings settings = defaultMatchSettings();
  settings.rackSize = 2 * n;
  Random random(1);
  rackBalls(world, settings, random);
  placePockets(world, settings, random);
  world.balls[cueBallSlot].init(cueStart, cueVelocity, colourCueBall);
  return world;
}

// A tight cluster far out, where cell indices are clamped and floats are coarse (ulp 8).
World farCluster(uint32_t seed) {
  World world;
  world.arenaHalfSize = 1.0e8f;
  Random random(seed);
  const Vec3 base{-9.0e7f, 3.0e7f, 0.0f};
  for (int s = 0; s < 300; ++s) {
    const float x = randomCoordinate(random, 200.0f);
    const float y = randomCoordinate(random, 200.0f);
    const float z = randomCoordinate(random, 200.0f);
    world.balls[s].init(base + Vec3{x, y, z}, randomVelocity(random, 3000.0f), s % 3);
  }
  world.balls[cueBallSlot].init(base, randomVelocity(random, 3000.0f), colourCueBall);
  return world;
}

// Many balls sharing exactly the same few centres.
World stacked(uint32_t seed) {
  World world;
  world.arenaHalfSize = 300.0f;
  Random random(seed);
  Vec3 spots[10];
  for (Vec3& spot : spots) {
    const float x = randomCoordinate(random, 60.0f);
    const float y = randomCoordinate(random, 60.0f);
    const float z = randomCoordinate(random, 60.0f);
    spot = Vec3{x, y, z};
  }
  for (int s = 0; s < 400; s += 2) {
    const Vec3 velocity = random.next() % 2 == 0 ? Vec3{} : randomVelocity(random, 5000.0f);
    world.balls[s].init(spots[random.next() % 10], velocity, s % 3);
  }
  world.balls[cueBallSlot].init(spots[3], randomVelocity(random, 5000.0f), colourCueBall);
  return world;
}

struct Situation {
  std::string name;
  World world;
  int steps;
};

struct Run {
  explicit Run(const World& start) : world(start) { match.targetColour = colourBlue; }
  World world;
  MatchState match;
  MatchSettings settings = defaultMatchSettings();
  RecordingSink sink;
};

void expectSameRuns(const Situation& situation) {
  Run hashed(situation.world), reference(situation.world);
  reference.settings.multiplierEnabled = hashed.settings.multiplierEnabled = 1;
  ScoringListener hashedScoring(hashed.match, hashed.settings);
  ScoringListener referenceScoring(reference.match, reference.settings);
  for (int step = 0; step < situation.steps; ++step) {
    if (step % 50 == 0) {
      // A fresh shot every 50 steps, so that the first touch is judged again.
      hashed.match.cueBallTouched = reference.match.cueBallTouched = 0;
      hashed.match.foulCommitted = reference.match.foulCommitted = 0;
    }
    moveAllBalls(hashed.world, hashed.sink);
    collideBalls(hashed.world,
                 FirstTouch{hashed.match.cueBallTouched, hashed.match.foulCommitted, hashed.match.targetColour},
                 hashed.sink);
    pocketBalls(hashed.world, hashedScoring, hashed.sink);

    moveAllBalls(reference.world, reference.sink);
    collideBallsAllPairs(
        reference.world,
        FirstTouch{reference.match.cueBallTouched, reference.match.foulCommitted, reference.match.targetColour},
        reference.sink);
    pocketBalls(reference.world, referenceScoring, reference.sink);

    ASSERT_EQ(worldHash(hashed.world), worldHash(reference.world)) << situation.name << " step " << step;
    ASSERT_EQ(hashed.match.cueBallTouched, reference.match.cueBallTouched) << situation.name << " step " << step;
    ASSERT_EQ(hashed.match.foulCommitted, reference.match.foulCommitted) << situation.name << " step " << step;
    ASSERT_EQ(hashed.match, reference.match) << situation.name << " step " << step;
    ASSERT_EQ(hashed.sink.played.size(), reference.sink.played.size()) << situation.name << " step " << step;
  }
  EXPECT_EQ(hashed.world, reference.world) << situation.name;
  EXPECT_EQ(hashed.sink.played, reference.sink.played) << situation.name;
  // The situation must actually have exercised the collision pass.
  EXPECT_GT(hashed.sink.count(SoundId::softClick) + hashed.sink.count(SoundId::hardClick), 0) << situation.name;
}

TEST(BroadPhaseEquality, ChaoticRacksOfEverySizeAndArena) {
  const struct {
    int n;
    float halfSize;
    float maxSpeed;
    int steps;
  } cases[] = {
      {1, 100.0f, 20000.0f, 400},   // 20 balls in a small box
      {5, 200.0f, 8000.0f, 400},    // 100 balls
      {13, 300.0f, 20000.0f, 300},  // 260 balls
      {25, 500.0f, 12000.0f, 300},  // 500 balls
      {40, 700.0f, 20000.0f, 300},  // 800 balls
      {50, 250.0f, 6000.0f, 300},   // 1000 balls packed so tightly that most overlap
      {50, 1000.0f, 20000.0f, 300}, // 1000 balls, the cue ball's slot holding a coloured ball
      {50, 3000.0f, 20000.0f, 200}, // sparse
  };
  uint32_t seed = 11;
  for (const auto& c : cases) {
    const bool withCueBall = c.n < 50;
    Situation situation{"n=" + std::to_string(c.n) + " H=" + std::to_string(static_cast<int>(c.halfSize)),
                        chaoticWorld(c.n, c.halfSize, seed++, c.maxSpeed, withCueBall), c.steps};
    expectSameRuns(situation);
    if (HasFatalFailure()) return;
  }
}

TEST(BroadPhaseEquality, DiamondBreaks) {
  expectSameRuns({"n=8 straight break", diamondBreak(8, Vec3{-400.0f, -20.0f, -20.0f}, Vec3{20000.0f, 0.0f, 0.0f}),
                  400});
  expectSameRuns({"n=5 off-centre break",
                  diamondBreak(5, Vec3{-300.0f, -15.0f, -22.0f}, Vec3{20000.0f, 30.0f, -50.0f}), 400});
}

TEST(BroadPhaseEquality, ContactsAcrossCellBoundaries) {
  // Centres on and just beside multiples of 40 and 80, where the grid's cells meet, and pairs
  // just under and exactly at the contact distance. One collision pass per layout.
  const float offsets[] = {-40.0f, -39.999f, -20.0f, -0.001f, 0.0f, 0.001f, 20.0f, 39.999f, 40.0f};
  Random random(2024);
  int contacts = 0;
  for (int trial = 0; trial < 200; ++trial) {
    World world;
    world.arenaHalfSize = 500.0f;
    for (int s = 0; s < 300; ++s) {
      Vec3 p;
      p.x = static_cast<float>(80 * (random.next() % 7 - 3)) + offsets[random.next() % 9];
      p.y = static_cast<float>(80 * (random.next() % 7 - 3)) + offsets[random.next() % 9];
      p.z = static_cast<float>(80 * (random.next() % 7 - 3)) + offsets[random.next() % 9];
      world.balls[s * 3].init(p, randomVelocity(random, 2000.0f), s % 3);
    }
    world.balls[cueBallSlot].init(world.balls[3 * (trial % 300)].position + Vec3{39.999f, 0.0f, 0.0f},
                                  randomVelocity(random, 2000.0f), colourCueBall);
    World reference = world;
    RecordingSink hashedSink, referenceSink;
    int32_t touched = 0, foul = 0, referenceTouched = 0, referenceFoul = 0;
    collideBalls(world, FirstTouch{touched, foul, colourGreen}, hashedSink);
    collideBallsAllPairs(reference, FirstTouch{referenceTouched, referenceFoul, colourGreen}, referenceSink);
    ASSERT_EQ(world, reference) << "trial " << trial;
    ASSERT_EQ(touched, referenceTouched) << "trial " << trial;
    ASSERT_EQ(foul, referenceFoul) << "trial " << trial;
    ASSERT_EQ(hashedSink.played, referenceSink.played) << "trial " << trial;
    contacts += static_cast<int>(referenceSink.played.size());
  }
  EXPECT_GT(contacts, 1000);
}

TEST(BroadPhaseEquality, FarOutAndCoincidentBalls) {
  expectSameRuns({"far cluster", farCluster(5), 200});
  expectSameRuns({"stacked", stacked(6), 300});
}

}  // namespace
}  // namespace morvane
