#include "game/input.h"

#include "rules/referee.h"

namespace morvane {
namespace {

// The held flag behind a key, or null for the one-shot keys and the keys that do nothing.
int32_t* heldFlag(Game& game, GameKey key) {
  CameraKeys& c = game.cameraKeys;
  AimKeys& a = game.aimKeys;
  switch (key) {
    case GameKey::keypad5: return &c.moveBackHeld;
    case GameKey::enter: return &c.moveDownHeld;
    case GameKey::keypad9: return &c.turnUpHeld;
    case GameKey::keypad3: return &c.turnRightHeld;
    case GameKey::keypad1: return &c.turnLeftHeld;
    case GameKey::keypad7: return &c.turnDownHeld;
    case GameKey::keypad4: return &c.moveLeftHeld;
    case GameKey::keypad8: return &c.moveForwardHeld;
    case GameKey::keypad6: return &c.moveRightHeld;
    case GameKey::keypad0: return &c.rollLeftHeld;
    case GameKey::keypadPoint: return &c.rollRightHeld;
    case GameKey::keypadPlus: return &c.moveUpHeld;
    case GameKey::a: return &a.aimSwingPosHeld;
    case GameKey::d: return &a.aimSwingNegHeld;
    case GameKey::e: return &a.strengthDownHeld;
    case GameKey::q: return &a.strengthUpHeld;
    case GameKey::s: return &a.aimTiltPosHeld;
    case GameKey::w: return &a.aimTiltNegHeld;
    case GameKey::f1: return &game.helpVisible;
    default: return nullptr;
  }
}

}  // namespace

void keyDown(Game& game, GameKey key) {
  switch (key) {
    case GameKey::space:
      // The pending shot belongs to the computer: its cue fires it once the view has turned.
      // Striking here would play it early and let it fire a second time, in the next turn.
      if (game.match.computerShotPending == 0) strikeCueBall(game.world, game.match, game.cue, *game.sounds);
      return;
    case GameKey::keypad2:
      moveCameraToCueBall(game.camera, game.world);
      return;
    case GameKey::r:
      resetCameraOrientation(game.camera);
      return;
    default:
      break;
  }
  if (int32_t* flag = heldFlag(game, key)) *flag = 1;
}

void keyUp(Game& game, GameKey key) {
  if (int32_t* flag = heldFlag(game, key)) *flag = 0;
}

void mouseButtonDown(Game& game, MouseButton button) {
  if (button == MouseButton::left) {
    if (!placeCueBallAtEye(game.world, game.match, game.camera)) game.aimKeys.strengthUpHeld = 1;
  } else if (button == MouseButton::right) {
    game.aimKeys.strengthDownHeld = 1;
  }
}

void mouseButtonUp(Game& game, MouseButton button) {
  if (button == MouseButton::left) game.aimKeys.strengthUpHeld = 0;
  if (button == MouseButton::right) game.aimKeys.strengthDownHeld = 0;
}

bool mouseMoved(Game& game, const MouseMotion& motion, int clientWidth, int clientHeight) {
  if (game.match.computerShotPending != 0) return false;
  const bool warp = mouseLook(game.camera, game.mouseMoveCount, motion.x, motion.y, clientWidth, clientHeight,
                              game.match);
  if (motion.ctrl && !motion.shift && !motion.anyButton) {
    aimCueFromCamera(game.camera, game.cue, game.world, game.match, game.settings);
  }
  return warp;
}

}  // namespace morvane
