#include <atomic>
#include <cmath>

#include "world/lanes.h"
#include "world/world.h"

namespace morvane {

namespace {

static_assert(ballCount % lanes == 0);

// One component of one vector of four consecutive balls, a ball per lane.
F4 across(const Ball* b, Vec3 Ball::*vector, float Vec3::*component) {
  return F4{(b[0].*vector).*component, (b[1].*vector).*component, (b[2].*vector).*component,
            (b[3].*vector).*component};
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

// The motion step's arithmetic, written once for two layouts of the lanes:
//  - FourBalls: p[a] and v[a] hold component a of four balls, a ball per lane (the whole table);
//  - OneBall: p[0] and v[0] hold the x, y, z of one ball in lanes 0 to 2 (a trial's few movers).
// Each component gets the float operations of the scalar step in the same order: p += v / 500;
// on each axis the low wall, then the high wall with the velocity the low wall left (the
// position is never pulled back: a ball may stand past its contact position while the reflected
// velocity carries it inside); then the speed (the sum of squares as (x*x + y*y) + z*z, its
// root in double) is cut by 5000/500 = 10, or to rest below 10. So either layout leaves a ball
// exactly as the other. Returns the lanes that met a wall.
struct FourBalls {
  static constexpr int axes = 3;
  static F4 speed(const F4 (&v)[axes]) { return roots(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]); }
};
struct OneBall {
  static constexpr int axes = 1;
  static F4 speed(const F4 (&v)[axes]) { return length(v[0][0], v[0][1], v[0][2]) - F4{}; }
};

template <class Layout>
I4 stepLanes(F4 (&p)[Layout::axes], F4 (&v)[Layout::axes], float h) {
  I4 hit{};
  for (int a = 0; a < Layout::axes; ++a) {
    p[a] = p[a] + v[a] / stepDivisor;
    const I4 low = (p[a] - ballRadius <= -h) & (v[a] < 0.0f);
    v[a] = low ? -v[a] : v[a];
    const I4 high = (p[a] + ballRadius >= h) & (v[a] > 0.0f);
    v[a] = high ? -v[a] : v[a];
    hit |= low | high;
  }
  const F4 speed = Layout::speed(v);
  const I4 stopped = speed < stopSpeed;
  const F4 k = 5000.0f / speed;  // unused where stopped (speed may be 0 there)
  for (int a = 0; a < Layout::axes; ++a) v[a] = stopped ? F4{} : v[a] - v[a] * k / stepDivisor;
  return hit;
}

// Four consecutive slots, one per lane. Inactive lanes are left as they are; the wall clicks
// are played in slot order.
void moveFour(Ball* b, float h, SoundSink& sounds) {
  const I4 active = I4{b[0].active, b[1].active, b[2].active, b[3].active} != 0;
  if ((active[0] | active[1] | active[2] | active[3]) == 0) return;
  F4 p[3] = {across(b, &Ball::position, &Vec3::x), across(b, &Ball::position, &Vec3::y),
             across(b, &Ball::position, &Vec3::z)};
  F4 v[3] = {across(b, &Ball::velocity, &Vec3::x), across(b, &Ball::velocity, &Vec3::y),
             across(b, &Ball::velocity, &Vec3::z)};
  const I4 hit = stepLanes<FourBalls>(p, v, h) & active;
  for (int l = 0; l < lanes; ++l) {
    if (active[l] == 0) continue;
    b[l].position = Vec3{p[0][l], p[1][l], p[2][l]};
    b[l].velocity = Vec3{v[0][l], v[1][l], v[2][l]};
    if (hit[l] != 0) sounds.play(SoundId::wall);
  }
}

// One ball, its components in the lanes (the fourth lane 0, unused): one click at most.
void moveOne(Ball& b, float h, SoundSink& sounds) {
  if (b.active == 0) return;
  F4 p[1] = {F4{b.position.x, b.position.y, b.position.z, 0.0f}};
  F4 v[1] = {F4{b.velocity.x, b.velocity.y, b.velocity.z, 0.0f}};
  const I4 hit = stepLanes<OneBall>(p, v, h);
  b.position = Vec3{p[0][0], p[0][1], p[0][2]};
  // Kept as a store of its own: merged with the velocity's, the next step's load of the
  // velocity straddles two stores, store forwarding fails, and a trial that rolls one ball
  // runs at half speed.
  std::atomic_signal_fence(std::memory_order_seq_cst);
  b.velocity = Vec3{v[0][0], v[0][1], v[0][2]};
  if ((hit[0] | hit[1] | hit[2]) != 0) sounds.play(SoundId::wall);
}

}  // namespace

void moveBalls(World& world, BallSelection which, SoundSink& sounds) {
  BallTable& balls = world.balls;
  const float h = world.arenaHalfSize;
  if (which.everySlot()) {
    for (int s = 0; s < ballCount; s += lanes) moveFour(&balls[s], h, sounds);
  } else {
    for (const int16_t s : which.listed()) moveOne(balls[s], h, sounds);
  }
}

bool allBallsAtRest(const World& world) {
  for (const Ball& ball : world.balls) {
    if (!ball.isAtRest()) return false;
  }
  return true;
}

}  // namespace morvane
