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

// The three components side by side (the fourth lane unused, always 0): every operation below
// is the one the component-wise arithmetic would do, on each component, with the same rounding.
using F4 = float __attribute__((vector_size(16)));
using I4 = int32_t __attribute__((vector_size(16)));

F4 lanesOf(const Vec3& v) { return F4{v.x, v.y, v.z, 0.0f}; }
Vec3 vecOf(const F4& f) { return Vec3{f[0], f[1], f[2]}; }

}  // namespace

void Ball::step(float arenaHalfSize, SoundSink& sounds) {
  if (active == 0) return;
  F4 v = lanesOf(velocity);
  const F4 p = lanesOf(position) + v / stepDivisor;
  position = vecOf(p);

  // On each axis the low wall, then the high wall with the velocity the low wall left. The
  // position is never pulled back: a ball may stand past its contact position while the
  // reflected velocity carries it inside; a component already pointing inward is left alone.
  const I4 low = (p - ballRadius <= -arenaHalfSize) & (v < 0.0f);
  v = low ? -v : v;
  const I4 high = (p + ballRadius >= arenaHalfSize) & (v > 0.0f);
  v = high ? -v : v;
  const I4 hit = low | high;
  if ((hit[0] | hit[1] | hit[2]) != 0) sounds.play(SoundId::wall);

  // Constant deceleration: 5000/s scaled down by 500 takes exactly 10 off the speed.
  const float speed = length(v[0], v[1], v[2]);
  if (speed < stopSpeed) {
    velocity = Vec3{0.0f, 0.0f, 0.0f};
    return;
  }
  const float k = 5000.0f / speed;
  const F4 w = v * k / stepDivisor;
  velocity = vecOf(v - w);
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
