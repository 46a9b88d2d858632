#include <gtest/gtest.h>

#include "math/random.h"
#include "support/recording_sink.h"
#include "world/world.h"

namespace morvane {
namespace {

World arena(float halfSize) {
  World world;
  world.arenaHalfSize = halfSize;
  return world;
}

TEST(BallSlowing, ExactlyTenIsSlowedNotStopped) {
  // Its computed length is exactly 10, yet 5000/10 x v / 500 does not cancel v to the last bit:
  // a ball at the stop speed keeps a residue for one step and is stopped on the next.
  const Vec3 atStopSpeed{0x1.3fffd6p+3f, 0x1.47ae04p-6f, 0.0f};
  ASSERT_EQ(length(atStopSpeed), 10.0f);
  World world = arena(500.0f);
  world.balls[0].init(Vec3{}, atStopSpeed, colourBlue);
  SilentSink silent;

  moveAllBalls(world, silent);
  EXPECT_EQ(world.balls[0].velocity, (Vec3{0x1p-20f, 0.0f, 0.0f}));
  EXPECT_FALSE(world.balls[0].isAtRest());

  moveAllBalls(world, silent);
  EXPECT_EQ(world.balls[0].velocity, (Vec3{0.0f, 0.0f, 0.0f}));
  EXPECT_TRUE(world.balls[0].isAtRest());
}

TEST(BallSlowing, BelowTenStopsAtOnceAfterMoving) {
  World world = arena(500.0f);
  world.balls[0].init(Vec3{100.0f, 0.0f, 0.0f}, Vec3{9.99f, 0.0f, 0.0f}, colourBlue);
  SilentSink silent;
  moveAllBalls(world, silent);
  // The move comes before the slowing.
  EXPECT_EQ(world.balls[0].position.x, 100.0f + 9.99f / 500.0f);
  EXPECT_EQ(world.balls[0].velocity, (Vec3{0.0f, 0.0f, 0.0f}));
  EXPECT_TRUE(allBallsAtRest(world));
}

TEST(BallSlowing, TakesTenOffTheSpeedEveryStepWithoutTurning) {
  World world = arena(1.0e6f);
  world.balls[0].init(Vec3{}, Vec3{600.0f, 0.0f, 800.0f}, colourBlue);
  SilentSink silent;
  moveAllBalls(world, silent);
  EXPECT_NEAR(world.balls[0].velocity.x, 594.0f, 1e-3f);
  EXPECT_NEAR(world.balls[0].velocity.z, 792.0f, 1e-3f);
  EXPECT_EQ(world.balls[0].velocity.y, 0.0f);

  // From 1000 the ball rolls for about 100 steps and about 1000^2 / 10000 = 100 units.
  world.balls[0].init(Vec3{}, Vec3{1000.0f, 0.0f, 0.0f}, colourBlue);
  int steps = 0;
  while (!world.balls[0].isAtRest() && steps < 1000) {
    moveAllBalls(world, silent);
    ++steps;
  }
  EXPECT_GE(steps, 100);
  EXPECT_LE(steps, 101);
  EXPECT_NEAR(world.balls[0].position.x, 101.0f, 0.05f);
}

TEST(WallBounce, FastBallPassesTheContactPositionAndIsReflectedNotClamped) {
  // 10 units short of touching the x = +500 wall, at 40 units per step.
  World world = arena(500.0f);
  world.balls[0].init(Vec3{470.0f, 0.0f, 0.0f}, Vec3{20000.0f, 0.0f, 0.0f}, colourBlue);
  RecordingSink sink;

  moveAllBalls(world, sink);
  EXPECT_EQ(world.balls[0].position, (Vec3{510.0f, 0.0f, 0.0f}));  // 30 past the contact position
  EXPECT_EQ(world.balls[0].velocity, (Vec3{-19990.0f, 0.0f, 0.0f}));
  EXPECT_EQ(sink.played, (std::vector<SoundId>{SoundId::wall}));

  sink.clear();
  moveAllBalls(world, sink);
  EXPECT_NEAR(world.balls[0].position.x, 510.0f - 19990.0f / 500.0f, 1e-3f);
  EXPECT_LT(world.balls[0].velocity.x, 0.0f);
  EXPECT_TRUE(sink.played.empty());
}

TEST(WallBounce, InwardVelocityInsideTheContactZoneIsLeftAlone) {
  World world = arena(500.0f);
  // Past the wall itself but already heading back in: no second reflection, no click.
  world.balls[0].init(Vec3{510.0f, 0.0f, 0.0f}, Vec3{-1000.0f, 0.0f, 0.0f}, colourBlue);
  // At rest within 20 of the low y wall: stays where it is.
  world.balls[1].init(Vec3{0.0f, -495.0f, 0.0f}, Vec3{}, colourBlue);
  RecordingSink sink;
  moveAllBalls(world, sink);
  EXPECT_EQ(world.balls[0].position.x, 508.0f);
  EXPECT_LT(world.balls[0].velocity.x, 0.0f);
  EXPECT_EQ(world.balls[1].position, (Vec3{0.0f, -495.0f, 0.0f}));
  EXPECT_TRUE(sink.played.empty());

  // Moving further out later, it is reflected.
  world.balls[1].velocity = Vec3{0.0f, -100.0f, 0.0f};
  moveAllBalls(world, sink);
  EXPECT_EQ(world.balls[1].position.y, -495.0f + -100.0f / 500.0f);
  EXPECT_GT(world.balls[1].velocity.y, 0.0f);
  EXPECT_EQ(sink.count(SoundId::wall), 1);
}

TEST(WallBounce, CornerReversesSeveralComponentsWithOneClick) {
  World world = arena(500.0f);
  world.balls[0].init(Vec3{479.0f, -479.0f, 0.0f}, Vec3{1000.0f, -1000.0f, 300.0f}, colourBlue);
  RecordingSink sink;
  moveAllBalls(world, sink);
  const Vec3 v = world.balls[0].velocity;
  EXPECT_LT(v.x, 0.0f);
  EXPECT_GT(v.y, 0.0f);
  EXPECT_GT(v.z, 0.0f);
  EXPECT_EQ(v.x, -v.y);
  EXPECT_EQ(sink.played, (std::vector<SoundId>{SoundId::wall}));

  sink.clear();
  world.balls[1].init(Vec3{-485.0f, 485.0f, -485.0f}, Vec3{-500.0f, 500.0f, -500.0f}, colourGreen);
  moveAllBalls(world, sink);
  const Vec3 w = world.balls[1].velocity;
  EXPECT_GT(w.x, 0.0f);
  EXPECT_LT(w.y, 0.0f);
  EXPECT_GT(w.z, 0.0f);
  EXPECT_EQ(w.x, w.z);
  EXPECT_EQ(w.x, -w.y);
  EXPECT_EQ(sink.played, (std::vector<SoundId>{SoundId::wall}));
}

TEST(WallBounce, LowWallIsTestedBeforeTheHighWallWithTheVelocityItLeft) {
  // An arena narrower than a ball: the low wall turns the ball outward-positive, then the high
  // wall, seeing that new velocity, turns it back. One click for both.
  World world = arena(10.0f);
  world.balls[0].init(Vec3{}, Vec3{-1000.0f, 0.0f, 0.0f}, colourBlue);
  RecordingSink sink;
  moveAllBalls(world, sink);
  EXPECT_EQ(world.balls[0].position.x, -2.0f);
  EXPECT_EQ(world.balls[0].velocity.x, -990.0f);
  EXPECT_EQ(sink.played, (std::vector<SoundId>{SoundId::wall}));
}

TEST(WallBounce, KeepsTheSpeedApartFromTheStepsSlowing) {
  World world = arena(100.0f);
  world.balls[0].init(Vec3{79.0f, 0.0f, 0.0f}, Vec3{5000.0f, 0.0f, 0.0f}, colourBlue);
  SilentSink silent;
  moveAllBalls(world, silent);
  EXPECT_EQ(world.balls[0].velocity.x, -4990.0f);
}

TEST(BallMotion, InactiveBallDoesNotMoveWhateverItsStoredVelocity) {
  World world = arena(500.0f);
  world.balls[7].position = Vec3{490.0f, 1.0f, 2.0f};
  world.balls[7].velocity = Vec3{20000.0f, 0.0f, 0.0f};
  world.balls[7].colour = colourRed;
  const Ball before = world.balls[7];
  RecordingSink sink;
  moveAllBalls(world, sink);
  EXPECT_EQ(world.balls[7], before);
  EXPECT_TRUE(sink.played.empty());
  EXPECT_TRUE(world.balls[7].isAtRest());
  EXPECT_TRUE(allBallsAtRest(world));
}

TEST(BallMotion, SilentSinkGivesIdenticalMotion) {
  World loud = arena(300.0f);
  Random random(77);
  for (int s = 0; s < 200; ++s) {
    const Vec3 p{randomCoordinate(random, 280.0f), randomCoordinate(random, 280.0f),
                 randomCoordinate(random, 280.0f)};
    const Vec3 v{randomCoordinate(random, 16000.0f), randomCoordinate(random, 16000.0f),
                 randomCoordinate(random, 16000.0f)};
    loud.balls[s * 5].init(p, v, s % 3);
  }
  World quiet = loud;
  RecordingSink sink;
  SilentSink silent;
  for (int step = 0; step < 400; ++step) {
    moveAllBalls(loud, sink);
    moveAllBalls(quiet, silent);
    ASSERT_EQ(worldHash(loud), worldHash(quiet)) << "step " << step;
  }
  EXPECT_EQ(loud, quiet);
  EXPECT_GT(sink.count(SoundId::wall), 100);
  EXPECT_EQ(sink.count(SoundId::wall), static_cast<int>(sink.played.size()));
}

TEST(RestTest, ExactZeroOnlyAndInactiveSlotsCount) {
  World world = arena(500.0f);
  EXPECT_TRUE(allBallsAtRest(world));
  world.balls[3].init(Vec3{}, Vec3{0.0f, 0.0f, 1e-30f}, colourBlue);
  EXPECT_FALSE(world.balls[3].isAtRest());
  EXPECT_FALSE(allBallsAtRest(world));
  world.balls[3].active = 0;
  EXPECT_TRUE(allBallsAtRest(world));
  world.balls[cueBallSlot].init(Vec3{}, Vec3{-0.0f, 0.0f, -0.0f}, colourCueBall);
  EXPECT_TRUE(allBallsAtRest(world));
}

}  // namespace
}  // namespace morvane
