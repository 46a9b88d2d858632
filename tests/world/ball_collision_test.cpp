#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "support/recording_sink.h"
#include "world/world.h"

namespace morvane {
namespace {

using CollisionPass = void (*)(World&, FirstTouch, SoundSink&);

struct PassCase {
  const char* name;
  CollisionPass pass;
};

void PrintTo(const PassCase& c, std::ostream* os) { *os << c.name; }

// Every case runs through the spatial-hash pass and through the all-pairs reference.
class BallCollision : public ::testing::TestWithParam<PassCase> {
 protected:
  BallCollision() { world.arenaHalfSize = 500.0f; }

  void collide(BallColour target = colourBlue) {
    GetParam().pass(world, FirstTouch{cueBallTouched, foulCommitted, target}, sink);
  }

  World world;
  int32_t cueBallTouched = 0;
  int32_t foulCommitted = 0;
  RecordingSink sink;
};

TEST_P(BallCollision, DeadCentreHitPassesAllTheVelocity) {
  world.balls[0].init(Vec3{0.0f, 0.0f, 0.0f}, Vec3{1000.0f, 0.0f, 0.0f}, colourBlue);
  world.balls[1].init(Vec3{32.0f, 0.0f, 0.0f}, Vec3{}, colourGreen);
  collide();
  EXPECT_EQ(world.balls[0].velocity, (Vec3{0.0f, 0.0f, 0.0f}));
  EXPECT_EQ(world.balls[1].velocity, (Vec3{1000.0f, 0.0f, 0.0f}));
  EXPECT_TRUE(world.balls[0].isAtRest());
  // Positions are never changed by the pass, not even to separate the balls.
  EXPECT_EQ(world.balls[0].position, (Vec3{0.0f, 0.0f, 0.0f}));
  EXPECT_EQ(world.balls[1].position, (Vec3{32.0f, 0.0f, 0.0f}));
  EXPECT_EQ(cueBallTouched, 0);
  EXPECT_EQ(foulCommitted, 0);
}

TEST_P(BallCollision, GlancingHitKeepsTheComponentsAcrossTheLineOfCentres) {
  world.balls[0].init(Vec3{0.0f, 0.0f, 0.0f}, Vec3{1000.0f, 500.0f, -250.0f}, colourBlue);
  world.balls[1].init(Vec3{32.0f, 0.0f, 0.0f}, Vec3{0.0f, -300.0f, 0.0f}, colourBlue);
  collide();
  const Vec3 a = world.balls[0].velocity, b = world.balls[1].velocity;
  EXPECT_NEAR(a.x, 0.0f, 0.05f);
  EXPECT_NEAR(b.x, 1000.0f, 0.05f);
  EXPECT_EQ(a.y, 500.0f);
  EXPECT_EQ(a.z, -250.0f);
  EXPECT_EQ(b.y, -300.0f);
  EXPECT_EQ(b.z, 0.0f);
}

TEST_P(BallCollision, ContactStartsJustInsideFortyUnits) {
  world.balls[0].init(Vec3{0.0f, 0.0f, 0.0f}, Vec3{1000.0f, 0.0f, 0.0f}, colourBlue);
  world.balls[cueBallSlot].init(Vec3{40.0f, 0.0f, 0.0f}, Vec3{}, colourCueBall);
  collide();
  EXPECT_EQ(world.balls[0].velocity, (Vec3{1000.0f, 0.0f, 0.0f}));
  EXPECT_EQ(world.balls[cueBallSlot].velocity, (Vec3{}));
  EXPECT_EQ(cueBallTouched, 0);
  EXPECT_TRUE(sink.played.empty());

  // Also exactly 40 apart along a diagonal: 24^2 + 32^2 = 40^2.
  world.balls[cueBallSlot].position = Vec3{24.0f, 32.0f, 0.0f};
  collide();
  EXPECT_EQ(cueBallTouched, 0);

  world.balls[cueBallSlot].position = Vec3{39.99f, 0.0f, 0.0f};
  collide();
  EXPECT_EQ(cueBallTouched, 1);
  EXPECT_EQ(foulCommitted, 0);
  EXPECT_NEAR(world.balls[0].velocity.x, 0.0f, 0.01f);
  EXPECT_NEAR(world.balls[cueBallSlot].velocity.x, 1000.0f, 0.01f);
}

TEST_P(BallCollision, BallsAtTheSamePositionAreLeftAlone) {
  world.balls[2].init(Vec3{5.0f, 6.0f, 7.0f}, Vec3{1000.0f, -200.0f, 0.0f}, colourRed);
  world.balls[cueBallSlot].init(Vec3{5.0f, 6.0f, 7.0f}, Vec3{-300.0f, 0.0f, 50.0f}, colourCueBall);
  collide(colourBlue);
  EXPECT_EQ(world.balls[2].velocity, (Vec3{1000.0f, -200.0f, 0.0f}));
  EXPECT_EQ(world.balls[cueBallSlot].velocity, (Vec3{-300.0f, 0.0f, 50.0f}));
  EXPECT_TRUE(sink.played.empty());
  // They still touch: the red ball is the cue ball's first contact.
  EXPECT_EQ(cueBallTouched, 1);
  EXPECT_EQ(foulCommitted, 1);
}

TEST_P(BallCollision, LowerSlotDecidesTheFirstTouch) {
  // The cue ball touches a green ball in slot 3 and a blue ball in slot 7 in the same step.
  world.balls[3].init(Vec3{30.0f, 0.0f, 0.0f}, Vec3{}, colourGreen);
  world.balls[7].init(Vec3{-30.0f, 0.0f, 0.0f}, Vec3{}, colourBlue);
  world.balls[cueBallSlot].init(Vec3{}, Vec3{0.0f, 0.0f, 500.0f}, colourCueBall);
  collide(colourBlue);
  EXPECT_EQ(cueBallTouched, 1);
  EXPECT_EQ(foulCommitted, 1);

  World swapped;
  swapped.arenaHalfSize = 500.0f;
  swapped.balls[3].init(Vec3{30.0f, 0.0f, 0.0f}, Vec3{}, colourBlue);
  swapped.balls[7].init(Vec3{-30.0f, 0.0f, 0.0f}, Vec3{}, colourGreen);
  swapped.balls[cueBallSlot].init(Vec3{}, Vec3{0.0f, 0.0f, 500.0f}, colourCueBall);
  int32_t touched = 0, foul = 0;
  GetParam().pass(swapped, FirstTouch{touched, foul, colourBlue}, sink);
  EXPECT_EQ(touched, 1);
  EXPECT_EQ(foul, 0);
}

TEST_P(BallCollision, SeparatingOrRestingContactsStillCountForTheFirstTouch) {
  world.balls[4].init(Vec3{30.0f, 0.0f, 0.0f}, Vec3{200.0f, 0.0f, 0.0f}, colourGreen);
  world.balls[cueBallSlot].init(Vec3{}, Vec3{-1000.0f, 0.0f, 0.0f}, colourCueBall);
  collide(colourGreen);
  EXPECT_EQ(world.balls[4].velocity, (Vec3{200.0f, 0.0f, 0.0f}));
  EXPECT_EQ(world.balls[cueBallSlot].velocity, (Vec3{-1000.0f, 0.0f, 0.0f}));
  EXPECT_EQ(cueBallTouched, 1);
  EXPECT_EQ(foulCommitted, 0);
  EXPECT_TRUE(sink.played.empty());

  // Both at rest, touching a ball of the wrong colour.
  World still;
  still.arenaHalfSize = 500.0f;
  still.balls[0].init(Vec3{0.0f, 39.0f, 0.0f}, Vec3{}, colourRed);
  still.balls[cueBallSlot].init(Vec3{}, Vec3{}, colourCueBall);
  int32_t touched = 0, foul = 0;
  GetParam().pass(still, FirstTouch{touched, foul, colourBlue}, sink);
  EXPECT_EQ(touched, 1);
  EXPECT_EQ(foul, 1);
  EXPECT_TRUE(allBallsAtRest(still));
}

TEST_P(BallCollision, FirstTouchIsJudgedOncePerShot) {
  world.balls[0].init(Vec3{30.0f, 0.0f, 0.0f}, Vec3{}, colourRed);
  world.balls[cueBallSlot].init(Vec3{}, Vec3{1000.0f, 0.0f, 0.0f}, colourCueBall);
  cueBallTouched = 1;  // an earlier step of the shot touched a blue ball
  collide(colourBlue);
  EXPECT_EQ(foulCommitted, 0);

  // A foul already recorded is never cleared by the pass.
  World again;
  again.arenaHalfSize = 500.0f;
  again.balls[0].init(Vec3{30.0f, 0.0f, 0.0f}, Vec3{}, colourBlue);
  again.balls[cueBallSlot].init(Vec3{}, Vec3{1000.0f, 0.0f, 0.0f}, colourCueBall);
  int32_t touched = 0, foul = 1;
  GetParam().pass(again, FirstTouch{touched, foul, colourBlue}, sink);
  EXPECT_EQ(touched, 1);
  EXPECT_EQ(foul, 1);
}

TEST_P(BallCollision, PairsSeeTheVelocitiesOfEarlierPairsInTheSamePass) {
  // A row of three: slot 0 hits slot 1, which in the same pass hands the velocity to slot 2.
  world.balls[0].init(Vec3{0.0f, 0.0f, 0.0f}, Vec3{1000.0f, 0.0f, 0.0f}, colourBlue);
  world.balls[1].init(Vec3{32.0f, 0.0f, 0.0f}, Vec3{}, colourBlue);
  world.balls[2].init(Vec3{64.0f, 0.0f, 0.0f}, Vec3{}, colourBlue);
  collide();
  EXPECT_EQ(world.balls[0].velocity, (Vec3{}));
  EXPECT_EQ(world.balls[1].velocity, (Vec3{}));
  EXPECT_EQ(world.balls[2].velocity, (Vec3{1000.0f, 0.0f, 0.0f}));

  // Mirrored slots: pair (0, 1) comes first and finds both at rest, so only one exchange
  // happens in this pass.
  World mirrored;
  mirrored.arenaHalfSize = 500.0f;
  mirrored.balls[0].init(Vec3{0.0f, 0.0f, 0.0f}, Vec3{}, colourBlue);
  mirrored.balls[1].init(Vec3{32.0f, 0.0f, 0.0f}, Vec3{}, colourBlue);
  mirrored.balls[2].init(Vec3{64.0f, 0.0f, 0.0f}, Vec3{-1000.0f, 0.0f, 0.0f}, colourBlue);
  int32_t touched = 0, foul = 0;
  GetParam().pass(mirrored, FirstTouch{touched, foul, colourBlue}, sink);
  EXPECT_EQ(mirrored.balls[0].velocity, (Vec3{}));
  EXPECT_EQ(mirrored.balls[1].velocity, (Vec3{-1000.0f, 0.0f, 0.0f}));
  EXPECT_EQ(mirrored.balls[2].velocity, (Vec3{}));
}

TEST_P(BallCollision, AFastBallCanSkipPastTheEdgeOfAContactZone) {
  // 36 off the line of travel the contact zone is a chord of about 35 units; at 40 units per
  // step the ball is outside it at the end of both steps.
  world.balls[0].init(Vec3{}, Vec3{}, colourBlue);
  world.balls[cueBallSlot].init(Vec3{-61.0f, 36.0f, 0.0f}, Vec3{20000.0f, 0.0f, 0.0f}, colourCueBall);
  for (int step = 0; step < 3; ++step) {
    moveAllBalls(world, sink);
    collide();
  }
  EXPECT_GT(world.balls[cueBallSlot].position.x, 50.0f);
  EXPECT_EQ(world.balls[0].velocity, (Vec3{}));
  EXPECT_EQ(cueBallTouched, 0);
  EXPECT_TRUE(sink.played.empty());
}

TEST_P(BallCollision, InactiveSlotsTakeNoPart) {
  world.balls[0].init(Vec3{}, Vec3{1000.0f, 0.0f, 0.0f}, colourBlue);
  world.balls[1].init(Vec3{32.0f, 0.0f, 0.0f}, Vec3{}, colourBlue);
  world.balls[1].active = 0;
  world.balls[cueBallSlot].init(Vec3{0.0f, 10.0f, 0.0f}, Vec3{}, colourCueBall);
  world.balls[cueBallSlot].active = 0;
  collide();
  EXPECT_EQ(world.balls[0].velocity, (Vec3{1000.0f, 0.0f, 0.0f}));
  EXPECT_EQ(world.balls[1].velocity, (Vec3{}));
  EXPECT_EQ(cueBallTouched, 0);
}

TEST_P(BallCollision, ClickFollowsTheImpactSpeed) {
  // Head-on against a resting ball the impact speed is the closing speed itself.
  struct Hit {
    float speed;
    std::vector<SoundId> sounds;
  };
  const Hit hits[] = {
      {10.0f, {}},
      {50.0f, {}},
      {50.0625f, {SoundId::softClick}},
      {1000.0f, {SoundId::softClick}},
      {1000.5f, {SoundId::hardClick}},
      {20000.0f, {SoundId::hardClick}},
  };
  for (const Hit& hit : hits) {
    World w;
    w.arenaHalfSize = 500.0f;
    w.balls[0].init(Vec3{}, Vec3{hit.speed, 0.0f, 0.0f}, colourBlue);
    w.balls[1].init(Vec3{32.0f, 0.0f, 0.0f}, Vec3{}, colourBlue);
    RecordingSink clicks;
    int32_t touched = 0, foul = 0;
    GetParam().pass(w, FirstTouch{touched, foul, colourBlue}, clicks);
    EXPECT_EQ(clicks.played, hit.sounds) << "speed " << hit.speed;
    // Even a click too soft to hear exchanges the velocities.
    EXPECT_EQ(w.balls[1].velocity.x, hit.speed) << "speed " << hit.speed;

    // Silently, the same exchange.
    World quiet;
    quiet.arenaHalfSize = 500.0f;
    quiet.balls[0].init(Vec3{}, Vec3{hit.speed, 0.0f, 0.0f}, colourBlue);
    quiet.balls[1].init(Vec3{32.0f, 0.0f, 0.0f}, Vec3{}, colourBlue);
    SilentSink silent;
    int32_t quietTouched = 0, quietFoul = 0;
    GetParam().pass(quiet, FirstTouch{quietTouched, quietFoul, colourBlue}, silent);
    EXPECT_EQ(quiet, w);
  }
}

INSTANTIATE_TEST_SUITE_P(BothPasses, BallCollision,
                         ::testing::Values(PassCase{"SpatialHash", &collideBalls},
                                           PassCase{"AllPairs", &collideBallsAllPairs}),
                         [](const ::testing::TestParamInfo<PassCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace morvane
