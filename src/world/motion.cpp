#include "world/world.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstring>

namespace morvane {

namespace {

using F4 = float __attribute__((vector_size(16)));
using I4 = int32_t __attribute__((vector_size(16)));

constexpr int lanes = 4;
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

}  // namespace

// Ball::step on four slots at once, one slot per lane: the same float operations in the same
// order on each component (the sum of squares as (x*x + y*y) + z*z, its root in double), so each
// lane rounds exactly as the one-ball step does. Inactive slots are left as they are, and the
// wall clicks are played in slot order.
void moveAllBalls(World& world, SoundSink& sounds) {
  const float h = world.arenaHalfSize;
  for (int s = 0; s < ballCount; s += lanes) {
    Ball* b = &world.balls[s];
    const I4 active = I4{b[0].active, b[1].active, b[2].active, b[3].active} != 0;
    if ((active[0] | active[1] | active[2] | active[3]) == 0) continue;
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
      b[l].position = Vec3{p[0][l], p[1][l], p[2][l]};
      b[l].velocity = Vec3{v[0][l], v[1][l], v[2][l]};
      if (hit[l] != 0) sounds.play(SoundId::wall);
    }
  }
}

bool allBallsAtRest(const World& world) {
  for (const Ball& ball : world.balls) {
    if (!ball.isAtRest()) return false;
  }
  return true;
}

namespace {

constexpr int eventShift = 10;  // a fall is pocket << 10 | slot
constexpr int32_t binLimit = 1 << 20;  // far-away or non-finite coordinates are clamped

// The 80-unit bins of four coordinates: floor(c / 80) computed
// with a multiplication by a rounded 1/80, clamped, NaN to the low end. A bin never decreases
// as the coordinate grows, which is all that matters: a range [a, b] lies in the bins of a to
// the bins of b.
I4 binsOf(F4 c) {
  const float limit = binLimit;
  F4 b = c * (1.0f / 80.0f);
  b = b > -limit ? b : -limit - F4{};
  b = b < limit ? b : limit - F4{};
  const I4 t = __builtin_convertvector(b, I4);  // towards zero
  return t + (__builtin_convertvector(t, F4) > b);  // minus 1 where that rounded up
}

int32_t binOf(float coordinate) { return binsOf(F4{coordinate, 0.0f, 0.0f, 0.0f})[0]; }

void addToBins(std::array<uint32_t, PocketFinder::binCount>& bins, float centre, uint32_t bit) {
  // |point - centre| < 40 in float means point lies within [fl(centre - 40), fl(centre + 40)].
  const int32_t first = binOf(centre - pocketHalfSize), last = binOf(centre + pocketHalfSize);
  if (last - first >= PocketFinder::binCount - 1) {
    for (uint32_t& mask : bins) mask |= bit;
    return;
  }
  for (int32_t b = first; b <= last; ++b) bins[static_cast<uint32_t>(b) % PocketFinder::binCount] |= bit;
}

}  // namespace

PocketFinder::PocketFinder(const PocketTable& pockets) : pockets_(pockets) {
  for (int p = 0; p < pocketCount; ++p) {
    if (pockets[p].active == 0) continue;
    const uint32_t bit = 1u << p;
    addToBins(x_, pockets[p].centre.x, bit);
    addToBins(y_, pockets[p].centre.y, bit);
    addToBins(z_, pockets[p].centre.z, bit);
    any_ = true;
  }
}

int PocketFinder::lowestHolding(const Vec3& point) const {
  const I4 bins = binsOf(F4{point.x, point.y, point.z, 0.0f}) & (PocketFinder::binCount - 1);
  for (uint32_t candidates = x_[bins[0]] & y_[bins[1]] & z_[bins[2]]; candidates != 0; candidates &= candidates - 1) {
    const int p = std::countr_zero(candidates);
    if (pockets_[p].contains(point)) return p;
  }
  return -1;
}

// The reference visits pocket 0's balls in slot order, then pocket 1's, and so on; a ball falls
// into the lowest pocket that holds it, since the listener takes it off the table at once.
// Here each ball finds that pocket, and the falls are handed over in the same order.
void pocketBalls(World& world, PocketListener& listener, SoundSink& sounds) {
  const PocketFinder finder(world.pockets);
  if (!finder.anyPocket()) return;
  int32_t falls[ballCount];
  int fallCount = 0;
  // Four slots at a time: their bins on each axis in one go, and the exact test only for a
  // ball that some pocket's bins reach (most balls are in none).
  for (int s = 0; s < ballCount; s += lanes) {
    const Ball* b = &world.balls[s];
    if ((b[0].active | b[1].active | b[2].active | b[3].active) == 0) continue;
    const I4 bx = binsOf(across(b, &Ball::position, &Vec3::x));
    const I4 by = binsOf(across(b, &Ball::position, &Vec3::y));
    const I4 bz = binsOf(across(b, &Ball::position, &Vec3::z));
    for (int l = 0; l < lanes; ++l) {
      if (b[l].active == 0 || finder.candidates(bx[l], by[l], bz[l]) == 0) continue;
      const int p = finder.lowestHolding(b[l].position);
      if (p >= 0) falls[fallCount++] = p << eventShift | (s + l);
    }
  }
  std::sort(falls, falls + fallCount);
  for (int k = 0; k < fallCount; ++k) {
    listener.ballPocketed(world.balls[falls[k] & ((1 << eventShift) - 1)]);
    sounds.play(SoundId::pocket);
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
