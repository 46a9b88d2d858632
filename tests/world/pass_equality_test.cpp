// The three passes of a world step, each against its straightforward twin in
// reference/world_passes (one ball at a time, all pairs, every pocket), case by case: the motion
// step with its walls and stop speed, the collisions with the first touch, the pocketing order;
// then whole worlds stepped by the live passes and played as trials against those twins.
#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "math/random.h"
#include "reference/world_passes.h"
#include "rules/scoring.h"
#include "rules/setup.h"
#include "support/layouts.h"
#include "support/recording_sink.h"
#include "support/same_trial.h"
#include "world/collision_engine.h"
#include "world/step.h"

namespace morvane {
namespace {

// One ball in a 500 arena, moved one step at a time.
struct OneBall : ::testing::Test {
  void start(Vec3 position, Vec3 velocity) {
    world.arenaHalfSize = 500.0f;
    world.balls[0].init(position, velocity, colourBlue);
  }
  const Ball& step() {
    sink.clear();
    moveBalls(world, BallSelection::all(), sink);
    return world.balls[0];
  }
  World world;
  RecordingSink sink;
};

TEST_F(OneBall, ExactlyTheStopSpeedIsSlowedNotStoppedBelowItStopsAfterMoving) {
  // Its computed length is exactly 10, yet 5000/10 x v / 500 does not cancel v to the last bit:
  // a residue is left for one step and stopped on the next.
  const Vec3 atStopSpeed{0x1.3fffd6p+3f, 0x1.47ae04p-6f, 0.0f};
  ASSERT_EQ(length(atStopSpeed), 10.0f);
  start(Vec3{}, atStopSpeed);
  EXPECT_EQ(step().velocity, (Vec3{0x1p-20f, 0.0f, 0.0f}));
  EXPECT_FALSE(world.balls[0].isAtRest());
  EXPECT_TRUE(step().isAtRest());

  start(Vec3{100.0f, 0.0f, 0.0f}, Vec3{9.99f, 0.0f, 0.0f});
  EXPECT_EQ(step().position.x, 100.0f + 9.99f / 500.0f);  // the move comes before the slowing
  EXPECT_EQ(world.balls[0].velocity, (Vec3{}));
  world.balls[3].init(Vec3{}, Vec3{-0.0f, 0.0f, -0.0f}, colourBlue);  // rest is an exact zero of either sign
  EXPECT_TRUE(allBallsAtRest(world));
  world.balls[3].velocity.z = 1e-30f;
  EXPECT_FALSE(allBallsAtRest(world));
}

float& along(Vec3& v, int axis) { return axis == 0 ? v.x : axis == 1 ? v.y : v.z; }

// A ball meets a wall when its centre is 20 from it (480 in this arena): a ball that ends its
// move exactly there, heading out, is turned with one click; one float short of it, it goes on
// untouched; one float past it, it is turned. Heading in, it is never turned. Every axis, both
// walls.
TEST_F(OneBall, ExactlyAtWallContactDistanceTheBallIsTurned) {
  const float contact = 480.0f;
  const struct { float end; bool turned; } ends[] = {
      {contact, true}, {std::nextafter(contact, 0.0f), false}, {std::nextafter(contact, 1000.0f), true}};
  for (int axis = 0; axis < 3; ++axis) {
    for (float wall : {1.0f, -1.0f}) {
      for (const auto& e : ends) {
        for (float heading : {1.0f, -1.0f}) {  // out towards the wall, or in
          SCOPED_TRACE("axis " + std::to_string(axis) + " wall " + std::to_string(wall) + " end " +
                       std::to_string(e.end) + " heading " + std::to_string(heading));
          // 1000 units of speed move it exactly 2 per step.
          Vec3 position{}, velocity{};
          along(position, axis) = wall * e.end - wall * heading * 2.0f;
          along(velocity, axis) = wall * heading * 1000.0f;
          start(position, velocity);
          Ball ball = step();
          ASSERT_EQ(along(ball.position, axis), wall * e.end);
          const bool turned = e.turned && heading > 0.0f;
          EXPECT_EQ(along(ball.velocity, axis), wall * heading * (turned ? -990.0f : 990.0f));
          EXPECT_EQ(sink.count(SoundId::wall), turned ? 1 : 0);
        }
      }
    }
  }
}

// Every bit the same, except that a NaN matches any NaN: which operand of a commutative sum or
// product a NaN result copies (its sign and payload) is the compiler's choice in either pass.
bool sameBall(const Ball& a, const Ball& b) {
  const auto same = [](float x, float y) {
    return std::bit_cast<uint32_t>(x) == std::bit_cast<uint32_t>(y) || (std::isnan(x) && std::isnan(y));
  };
  const float* fields = &a.position.x;  // the position, then the velocity
  return std::equal(fields, fields + 6, &b.position.x, same) && a.active == b.active && a.colour == b.colour;
}

// The pass moves every slot four balls at a time, or a trial's list one ball at a time; either
// must round as the reference one-ball step does, and odd values in any lane must stay in that
// lane (inactive slots untouched, clicks in slot order).
TEST(MotionPass, FourSlotsAtATimeMatchOneAtATimeBitForBit) {
  const float odd[] = {0.0f, -0.0f, 9.99f, 10.0f, 480.0f, -480.0f, 500.0f, 1e30f, -1e38f, 1e-40f,
                       std::numeric_limits<float>::infinity(), -std::numeric_limits<float>::infinity(),
                       std::numeric_limits<float>::quiet_NaN(), 20000.0f, -20000.0f, 0x1.3fffd6p+3f};
  Random random(77);
  auto pick = [&](float scale) {
    return random.next() % 3 == 0 ? odd[random.next() % 16] : static_cast<float>(random.next() - 16384) / 16384.0f * scale;
  };
  for (int round = 0; round < 40; ++round) {
    World world;
    world.arenaHalfSize = round % 5 == 0 ? 0.0f : 500.0f;
    for (Ball& ball : world.balls) {
      if (random.next() % 4 == 0) continue;  // a never-used slot
      ball.init(Vec3{pick(520.0f), pick(520.0f), pick(520.0f)}, Vec3{pick(20000.0f), pick(30.0f), pick(20000.0f)},
                colourBlue);
      if (random.next() % 5 == 0) ball.active = 0;  // pocketed: its fields must stay
    }
    World oneByOne = world;
    // Odd rounds move a list: the active slots among every third, so groups mix far-apart slots.
    std::vector<int16_t> listed;
    for (int s = round % 3; s < ballCount; s += 3) {
      if (world.balls[s].active != 0) listed.push_back(static_cast<int16_t>(s));
    }
    const BallSelection which = round % 2 == 0 ? BallSelection::all() : BallSelection::only(listed);
    World unlisted = oneByOne;
    for (int s = 0; s < ballCount; ++s) {
      if (round % 2 != 0 && std::find(listed.begin(), listed.end(), s) == listed.end()) oneByOne.balls[s].active = 0;
    }
    RecordingSink fast, reference;
    for (int step = 0; step < 30; ++step) {
      moveBalls(world, which, fast);
      moveBallsOneByOne(oneByOne, reference);
      for (int s = 0; s < ballCount; ++s) {
        const Ball& expected = oneByOne.balls[s].active != 0 ? oneByOne.balls[s] : unlisted.balls[s];
        ASSERT_TRUE(sameBall(world.balls[s], expected)) << "round " << round << " step " << step << " slot " << s;
      }
    }
    EXPECT_EQ(fast.played, reference.played) << "round " << round;
    EXPECT_GT(fast.count(SoundId::wall), 0) << "round " << round;
  }
}

// The contact test compares the sum of squares with a limit instead of taking its root: every
// float sum around 40 squared must be judged as length() judges it.
TEST(ContactTest, TheSquaredLimitJudgesEverySumAsTheRootWould) {
  for (float s = 1500.0f; s < 1700.0f; s = std::nextafter(s, 2000.0f)) {
    ASSERT_EQ(static_cast<float>(std::sqrt(static_cast<double>(s))) < contactDistance, s < contactSquareLimit) << s;
  }
}

struct Placed { int slot; Vec3 position, velocity; BallColour colour; bool active = true; };

struct Case {
  std::string name;
  std::vector<Placed> balls;
  std::vector<Vec3> velocitiesAfter;  // one per placed ball
  int32_t touched, foul;              // the first-touch flags after the pass
  std::vector<SoundId> sounds;
  float tolerance = 0.0f;  // on x, the line of centres; other components are exact
  BallColour target = colourBlue;
  int32_t touchedBefore = 0, foulBefore = 0;
};

constexpr int cue = cueBallSlot;
constexpr BallColour blue = colourBlue, green = colourGreen, red = colourRed, white = colourCueBall;
const Vec3 still{}, fast{1000.0f, 0.0f, 0.0f}, back{-1000.0f, 0.0f, 0.0f};
const std::vector<SoundId> soft{SoundId::softClick}, hard{SoundId::hardClick};

std::vector<Case> collisionCases() {
  const Placed cueAt40{cue, {40, 0, 0}, still, white}, cueNear40{cue, {39.99f, 0, 0}, still, white};
  std::vector<Case> cases = {
      {"dead centre, an inactive cue ball between them taking no part",
       {{0, {}, fast, blue}, {1, {32, 0, 0}, still, green}, {cue, {16, 10, 0}, still, white, false}},
       {still, fast, still}, 0, 0, soft},
      {"glancing", {{0, {}, {1000, 500, -250}, blue}, {1, {32, 0, 0}, {0, -300, 0}, blue}},
       {{0, 500, -250}, {1000, -300, 0}}, 0, 0, soft, 0.05f},
      {"exactly 40 apart", {{0, {}, fast, blue}, cueAt40}, {fast, still}, 0, 0, {}},
      {"39.99 apart", {{0, {}, fast, blue}, cueNear40}, {still, fast}, 1, 0, soft, 0.01f},
      {"same position", {{2, {5, 6, 7}, {1000, -200, 0}, red}, {cue, {5, 6, 7}, {-300, 0, 50}, white}},
       {{1000, -200, 0}, {-300, 0, 50}}, 1, 1, {}},
      {"lower slot green decides",
       {{3, {30, 0, 0}, still, green}, {7, {-30, 0, 0}, still, blue}, {cue, {}, {0, 0, 500}, white}},
       {still, still, {0, 0, 500}}, 1, 1, {}},
      {"moving apart", {{4, {30, 0, 0}, {200, 0, 0}, green}, {cue, {}, back, white}}, {{200, 0, 0}, back},
       1, 0, {}, 0.0f, green},
      {"resting contact", {{0, {0, 39, 0}, still, red}, {cue, {}, still, white}}, {still, still}, 1, 1, {}},
      {"touched earlier in the shot", {{0, {32, 0, 0}, still, red}, {cue, {}, fast, white}},
       {fast, still}, 1, 0, soft, 0.0f, blue, 1, 0},
      {"an earlier foul stays", {{0, {32, 0, 0}, still, blue}, {cue, {}, fast, white}}, {fast, still},
       1, 1, soft, 0.0f, blue, 0, 1},
      {"later pairs see earlier exchanges",
       {{0, {}, fast, blue}, {1, {32, 0, 0}, still, blue}, {2, {64, 0, 0}, still, blue}},
       {still, still, fast}, 0, 0, {SoundId::softClick, SoundId::softClick}},
  };
  // Head-on against a resting ball the impact speed is the closing speed; even a silent hit exchanges.
  for (const auto& [speed, sounds] : {std::pair{50.0f, std::vector<SoundId>{}}, {50.0625f, soft}, {1000.5f, hard}}) {
    cases.push_back({"head-on at " + std::to_string(speed),
                     {{0, {}, {speed, 0, 0}, blue}, {1, {32, 0, 0}, still, blue}}, {still, {speed, 0, 0}},
                     0, 0, sounds});
  }
  return cases;
}

TEST(BallCollision, EveryCaseThroughBothPasses) {
  for (const Case& c : collisionCases()) {
    for (const bool allPairs : {false, true}) {  // the engine, then the all-pairs reference
      SCOPED_TRACE(c.name + (allPairs ? " / all pairs" : " / engine"));
      World world;
      world.arenaHalfSize = 500.0f;
      for (const Placed& b : c.balls) {
        world.balls[b.slot].init(b.position, b.velocity, b.colour);
        world.balls[b.slot].active = b.active ? 1 : 0;
      }
      int32_t touched = c.touchedBefore, foul = c.foulBefore;
      RecordingSink sink;
      CollisionEngine engine;
      if (allPairs) {
        collideBallsAllPairs(world, FirstTouch{touched, foul, c.target}, sink);
      } else {
        collideBalls(world, engine, FirstTouch{touched, foul, c.target}, sink);
      }
      for (size_t k = 0; k < c.balls.size(); ++k) {
        const Ball& ball = world.balls[c.balls[k].slot];
        const Vec3 want = c.velocitiesAfter[k];
        EXPECT_EQ(ball.position, c.balls[k].position);  // never moved, not even to separate
        EXPECT_NEAR(ball.velocity.x, want.x, c.tolerance) << "slot " << c.balls[k].slot;
        EXPECT_EQ(std::pair(ball.velocity.y, ball.velocity.z), std::pair(want.y, want.z)) << "slot " << c.balls[k].slot;
      }
      EXPECT_EQ(std::pair(touched, foul), std::pair(c.touched, c.foul));
      EXPECT_EQ(sink.played, c.sounds);
    }
  }
}

// Whole worlds: the game's world step against the straightforward passes, side by side, step
// by step: worlds, shot flags, scores, pocketing order and sounds must stay bit-identical. Each
// world is then played as a trial, to rest, by the sparse trial simulator (one grid snapshot kept
// up to date, only the moving balls passed on) against the full passes.

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
  world.arenaHalfSize = halfSize;
  Random random(seed);
  rackBalls(world, rackSettings(n, 1, halfSize), random);
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

// One world stepped by one kind of passes; pocketed slots are noted, then scored.
struct WorldRun : PocketListener {
  explicit WorldRun(const World& start) : world(start) { settings.multiplierEnabled = 1; }
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

using Centres = std::vector<std::pair<int, Vec3>>;  // slots and centres

TEST(Pocketing, CentresStrictlyInsideFallOncePocketByPocketThenSlotBySlot) {
  const struct {
    const char* name;
    Centres pockets, balls;  // balls move fast, which plays no part
    std::vector<int> fallen;
  } cases[] = {
      {"exactly 40 from the centre is outside", {{0, {100, 100, 100}}},
       {{0, {140, 100, 100}}, {1, {100, 60, 139}}, {2, {139.99f, 60.01f, 139.99f}}}, {2}},
      // Taken by pocket 5, slot 3 would come after slot 1.
      {"in two pockets: the lower", {{2, {}}, {5, {50, 0, 0}}}, {{3, {25, 0, 0}}, {1, {80, 0, 0}}}, {3, 1}},
      {"inactive pockets (all at the origin) never pocket", {}, {{0, {}}, {1, {10, 20, 30}}}, {}},
      {"pocket-major order", {{0, {-300, 0, 0}}, {1, {300, 0, 0}}, {26, {0, 300, 0}}},
       {{cue, {0, 310, 0}}, {1, {300, 5, 0}}, {5, {-300, 0, 30}}, {2, {-320, 0, 0}}, {9, {}}, {700, {0, 300, 0}}},
       {2, 5, 1, 700, cue}},
      {"non-finite centres fall nowhere", {{0, {}}}, {{1, {std::nanf(""), 0, 0}}, {2, {0, INFINITY, 0}}, {3, {}}}, {3}},
  };
  for (const auto& c : cases) {
    // The nearby-pocket pass over every slot, over a list of the placed slots, and the reference.
    for (int pass = 0; pass < 3; ++pass) {
      WorldRun run{World{}};  // pocketed balls leave the table as the scoring takes them
      World& world = run.world;
      world.arenaHalfSize = 500.0f;
      for (const auto& [slot, centre] : c.pockets) addPocket(world, slot, centre);
      for (const auto& [slot, position] : c.balls) world.balls[slot].init(position, Vec3{20000, 0, 0}, slot % 3);
      std::vector<int16_t> listed;
      for (const auto& [slot, position] : c.balls) listed.push_back(static_cast<int16_t>(slot));
      if (pass == 2) {
        pocketBallsEveryPocket(world, run, run.sink);
      } else {
        pocketBalls(world, PocketFinder(world.pockets), pass == 0 ? BallSelection::all() : BallSelection::only(listed),
                    run, run.sink);
      }
      EXPECT_EQ(run.slots, c.fallen) << c.name;
      EXPECT_EQ(run.sink.played, std::vector<SoundId>(c.fallen.size(), SoundId::pocket)) << c.name;
    }
  }
}

// Compares after every step, then plays the trial; returns the clicks and falls heard, to show
// the passes had work to do.
int expectSameRuns(const std::string& name, const World& start, int steps) {
  SCOPED_TRACE(name);
  WorldRun live(start), reference(start);
  CollisionEngine engine;
  WholeTable wholeTable(engine);
  OneByOnePasses oneByOne;
  for (int n = 0; n < steps && !::testing::Test::HasFailure(); ++n) {
    live.step(wholeTable, n);
    reference.step(oneByOne, n);
    EXPECT_EQ(worldHash(live.world), worldHash(reference.world)) << "step " << n;
    EXPECT_TRUE(live.match == reference.match && live.slots == reference.slots) << "step " << n;
    EXPECT_EQ(live.sink.played, reference.sink.played) << "step " << n;
  }
  // A world at rest is struck; a moving one is not, and its shot has touched a ball already, so
  // that no foul cuts the trial short.
  ShotState base{start, MatchState{}, CueState{}};
  base.match.ballInHand = 0;
  base.match.targetColour = colourBlue;
  base.match.cueBallTouched = allBallsAtRest(start) ? 0 : 1;
  auto simulator = std::make_unique<TrialSimulator>();
  simulator->setBase(base, live.settings);
  expectSameTrial(*simulator, base, live.settings, Vec3{1.0f, 0.3f, -0.2f}, 150.0f, false);
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
  const MatchSettings settings = rackSettings(8, 0, 500.0f);
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
  // meet (and signed zeros, which a resting ball's step rewrites); moving first, then at rest, so
  // that the exact layout is judged.
  const float offsets[] = {-40.0f, -39.999f, -20.0f, -0.001f, -0.0f, 0.0f, 0.001f, 20.0f, 39.999f, 40.0f};
  Random random(2024);
  int heard = 0;
  for (uint32_t seed = 1; seed <= 20; ++seed) {
    World world = chaoticWorld(30, 280.0f, seed, 2000.0f);
    const auto snap = [](Vec3& p, auto offset) {
      for (float* c : {&p.x, &p.y, &p.z}) *c = 80.0f * std::round(*c / 80.0f) + offset();
    };
    for (Ball& ball : world.balls) snap(ball.position, [&] { return offsets[random.next() % 10]; });
    for (Pocket& pocket : world.pockets) snap(pocket.centre, [&] { return random.next() % 2 * 40.0f; });
    heard += expectSameRuns("boundaries, seed " + std::to_string(seed) + ", moving", world, 50);
    for (int s = 0; s < ballCount; ++s) world.balls[s].velocity = Vec3{0.0f, 0.0f, s % 2 == 0 ? 0.0f : -0.0f};  // at rest
    heard += expectSameRuns("boundaries, seed " + std::to_string(seed), world, 1);
  }
  EXPECT_GT(heard, 1000);
}

}  // namespace
}  // namespace morvane
