#include <cmath>

#include "world/lanes.h"
#include "world/world.h"

namespace morvane {

namespace {

static_assert(ballCount % lanes == 0);

// One component of one vector of four balls, a ball per lane.
F4 across(Ball* const (&b)[lanes], Vec3 Ball::*vector, float Vec3::*component) {
  return F4{(b[0]->*vector).*component, (b[1]->*vector).*component, (b[2]->*vector).*component,
            (b[3]->*vector).*component};
}

// Each lane's square root taken in double and rounded to float, as length() does: two lanes
// at a time where the double-precision vector root exists.
F4 roots(F4 sums) {
#if defined(__SSE2__)
  using F2 = float __attribute__((vector_size(8)));
  using D2 = double __attribute__((vector_size(16)));
  const F2 low = __builtin_convertvector(__builtin_ia32_sqrtpd(__builtin_convertvector(F2{sums[0], sums[1]}, D2)), F2);
  const F2 high = __builtin_convertvector(__builtin_ia32_sqrtpd(__builtin_convertvector(F2{sums[2], sums[3]}, D2)), F2);
  return F4{low[0], low[1], high[0], high[1]};
#else
  F4 r;
  for (int l = 0; l < lanes; ++l) r[l] = static_cast<float>(std::sqrt(static_cast<double>(sums[l])));
  return r;
#endif
}

// The step of four balls, one per lane, each component with the float operations of the scalar
// step in the same order: p += v / 500; on each axis the low wall, then the high wall with the
// velocity the low wall left (the position is never pulled back: a ball may stand past its
// contact position while the reflected velocity carries it inside); then the speed (the sum of
// squares as (x*x + y*y) + z*z, its root in double) is cut by 5000/500 = 10, or to rest below
// 10. Inactive lanes are left as they are; the wall clicks are played in lane order.
void moveFour(Ball* const (&b)[lanes], float h, SoundSink& sounds) {
  const I4 active = I4{b[0]->active, b[1]->active, b[2]->active, b[3]->active} != 0;
  if ((active[0] | active[1] | active[2] | active[3]) == 0) return;
  F4 p[3] = {across(b, &Ball::position, &Vec3::x), across(b, &Ball::position, &Vec3::y),
             across(b, &Ball::position, &Vec3::z)};
  F4 v[3] = {across(b, &Ball::velocity, &Vec3::x), across(b, &Ball::velocity, &Vec3::y),
             across(b, &Ball::velocity, &Vec3::z)};
  I4 hit{};
  for (int a = 0; a < 3; ++a) {
    p[a] = p[a] + v[a] / stepDivisor;
    const I4 low = (p[a] - ballRadius <= -h) & (v[a] < 0.0f);
    v[a] = low ? -v[a] : v[a];
    const I4 high = (p[a] + ballRadius >= h) & (v[a] > 0.0f);
    v[a] = high ? -v[a] : v[a];
    hit |= low | high;
  }
  const F4 sum = v[0] * v[0] + v[1] * v[1] + v[2] * v[2];
  const F4 speed = roots(sum);
  const I4 stopped = speed < stopSpeed;
  const F4 k = 5000.0f / speed;  // unused where stopped (speed may be 0 there)
  for (int a = 0; a < 3; ++a) v[a] = stopped ? F4{} : v[a] - v[a] * k / stepDivisor;
  hit &= active;
  for (int l = 0; l < lanes; ++l) {
    if (active[l] == 0) continue;
    b[l]->position = Vec3{p[0][l], p[1][l], p[2][l]};
    b[l]->velocity = Vec3{v[0][l], v[1][l], v[2][l]};
    if (hit[l] != 0) sounds.play(SoundId::wall);
  }
}

}  // namespace

void moveBalls(World& world, BallSelection which, SoundSink& sounds) {
  BallTable& balls = world.balls;
  const float h = world.arenaHalfSize;
  if (which.everySlot) {
    for (int s = 0; s < ballCount; s += lanes) {
      Ball* const four[lanes] = {&balls[s], &balls[s + 1], &balls[s + 2], &balls[s + 3]};
      moveFour(four, h, sounds);
    }
    return;
  }
  // A short last group is filled up with an inactive ball, which the step leaves alone.
  Ball idle{};
  const std::span<const int16_t> slots = which.listed;
  const size_t n = slots.size();
  for (size_t k = 0; k < n; k += lanes) {
    Ball* const four[lanes] = {&balls[slots[k]], k + 1 < n ? &balls[slots[k + 1]] : &idle,
                               k + 2 < n ? &balls[slots[k + 2]] : &idle, k + 3 < n ? &balls[slots[k + 3]] : &idle};
    moveFour(four, h, sounds);
  }
}

bool allBallsAtRest(const World& world) {
  for (const Ball& ball : world.balls) {
    if (!ball.isAtRest()) return false;
  }
  return true;
}

}  // namespace morvane
