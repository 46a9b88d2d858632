#include "reference/world_passes.h"

namespace morvane {

void moveBallsOneByOne(World& world, SoundSink& sounds) {
  for (Ball& ball : world.balls) ball.step(world.arenaHalfSize, sounds);
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
