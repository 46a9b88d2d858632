#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "game/computer_player.h"
#include "game/input.h"
#include "rules/match_settings.h"
#include "support/recording_sink.h"

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

// SPACE held through the computer's pending shot: the computer's cue alone strikes, once, after
// the view has turned and paused; the miss then hands the turn to the human, who has not shot.
// R and the held flags still act in that state.
TEST_F(Input, SpaceDuringAPendingComputerShotDoesNothing) {
  RecordingSink sink;
  game.sounds = &sink;
  game.settings.player2Computer = 1;
  game.world = World{};
  game.world.arenaHalfSize = 500.0f;
  game.world.balls[0].init(Vec3{45.0f, 0.0f, 0.0f}, Vec3{}, colourBlue);
  game.world.balls[cueBallSlot].init(Vec3{}, Vec3{}, colourCueBall);
  game.match.ballInHand = 0;
  game.match.currentPlayer = 1;
  game.match.targetColour = colourBlue;
  // Weak enough that the balls are at rest long before the view has turned a quarter turn and
  // paused for a second.
  game.cue.shotStrength = 5.0f;
  aimCue(game.cue, Vec3{1.0f, 0.0f, 0.0f});
  armComputerShot(game);

  Game other = game;
  other.camera.forward = Vec3{1, 2, 3};
  keyDown(other, GameKey::r);
  keyDown(other, GameKey::keypad8);
  EXPECT_EQ(std::pair(other.camera.forward, other.cameraKeys.moveForwardHeld), std::pair(Vec3{0, 0, -100}, 1));

  int ticksPending = 0;
  for (uint32_t tick = 1; tick <= 3000; ++tick) {
    if (game.match.computerShotPending != 0) {
      ++ticksPending;
      keyDown(game, GameKey::space);
    }
    gameTick(game, tick * 16);
  }
  EXPECT_GT(ticksPending, 64);  // the pause alone is 64 ticks
  EXPECT_EQ(sink.count(SoundId::shot), 1);
  EXPECT_EQ(std::tie(game.match.computerShotPending, game.match.shotInProgress, game.match.ballInHand),
            std::tuple(0, 0, 0));
  EXPECT_EQ(game.match.currentPlayer, 0);
  EXPECT_TRUE(allBallsAtRest(game.world));
  EXPECT_NE(game.world.balls[0].position.x, 45.0f);  // the computer's shot reached the blue
}

}  // namespace
}  // namespace morvane
