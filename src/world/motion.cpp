#include "world/world.h"

#include <cstring>

namespace morvane {

void moveAllBalls(World& world, SoundSink& sounds) {
  for (Ball& ball : world.balls) ball.step(world.arenaHalfSize, sounds);
}

bool allBallsAtRest(const World& world) {
  for (const Ball& ball : world.balls) {
    if (!ball.isAtRest()) return false;
  }
  return true;
}

void pocketBalls(World& world, PocketListener& listener, SoundSink& sounds) {
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

namespace {

struct Fnv {
  uint64_t h = 1469598103934665603ull;
  void bytes(const void* data, size_t n) {
    const auto* p = static_cast<const unsigned char*>(data);
    for (size_t i = 0; i < n; ++i) {
      h ^= p[i];
      h *= 1099511628211ull;
    }
  }
  void f(float v) {
    uint32_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    bytes(&bits, sizeof bits);
  }
  void i(int32_t v) { bytes(&v, sizeof v); }
  void v3(const Vec3& v) { f(v.x); f(v.y); f(v.z); }
};

}  // namespace

uint64_t worldHash(const World& world) {
  Fnv fnv;
  for (const Ball& b : world.balls) {
    fnv.v3(b.position);
    fnv.v3(b.velocity);
    fnv.i(b.active);
    fnv.i(b.colour);
  }
  for (const Pocket& p : world.pockets) {
    fnv.v3(p.centre);
    fnv.i(p.active);
  }
  fnv.f(world.arenaHalfSize);
  return fnv.h;
}

}  // namespace morvane
