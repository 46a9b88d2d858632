#include "camera/cue.h"

#include <cmath>

#include "math/rotation.h"
#include "rules/referee.h"

namespace morvane {
namespace {

constexpr float aimAngle = 0.01f;
constexpr float computerAimStepAngle = 0.015f;  // falls on the 0.8 degree table entry
constexpr float alignedCosine = 0.9999f;    // about 0.81 degrees

void swing(CueState& cue, float angle) {
  rotate2D(cue.aimSideAxis.x, cue.aimSideAxis.z, cue.aimSideAxis.x, cue.aimSideAxis.z, angle);
  rotate2D(cue.cueDirection.x, cue.cueDirection.z, cue.cueDirection.x, cue.cueDirection.z, angle);
}

float viewCosine(const Camera& camera, const Vec3& direction) {
  return dot(camera.forward, direction) / (length(direction) * length(camera.forward));
}

// The table's sine and cosine of one angle do not quite keep lengths, so every turn scales the
// axes it moves a little and skews those that are no longer of one length. Over the thousands
// of turns of a long match between computers the frame shrank towards zero and skewed until
// the turn towards the aim could no longer reach it, and the shot never came. The computer
// therefore turns a square frame: forward, right and up perpendicular, each 100 long, pointing
// where they pointed. A frame too far gone to square is reset as R resets it.
void squareFrame(Camera& camera) {
  const float frameLength = 100.0f;
  const Vec3 f = camera.forward / length(camera.forward);
  Vec3 r = camera.right - f * dot(camera.right, f);
  r = r / length(r);
  Vec3 u = camera.up - f * dot(camera.up, f) - r * dot(camera.up, r);
  u = u / length(u);
  const float check = f.x + f.y + f.z + r.x + r.y + r.z + u.x + u.y + u.z;
  if (!std::isfinite(check)) {
    resetCameraOrientation(camera);
    return;
  }
  camera.forward = f * frameLength;
  camera.right = r * frameLength;
  camera.up = u * frameLength;
}

}  // namespace

void applyAimKeys(CueState& cue, const AimKeys& keys) {
  if (keys.aimTiltNegHeld) rotateAboutAxis(cue.aimSideAxis, cue.cueDirection, -aimAngle);
  if (keys.aimTiltPosHeld) rotateAboutAxis(cue.aimSideAxis, cue.cueDirection, aimAngle);
  if (keys.aimSwingPosHeld) swing(cue, aimAngle);
  if (keys.aimSwingNegHeld) swing(cue, -aimAngle);
  if (keys.strengthUpHeld) cue.shotStrength += 1.0f;
  if (keys.strengthDownHeld) cue.shotStrength -= 1.0f;
  if (cue.shotStrength < 0.0f) cue.shotStrength = 0.0f;
  if (cue.shotStrength > maxShotStrength) cue.shotStrength = maxShotStrength;
}

void aimCueFromCamera(Camera& camera, CueState& cue, const World& world, const MatchState& match,
                      const MatchSettings& settings) {
  if (computerToMove(match, settings)) return;
  cue.cueDirection = camera.forward;
  // Read whether or not the slot is active: with the ball in hand the camera orbits the spot
  // where the cue ball last was (the origin before it was ever placed).
  Vec3 cueBall;
  world.balls[cueBallSlot].getState(&cueBall, nullptr, nullptr);
  const float distance = length(camera.eye - cueBall);
  camera.eye = cueBall - cue.cueDirection * (distance / length(cue.cueDirection));
}

bool placeCueBallAtEye(World& world, MatchState& match, const Camera& camera) {
  if (match.ballInHand == 0 || !allBallsAtRest(world)) return false;
  if (!cueBallPlacementOk(world, camera.eye)) return true;
  world.balls[cueBallSlot].init(camera.eye, Vec3{}, colourCueBall);
  match.ballInHand = 0;
  return true;
}

bool computerAimStep(Camera& camera, const CueState& cue, const MatchState& match, FrameTimer& aimTimer,
                     uint32_t nowMs) {
  if (match.computerShotPending == 0) return false;
  const Vec3 d = cue.cueDirection;
  if (viewCosine(camera, d) > alignedCosine) return aimTimer.hasElapsed(nowMs);

  squareFrame(camera);
  // d in the camera frame: x along up, y along right.
  const Vec3 u = camera.up, r = camera.right, f = camera.forward;
  const float rows[12] = {u.x, r.x, f.x, -d.x, u.y, r.y, f.y, -d.y, u.z, r.z, f.z, -d.z};
  float x = 0.0f, y = 0.0f, z = 0.0f;
  // A singular frame cannot happen near the start shape; if it ever does, skip this tick.
  if (!solveLinear3(rows, x, y, z)) return false;

  rotateAboutAxis(camera.right, camera.forward, x > 0.0f ? -computerAimStepAngle : computerAimStepAngle);
  rotateAboutAxis(camera.right, camera.up, x > 0.0f ? -computerAimStepAngle : computerAimStepAngle);
  rotateAboutAxis(camera.up, camera.forward, y > 0.0f ? computerAimStepAngle : -computerAimStepAngle);
  rotateAboutAxis(camera.up, camera.right, y > 0.0f ? computerAimStepAngle : -computerAimStepAngle);

  if (viewCosine(camera, d) > alignedCosine) {
    aimTimer.restart(nowMs, computerAimPauseMs);
    const float lengthD = length(d);
    const float pitch = static_cast<float>(-std::atan(static_cast<double>(x / lengthD)));
    const float yaw = static_cast<float>(std::atan(static_cast<double>(y / lengthD)));
    rotateAboutAxis(camera.right, camera.forward, pitch);
    rotateAboutAxis(camera.right, camera.up, pitch);
    rotateAboutAxis(camera.up, camera.forward, yaw);
    rotateAboutAxis(camera.up, camera.right, yaw);
  }
  return false;
}

}  // namespace morvane
