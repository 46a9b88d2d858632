#include "world/world.h"

#include "world/collision_engine.h"

namespace morvane {
namespace {

constexpr float softClickImpact = 50.0f;
constexpr float hardClickImpact = 1000.0f;

}  // namespace

void collideTouchingPair(Ball& a, Ball& b, FirstTouch& touch, SoundSink& sounds) {
  // Recorded for every pair in contact, approaching or not: the lower slot decides.
  if (touch.cueBallTouched == 0 && (a.colour == colourCueBall || b.colour == colourCueBall)) {
    touch.cueBallTouched = 1;
    const BallColour touched = a.colour == colourCueBall ? b.colour : a.colour;
    if (touched != touch.targetColour) touch.foulCommitted = 1;
  }

  const Vec3 p1 = a.position, v1 = a.velocity;
  const Vec3 p2 = b.position, v2 = b.velocity;
  // In the frame of the pair's centre of mass (equal masses).
  const Vec3 mean = (v1 + v2) / 2.0f;
  const Vec3 u1 = v1 - mean;
  const Vec3 u2 = v2 - mean;
  const Vec3 n12 = p2 - p1;
  const Vec3 n21 = p1 - p2;
  const float lu1 = length(u1), lu2 = length(u2);
  const float ln12 = length(n12), ln21 = length(n21);
  const float d1 = lu1 * ln12;
  const float d2 = lu2 * ln21;
  const float c1 = d1 != 0.0f ? dot(u1, n12) / d1 : 0.0f;
  const float c2 = d2 != 0.0f ? dot(u2, n21) / d2 : 0.0f;
  const float impactSpeed = lu1 * c1 + lu2 * c2;
  if (!(impactSpeed > 0.0f)) return;  // not approaching (or coincident centres)

  a.addVelocity((impactSpeed / ln21) * n21);
  b.addVelocity((impactSpeed / ln12) * n12);

  if (impactSpeed > hardClickImpact) {
    sounds.play(SoundId::hardClick);
  } else if (impactSpeed > softClickImpact) {
    sounds.play(SoundId::softClick);
  }
}

void collideBalls(World& world, CollisionEngine& engine, FirstTouch touch, SoundSink& sounds) {
  engine.grid().rebuild(world.balls);  // every ball may have moved
  int16_t candidates[ballCount];
  int count = 0;
  for (int s = 0; s < ballCount; ++s) {
    if (world.balls[s].active != 0) candidates[count++] = static_cast<int16_t>(s);
  }
  engine.resolve(world.balls, std::span<const int16_t>(candidates, static_cast<size_t>(count)), touch, sounds);
}

}  // namespace morvane
