#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "game/input.h"
#include "settings/match_settings.h"

namespace morvane {
namespace {

struct Input : ::testing::Test {
  Game game;
  void SetUp() override { startMatch(game, defaultMatchSettings(), 0); }
};

TEST_F(Input, EveryHeldKeySetsAndClearsOnlyItsOwnFlag) {
  CameraKeys& c = game.cameraKeys;
  AimKeys& a = game.aimKeys;
  const std::vector<std::pair<GameKey, int32_t*>> table = {
      {GameKey::keypad5, &c.moveBackHeld},  {GameKey::enter, &c.moveDownHeld},       {GameKey::keypad9, &c.turnUpHeld},
      {GameKey::keypad3, &c.turnRightHeld}, {GameKey::keypad1, &c.turnLeftHeld},     {GameKey::keypad7, &c.turnDownHeld},
      {GameKey::keypad4, &c.moveLeftHeld},  {GameKey::keypad8, &c.moveForwardHeld},  {GameKey::keypad6, &c.moveRightHeld},
      {GameKey::keypad0, &c.rollLeftHeld},  {GameKey::keypadPoint, &c.rollRightHeld}, {GameKey::keypadPlus, &c.moveUpHeld},
      {GameKey::a, &a.aimSwingPosHeld},     {GameKey::d, &a.aimSwingNegHeld},        {GameKey::e, &a.strengthDownHeld},
      {GameKey::q, &a.strengthUpHeld},      {GameKey::s, &a.aimTiltPosHeld},         {GameKey::w, &a.aimTiltNegHeld},
      {GameKey::f1, &game.helpVisible},
  };
  for (const auto& [key, flag] : table) {
    keyDown(game, key);
    int held = game.helpVisible;
    for (const auto& entry : table) held += *entry.second;
    EXPECT_EQ(*flag, 1) << static_cast<int>(key);
    EXPECT_EQ(held - game.helpVisible, 1) << static_cast<int>(key);
    keyUp(game, key);
    EXPECT_EQ(*flag, 0) << static_cast<int>(key);
  }
  const Game before = game;
  keyDown(game, GameKey::other);
  mouseButtonDown(game, MouseButton::other);
  EXPECT_EQ(game.camera, before.camera);
  EXPECT_EQ(game.world, before.world);
  EXPECT_EQ(game.aimKeys.strengthUpHeld + game.aimKeys.strengthDownHeld, 0);
}

TEST_F(Input, OneShotKeysActOnEveryPressAndSpaceRepeatsAreRefused) {
  game.camera.eye = Vec3{1, 2, 3};
  keyDown(game, GameKey::keypad2);  // the cue ball is in hand: no jump
  EXPECT_EQ(game.camera.eye, (Vec3{1, 2, 3}));
  game.world.balls[cueBallSlot].init(Vec3{0, 0, 400}, Vec3{}, colourCueBall);
  game.match.ballInHand = 0;
  game.cue.shotStrength = 10.0f;
  keyDown(game, GameKey::space);
  EXPECT_EQ(game.match.shotInProgress, 1);
  EXPECT_EQ(game.world.balls[cueBallSlot].velocity, (Vec3{0, 0, 1000}));
  keyDown(game, GameKey::space);  // an auto-repeat while the ball rolls
  EXPECT_EQ(game.world.balls[cueBallSlot].velocity, (Vec3{0, 0, 1000}));

  game.camera.forward = Vec3{1, 2, 3};
  keyDown(game, GameKey::r);
  EXPECT_EQ(game.camera.forward, (Vec3{0, 0, -100}));
  keyDown(game, GameKey::keypad2);
  EXPECT_EQ(game.camera.eye, (Vec3{0, 0, 400}));
}

}  // namespace
}  // namespace morvane
