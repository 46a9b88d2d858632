#include "camera/camera.h"

#include "math/rotation.h"

namespace morvane {
namespace {

constexpr float moveFraction = 0.1f;
constexpr float turnAngle = 0.03f;  // about 1.7 degrees through the tables

// Both vectors are turned about the same axis value, taken before either turns.
void turnPair(Vec3 axis, Vec3& first, Vec3& second, float angle) {
  rotateAboutAxis(axis, first, angle);
  rotateAboutAxis(axis, second, angle);
}

}  // namespace

void applyCameraKeys(Camera& camera, const CameraKeys& keys, const MatchState& match) {
  if (match.computerShotPending != 0) return;

  const Camera start = camera;
  if (keys.moveLeftHeld) camera.eye -= moveFraction * start.right;
  if (keys.moveRightHeld) camera.eye += moveFraction * start.right;
  if (keys.moveForwardHeld) camera.eye += moveFraction * start.forward;
  if (keys.moveBackHeld) camera.eye -= moveFraction * start.forward;
  if (keys.moveUpHeld) camera.eye += moveFraction * start.up;
  if (keys.moveDownHeld) camera.eye -= moveFraction * start.up;

  if (keys.turnLeftHeld) turnPair(camera.up, camera.forward, camera.right, -turnAngle);
  if (keys.turnRightHeld) turnPair(camera.up, camera.forward, camera.right, turnAngle);
  if (keys.turnUpHeld) turnPair(camera.right, camera.forward, camera.up, -turnAngle);
  if (keys.turnDownHeld) turnPair(camera.right, camera.forward, camera.up, turnAngle);
  if (keys.rollLeftHeld) turnPair(camera.forward, camera.up, camera.right, turnAngle);
  if (keys.rollRightHeld) turnPair(camera.forward, camera.up, camera.right, -turnAngle);
}

bool mouseLook(Camera& camera, float& mouseMoveCount, int x, int y, int clientWidth, int clientHeight,
               const MatchState& match) {
  if (match.computerShotPending != 0) return false;
  mouseMoveCount += 1.0f;
  if (mouseMoveCount < 3.0f) return false;
  mouseMoveCount = 0.0f;

  // Client coordinates arrive as unsigned 16-bit values.
  const int px = static_cast<uint16_t>(x);
  const int py = static_cast<uint16_t>(y);
  const int halfWidth = clientWidth / 2;
  const int halfHeight = clientHeight / 2;

  const float yaw = static_cast<float>((px - halfWidth) * 0.03 * 0.03);
  turnPair(camera.up, camera.forward, camera.right, yaw);
  const float pitch = static_cast<float>((py - halfHeight) * 0.0009);
  turnPair(camera.right, camera.forward, camera.up, pitch);
  return true;
}

void resetCameraOrientation(Camera& camera) {
  camera.forward = Vec3{0.0f, 0.0f, -100.0f};
  camera.right = Vec3{100.0f, 0.0f, 0.0f};
  camera.up = Vec3{0.0f, 100.0f, 0.0f};
}

void moveCameraToCueBall(Camera& camera, const World& world) {
  const Ball& cueBall = world.balls[cueBallSlot];
  if (cueBall.active != 0) camera.eye = cueBall.position;
}

}  // namespace morvane
