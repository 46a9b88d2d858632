#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "game/input.h"
#include "settings/match_settings.h"

namespace morvane {
namespace {

struct InputFixture : ::testing::Test {
  Game game;
  void SetUp() override { startMatch(game, defaultMatchSettings(), 0); }
};

TEST_F(InputFixture, EveryHeldKeySetsAndClearsItsOwnFlag) {
  const std::vector<std::pair<GameKey, int32_t*>> table = {
      {GameKey::keypad5, &game.cameraKeys.moveBackHeld},    {GameKey::enter, &game.cameraKeys.moveDownHeld},
      {GameKey::keypad9, &game.cameraKeys.turnUpHeld},      {GameKey::keypad3, &game.cameraKeys.turnRightHeld},
      {GameKey::keypad1, &game.cameraKeys.turnLeftHeld},    {GameKey::keypad7, &game.cameraKeys.turnDownHeld},
      {GameKey::keypad4, &game.cameraKeys.moveLeftHeld},    {GameKey::keypad8, &game.cameraKeys.moveForwardHeld},
      {GameKey::keypad6, &game.cameraKeys.moveRightHeld},   {GameKey::keypad0, &game.cameraKeys.rollLeftHeld},
      {GameKey::keypadPoint, &game.cameraKeys.rollRightHeld}, {GameKey::keypadPlus, &game.cameraKeys.moveUpHeld},
      {GameKey::a, &game.aimKeys.aimSwingPosHeld},          {GameKey::d, &game.aimKeys.aimSwingNegHeld},
      {GameKey::e, &game.aimKeys.strengthDownHeld},         {GameKey::q, &game.aimKeys.strengthUpHeld},
      {GameKey::s, &game.aimKeys.aimTiltPosHeld},           {GameKey::w, &game.aimKeys.aimTiltNegHeld},
      {GameKey::f1, &game.helpVisible},
  };
  for (const auto& [key, flag] : table) {
    const Game before = game;
    keyDown(game, key);
    EXPECT_EQ(*flag, 1) << static_cast<int>(key);
    // Nothing else changed: the flag is the only effect of the press.
    *flag = 0;
    EXPECT_EQ(game.cameraKeys.moveBackHeld + game.cameraKeys.moveDownHeld + game.aimKeys.strengthUpHeld +
                  game.helpVisible + game.cameraKeys.turnLeftHeld + game.aimKeys.aimTiltNegHeld,
              0)
        << static_cast<int>(key);
    EXPECT_EQ(game.camera, before.camera);
    *flag = 1;
    keyUp(game, key);
    EXPECT_EQ(*flag, 0) << static_cast<int>(key);
  }
}

TEST_F(InputFixture, OneShotKeysActOnEveryPressIncludingRepeats) {
  game.world.balls[cueBallSlot].init(Vec3{0, 0, 400}, Vec3{}, colourCueBall);
  game.match.ballInHand = 0;
  game.cue.shotStrength = 10.0f;
  keyDown(game, GameKey::space);
  EXPECT_EQ(game.match.shotInProgress, 1);
  const Vec3 velocity = game.world.balls[cueBallSlot].velocity;
  EXPECT_EQ(velocity, (Vec3{0, 0, 1000}));
  keyDown(game, GameKey::space);  // an auto-repeat while the ball rolls is refused
  EXPECT_EQ(game.world.balls[cueBallSlot].velocity, velocity);
  keyUp(game, GameKey::space);

  game.camera.forward = Vec3{1, 2, 3};
  keyDown(game, GameKey::r);
  keyDown(game, GameKey::r);
  EXPECT_EQ(game.camera.forward, (Vec3{0, 0, -100}));
  keyDown(game, GameKey::keypad2);
  EXPECT_EQ(game.camera.eye, (Vec3{0, 0, 400}));
}

TEST_F(InputFixture, KeysOutsideTheTableDoNothing) {
  const Game before = game;
  keyDown(game, GameKey::other);
  keyUp(game, GameKey::other);
  mouseButtonDown(game, MouseButton::other);
  EXPECT_EQ(game.cameraKeys.moveForwardHeld, before.cameraKeys.moveForwardHeld);
  EXPECT_EQ(game.aimKeys.strengthUpHeld, 0);
  EXPECT_EQ(game.aimKeys.strengthDownHeld, 0);
  EXPECT_EQ(game.camera, before.camera);
  EXPECT_EQ(game.world, before.world);
}

TEST_F(InputFixture, RightButtonLowersStrengthAndPendingShotIgnoresMotion) {
  mouseButtonDown(game, MouseButton::right);
  EXPECT_EQ(game.aimKeys.strengthDownHeld, 1);
  mouseButtonUp(game, MouseButton::right);
  EXPECT_EQ(game.aimKeys.strengthDownHeld, 0);

  game.match.computerShotPending = 1;
  MouseMotion m;
  m.x = 1000;
  m.ctrl = true;
  const Game before = game;
  for (int i = 0; i < 6; ++i) EXPECT_FALSE(mouseMoved(game, m, 1280, 1024));
  EXPECT_EQ(game.camera, before.camera);
  EXPECT_EQ(game.cue, before.cue);
}

}  // namespace
}  // namespace morvane
