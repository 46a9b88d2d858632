#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "reference/world_passes.h"
#include "math/random.h"
#include "support/recording_sink.h"

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
  const float* x = &a.position.x;
  const float* y = &b.position.x;
  for (int k = 0; k < 6; ++k) {
    if (!(std::isnan(x[k]) && std::isnan(y[k])) && std::bit_cast<uint32_t>(x[k]) != std::bit_cast<uint32_t>(y[k])) {
      return false;
    }
  }
  return a.active == b.active && a.colour == b.colour;
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

}  // namespace
}  // namespace morvane
