#include "world/world.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
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

namespace {

constexpr int eventShift = 10;  // a fall is pocket << 10 | slot
constexpr int32_t binLimit = 1 << 20;  // far-away or non-finite coordinates are clamped

using F4 = float __attribute__((vector_size(16)));
using I4 = int32_t __attribute__((vector_size(16)));

// The 80-unit bins of the three coordinates (and of a fourth, unused): floor(c / 80) computed
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
  for (int s = 0; s < ballCount; ++s) {
    const Ball& ball = world.balls[s];
    if (ball.active == 0) continue;
    const int p = finder.lowestHolding(ball.position);
    if (p >= 0) falls[fallCount++] = p << eventShift | s;
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
