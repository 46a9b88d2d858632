#include "world/ball.h"

#include <cmath>

namespace morvane {

void Ball::init(Vec3 newPosition, Vec3 newVelocity, BallColour newColour) {
  position = newPosition;
  velocity = newVelocity;
  colour = newColour;
  active = 1;
}

void Ball::getState(Vec3* outPosition, Vec3* outVelocity, BallColour* outColour) const {
  if (outPosition) *outPosition = position;
  if (outVelocity) *outVelocity = velocity;
  if (outColour) *outColour = colour;
}

namespace {

// The position is never pulled back: a ball may stand past its contact position while the
// reflected velocity carries it inside. A component already pointing inward is left alone.
bool bounce(float position, float& velocity, float h) {
  bool hit = false;
  if (position - ballRadius <= -h && velocity < 0.0f) {
    velocity = -velocity;
    hit = true;
  }
  if (position + ballRadius >= h && velocity > 0.0f) {
    velocity = -velocity;
    hit = true;
  }
  return hit;
}

}  // namespace

void Ball::step(float arenaHalfSize, SoundSink& sounds) {
  if (active == 0) return;
  position += velocity / stepDivisor;

  bool wallHit = bounce(position.x, velocity.x, arenaHalfSize);
  wallHit |= bounce(position.y, velocity.y, arenaHalfSize);
  wallHit |= bounce(position.z, velocity.z, arenaHalfSize);
  if (wallHit) sounds.play(SoundId::wall);

  // Constant deceleration: 5000/s scaled down by 500 takes exactly 10 off the speed.
  const float speed = length(velocity);
  if (speed < stopSpeed) {
    velocity = Vec3{0.0f, 0.0f, 0.0f};
    return;
  }
  const float k = 5000.0f / speed;
  Vec3 w = velocity * k;
  w = w / stepDivisor;
  velocity = velocity - w;
}

bool Pocket::place(Vec3 newCentre, const BallTable& balls) {
  centre = newCentre;
  active = 0;
  for (const Ball& ball : balls) {
    if (ball.active == 0) continue;
    if (contains(ball.position)) return false;
  }
  active = 1;
  return true;
}

bool Pocket::contains(Vec3 point) const {
  return std::fabs(point.x - centre.x) < pocketHalfSize && std::fabs(point.y - centre.y) < pocketHalfSize &&
         std::fabs(point.z - centre.z) < pocketHalfSize;
}

}  // namespace morvane
