#include <gtest/gtest.h>

#include <cmath>

#include "camera/cue.h"
#include "game/game.h"
#include "game/input.h"
#include "settings/match_settings.h"

namespace morvane {
namespace {

struct CueFixture : ::testing::Test {
  Game game;
  uint32_t now = 0;
  void SetUp() override { startMatch(game, defaultMatchSettings(), 0); }
  void ticks(int n) {
    for (int i = 0; i < n; ++i) {
      now += 16;
      gameTick(game, now);
    }
  }
  void placeCueBall(Vec3 at) {
    game.world.balls[cueBallSlot].init(at, Vec3{}, colourCueBall);
    game.match.ballInHand = 0;
  }
};

TEST_F(CueFixture, StrengthRisesAndFallsOneUnitPerTickWithinLimits) {
  mouseButtonDown(game, MouseButton::left);  // ball in hand but eye inside the rack: a placement try
  EXPECT_EQ(game.aimKeys.strengthUpHeld, 0);
  placeCueBall(Vec3{0, 0, 400});
  mouseButtonDown(game, MouseButton::left);
  ticks(150);
  EXPECT_EQ(game.cue.shotStrength, 150.0f);
  ticks(100);
  EXPECT_EQ(game.cue.shotStrength, 200.0f);
  mouseButtonUp(game, MouseButton::left);
  mouseButtonDown(game, MouseButton::right);
  ticks(200);
  EXPECT_EQ(game.cue.shotStrength, 0.0f);
  ticks(5);
  EXPECT_EQ(game.cue.shotStrength, 0.0f);
}

TEST_F(CueFixture, ReleasingQClearsTheFlagTheLeftButtonShares) {
  placeCueBall(Vec3{0, 0, 400});
  mouseButtonDown(game, MouseButton::left);
  keyDown(game, GameKey::q);
  keyUp(game, GameKey::q);
  EXPECT_EQ(game.aimKeys.strengthUpHeld, 0);
}

TEST_F(CueFixture, CtrlAimingOrbitsTheCueBallAtTheSameDistance) {
  placeCueBall(Vec3{100, 50, 300});
  game.camera.eye = Vec3{100, 50, 600};  // 300 units away
  game.camera.forward = Vec3{0, 0, -100};
  MouseMotion m;
  m.x = 700;
  m.y = 500;
  m.ctrl = true;
  for (int i = 0; i < 3; ++i) mouseMoved(game, m, 1280, 1024);
  EXPECT_EQ(game.cue.cueDirection, game.camera.forward);
  EXPECT_NEAR(length(game.camera.eye - Vec3{100, 50, 300}), 300.0f, 0.01f);
  // Looking straight at the cue ball: eye + forward * k reaches it.
  const Vec3 toBall = Vec3{100, 50, 300} - game.camera.eye;
  EXPECT_NEAR(dot(toBall, game.camera.forward) / (length(toBall) * length(game.camera.forward)), 1.0f, 1e-5f);
}

TEST_F(CueFixture, CtrlWithAButtonOrShiftOnlyTurnsTheCamera) {
  placeCueBall(Vec3{0, 0, 300});
  game.camera.eye = Vec3{0, 0, 600};
  const Vec3 cueBefore = game.cue.cueDirection;
  MouseMotion m;
  m.x = 700;
  m.y = 600;
  m.ctrl = true;
  m.anyButton = true;
  for (int i = 0; i < 3; ++i) mouseMoved(game, m, 1280, 1024);
  EXPECT_EQ(game.cue.cueDirection, cueBefore);
  EXPECT_EQ(game.camera.eye, (Vec3{0, 0, 600}));
  EXPECT_NE(game.camera.forward, (Vec3{0, 0, -100}));
  m.anyButton = false;
  m.shift = true;
  mouseMoved(game, m, 1280, 1024);
  EXPECT_EQ(game.cue.cueDirection, cueBefore);
}

TEST_F(CueFixture, CtrlAimingIsRefusedWhileTheComputerIsToMove) {
  game.settings.player1Computer = 1;
  const CueState before = game.cue;
  MouseMotion m;
  m.x = 900;
  m.ctrl = true;
  mouseMoved(game, m, 1280, 1024);
  EXPECT_EQ(game.cue, before);
}

TEST_F(CueFixture, PlacementNeedsFortyUnitsFromEveryBallCentre) {
  for (Ball& b : game.world.balls) b.active = 0;
  const Vec3 ball{100.0f, 100.0f, 100.0f};
  game.world.balls[7].init(ball, Vec3{}, colourGreen);
  game.camera.eye = ball - Vec3{39.0f, 0.0f, 0.0f};
  EXPECT_TRUE(placeCueBallAtEye(game.world, game.match, game.camera));
  EXPECT_EQ(game.match.ballInHand, 1);
  EXPECT_EQ(game.world.balls[cueBallSlot].active, 0);
  game.camera.eye = ball - Vec3{40.0f, 0.0f, 0.0f};
  EXPECT_TRUE(placeCueBallAtEye(game.world, game.match, game.camera));
  EXPECT_EQ(game.match.ballInHand, 0);
  EXPECT_EQ(game.world.balls[cueBallSlot].position, game.camera.eye);
  EXPECT_EQ(game.world.balls[cueBallSlot].colour, colourCueBall);
}

TEST_F(CueFixture, LeftClickWhileBallsRollRaisesTheStrengthInstead) {
  game.world.balls[0].velocity = Vec3{100, 0, 0};
  game.camera.eye = Vec3{0, 0, 400};
  mouseButtonDown(game, MouseButton::left);
  EXPECT_EQ(game.aimKeys.strengthUpHeld, 1);
  EXPECT_EQ(game.match.ballInHand, 1);
}

TEST_F(CueFixture, AimKeysTiltAndSwingTheCue) {
  keyDown(game, GameKey::w);
  ticks(1);
  // At the start aimSideAxis (+x) lies to the left of a viewer looking along +z: W lowers the cue.
  EXPECT_LT(game.cue.cueDirection.y, 0.0f);
  keyUp(game, GameKey::w);
  game.cue = CueState{};
  keyDown(game, GameKey::a);
  ticks(1);
  // Clockwise seen from +y: (0, 0, 100) swings toward -x.
  EXPECT_LT(game.cue.cueDirection.x, 0.0f);
  EXPECT_EQ(game.cue.aimSideAxis.y, 0.0f);
}

struct ComputerCueFixture : CueFixture {
  int ticksUntilShot(uint32_t& firstAlignedAt) {
    firstAlignedAt = 0;
    for (int i = 1; i <= 2000; ++i) {
      now += 16;
      computerAimStep(game.camera, game.cue, game.world, game.match, game.computerAimTimer, now, *game.sounds);
      const float c = dot(game.camera.forward, game.cue.cueDirection) /
                      (length(game.cue.cueDirection) * length(game.camera.forward));
      if (firstAlignedAt == 0 && c > 0.9999f) firstAlignedAt = now;
      if (game.match.computerShotPending == 0) return i;
    }
    return -1;
  }
};

TEST_F(ComputerCueFixture, TurnsAroundThenPausesASecondBeforeTheShot) {
  placeCueBall(Vec3{0, 0, 400});
  game.cue.cueDirection = Vec3{0, 0, 100};
  game.cue.shotStrength = 50.0f;
  game.match.computerShotPending = 1;
  uint32_t alignedAt = 0;
  const int shotTick = ticksUntilShot(alignedAt);
  ASSERT_GT(shotTick, 0);
  EXPECT_GT(alignedAt, 0u);
  const int alignTicks = static_cast<int>(alignedAt / 16);
  EXPECT_GE(alignTicks, 140);
  EXPECT_LE(alignTicks, 180);
  EXPECT_GT(now - alignedAt, 1000u);
  EXPECT_EQ(game.match.shotInProgress, 1);
  EXPECT_GT(game.world.balls[cueBallSlot].velocity.z, 0.0f);
}

TEST_F(ComputerCueFixture, AlreadyAlignedFiresOnTheFirstTick) {
  placeCueBall(Vec3{0, 0, 400});
  game.cue.cueDirection = Vec3{0, 0, -100};
  game.cue.shotStrength = 50.0f;
  game.match.computerShotPending = 1;
  uint32_t alignedAt = 0;
  EXPECT_EQ(ticksUntilShot(alignedAt), 1);
}

}  // namespace
}  // namespace morvane
