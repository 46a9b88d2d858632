#include "reference/world_passes.h"

namespace morvane {

void stepOneBall(Ball& ball, float arenaHalfSize, SoundSink& sounds) {
  if (ball.active == 0) return;
  Vec3 v = ball.velocity;
  const Vec3 p = ball.position + v / stepDivisor;
  ball.position = p;
  // On each axis the low wall, then the high wall with the velocity the low wall left.
  bool hit = false;
  for (float Vec3::*axis : {&Vec3::x, &Vec3::y, &Vec3::z}) {
    if (p.*axis - ballRadius <= -arenaHalfSize && v.*axis < 0.0f) {
      v.*axis = -(v.*axis);
      hit = true;
    }
    if (p.*axis + ballRadius >= arenaHalfSize && v.*axis > 0.0f) {
      v.*axis = -(v.*axis);
      hit = true;
    }
  }
  if (hit) sounds.play(SoundId::wall);
  const float speed = length(v);
  if (speed < stopSpeed) {
    ball.velocity = Vec3{0.0f, 0.0f, 0.0f};
    return;
  }
  const float k = 5000.0f / speed;
  ball.velocity = v - v * k / stepDivisor;
}

void moveBallsOneByOne(World& world, SoundSink& sounds) {
  for (Ball& ball : world.balls) stepOneBall(ball, world.arenaHalfSize, sounds);
}

void collideBallsAllPairs(World& world, FirstTouch touch, SoundSink& sounds) {
  BallTable& balls = world.balls;
  for (int i = 0; i < ballCount - 1; ++i) {
    if (balls[i].active == 0) continue;
    for (int j = i + 1; j < ballCount; ++j) {
      if (balls[j].active == 0) continue;
      if (!(length(balls[j].position - balls[i].position) < contactDistance)) continue;
      collideTouchingPair(balls[i], balls[j], touch, sounds);
    }
  }
}

void pocketBallsEveryPocket(World& world, PocketListener& listener, SoundSink& sounds) {
  for (const Pocket& pocket : world.pockets) {
    if (pocket.active == 0) continue;
    for (Ball& ball : world.balls) {
      if (ball.active == 0) continue;
      if (!pocket.contains(ball.position)) continue;
      listener.ballPocketed(ball);
      sounds.play(SoundId::pocket);
    }
  }
}

}  // namespace morvane
