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
