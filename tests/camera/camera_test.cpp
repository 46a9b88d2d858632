#include <gtest/gtest.h>

#include "camera/camera.h"
#include "math/rotation.h"
#include "game/game.h"
#include "game/input.h"
#include "settings/match_settings.h"

namespace morvane {
namespace {

struct CameraFixture : ::testing::Test {
  Game game;
  uint32_t now = 0;
  void SetUp() override { startMatch(game, defaultMatchSettings(), 0); }
  void ticks(int n) {
    for (int i = 0; i < n; ++i) {
      now += 16;
      gameTick(game, now);
    }
  }
  MouseMotion at(int x, int y) {
    MouseMotion m;
    m.x = x;
    m.y = y;
    return m;
  }
};

TEST_F(CameraFixture, HeldMovesUseTheStartFrame) {
  keyDown(game, GameKey::keypad8);
  ticks(100);
  EXPECT_EQ(game.camera.eye, (Vec3{0.0f, 0.0f, -1000.0f}));
  keyUp(game, GameKey::keypad8);

  const Vec3 before = game.camera.eye;
  keyDown(game, GameKey::keypad4);
  keyDown(game, GameKey::keypad6);
  ticks(10);
  EXPECT_EQ(game.camera.eye, before);
}

TEST_F(CameraFixture, TurnLeftForOneTickTakesTheTableAngle) {
  keyDown(game, GameKey::keypad1);
  ticks(1);
  EXPECT_NEAR(game.camera.forward.x, -2.967f, 0.001f);
  EXPECT_NEAR(game.camera.forward.y, 0.0f, 1e-6f);
  EXPECT_NEAR(game.camera.forward.z, -99.956f, 0.001f);
  EXPECT_NEAR(game.camera.right.x, 99.956f, 0.001f);
  EXPECT_NEAR(game.camera.right.z, -2.967f, 0.001f);
}

TEST_F(CameraFixture, TurnsTiltsAndRollsGoTheNamedWay) {
  auto oneTick = [&](GameKey k) {
    resetCameraOrientation(game.camera);
    keyDown(game, k);
    ticks(1);
    keyUp(game, k);
    return game.camera;
  };
  EXPECT_GT(oneTick(GameKey::keypad3).forward.x, 0.0f);  // turn right
  EXPECT_GT(oneTick(GameKey::keypad9).forward.y, 0.0f);  // turn up
  EXPECT_LT(oneTick(GameKey::keypad7).forward.y, 0.0f);  // turn down
  EXPECT_LT(oneTick(GameKey::keypad0).up.x, 0.0f);       // roll left: up swings toward -right
  EXPECT_GT(oneTick(GameKey::keypadPoint).up.x, 0.0f);
}

TEST_F(CameraFixture, EveryThirdMotionTurnsByTheWholeOffset) {
  const int w = 1280, h = 1024;
  EXPECT_FALSE(mouseMoved(game, at(740, 512), w, h));
  EXPECT_FALSE(mouseMoved(game, at(740, 512), w, h));
  EXPECT_EQ(game.camera.forward, (Vec3{0.0f, 0.0f, -100.0f}));
  EXPECT_TRUE(mouseMoved(game, at(740, 512), w, h));
  Camera expected;
  const float angle = static_cast<float>(100 * 0.03 * 0.03);  // 0.09 rad
  rotateAboutAxis(expected.up, expected.forward, angle);
  rotateAboutAxis(expected.up, expected.right, angle);
  rotateAboutAxis(expected.right, expected.forward, 0.0f);
  rotateAboutAxis(expected.right, expected.up, 0.0f);
  EXPECT_EQ(game.camera.forward, expected.forward);
  EXPECT_GT(game.camera.forward.x, 8.0f);  // about 5.1 degrees to the right
  EXPECT_LT(game.camera.forward.x, 9.5f);
}

TEST_F(CameraFixture, ResetRestoresTheExactFrameAndKeepsTheEye) {
  keyDown(game, GameKey::keypad1);
  keyDown(game, GameKey::keypad9);
  keyDown(game, GameKey::keypad8);
  ticks(37);
  const Vec3 eye = game.camera.eye;
  keyDown(game, GameKey::r);
  EXPECT_EQ(game.camera.forward, (Vec3{0, 0, -100}));
  EXPECT_EQ(game.camera.right, (Vec3{100, 0, 0}));
  EXPECT_EQ(game.camera.up, (Vec3{0, 100, 0}));
  EXPECT_EQ(game.camera.eye, eye);
}

TEST_F(CameraFixture, KeypadTwoJumpsToTheCueBallOnlyWhenItIsOnTheTable) {
  game.camera.eye = Vec3{1, 2, 3};
  keyDown(game, GameKey::keypad2);
  EXPECT_EQ(game.camera.eye, (Vec3{1, 2, 3}));
  game.world.balls[cueBallSlot].init(Vec3{100, -50, 300}, Vec3{}, colourCueBall);
  keyDown(game, GameKey::keypad2);
  EXPECT_EQ(game.camera.eye, (Vec3{100, -50, 300}));
}

TEST_F(CameraFixture, PendingComputerShotSuspendsCameraInputButNotResetOrJump) {
  game.match.computerShotPending = 1;
  game.world.balls[cueBallSlot].init(Vec3{100, 0, 0}, Vec3{}, colourCueBall);
  game.cue.cueDirection = game.camera.forward;  // already aligned: the shot would fire at once
  game.camera.forward = Vec3{0, 0, -100};
  const Camera before = game.camera;
  for (int i = 0; i < 5; ++i) mouseMoved(game, at(900, 100), 1280, 1024);
  EXPECT_EQ(game.camera, before);
  EXPECT_EQ(game.mouseMoveCount, 0.0f);
  keyDown(game, GameKey::keypad8);
  EXPECT_EQ(game.cameraKeys.moveForwardHeld, 1);  // the flag still follows the key
  applyCameraKeys(game.camera, game.cameraKeys, game.match);
  EXPECT_EQ(game.camera, before);
  keyDown(game, GameKey::keypad2);
  EXPECT_EQ(game.camera.eye, (Vec3{100, 0, 0}));
  game.camera.forward = Vec3{5, 5, -100};
  keyDown(game, GameKey::r);
  EXPECT_EQ(game.camera.forward, (Vec3{0, 0, -100}));
}

}  // namespace
}  // namespace morvane
