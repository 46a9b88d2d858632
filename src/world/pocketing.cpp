#include <algorithm>
#include <bit>

#include "world/lanes.h"
#include "world/world.h"

namespace morvane {

namespace {

// A fall is encoded as pocket << 10 | slot, so that sorting the falls puts them in the order
// of the straightforward pass: pocket by pocket, each pocket's balls in slot order.
constexpr int fallShift = 10;
constexpr int32_t fallOf(int pocket, int slot) { return pocket << fallShift | slot; }
constexpr int slotOfFall(int32_t fall) { return fall & ((1 << fallShift) - 1); }
static_assert(ballCount <= 1 << fallShift);

constexpr int32_t binLimit = 1 << 20;  // far-away or non-finite coordinates are clamped

// The 80-unit bins of four coordinates: floor(c / 80) computed with a multiplication by a
// rounded 1/80, clamped, NaN to the low end. A bin never decreases as the coordinate grows,
// which is all that matters: a range [a, b] lies in the bins of a to the bins of b.
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

// One component of four consecutive balls' positions, a ball per lane.
F4 positionsAcross(const Ball* b, float Vec3::*component) {
  return F4{b[0].position.*component, b[1].position.*component, b[2].position.*component,
            b[3].position.*component};
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

// Each ball finds the lowest pocket that holds it; the falls are then handed over in the
// straightforward pass's order (the listener takes each ball off the table at once, so in that
// pass too a ball falls only into the lowest pocket that holds it).
void pocketBalls(World& world, const PocketFinder& finder, BallSelection which, PocketListener& listener,
                 SoundSink& sounds) {
  if (!finder.anyPocket()) return;
  int32_t falls[ballCount];
  int fallCount = 0;
  if (which.everySlot()) {
    // Four slots at a time: their bins on each axis in one go, and the exact test only for a
    // ball that some pocket's bins reach (most balls are in none).
    for (int s = 0; s < ballCount; s += lanes) {
      const Ball* b = &world.balls[s];
      if ((b[0].active | b[1].active | b[2].active | b[3].active) == 0) continue;
      const I4 bx = binsOf(positionsAcross(b, &Vec3::x));
      const I4 by = binsOf(positionsAcross(b, &Vec3::y));
      const I4 bz = binsOf(positionsAcross(b, &Vec3::z));
      for (int l = 0; l < lanes; ++l) {
        if (b[l].active == 0 || finder.candidates(bx[l], by[l], bz[l]) == 0) continue;
        const int p = finder.lowestHolding(b[l].position);
        if (p >= 0) falls[fallCount++] = fallOf(p, s + l);
      }
    }
  } else {
    for (const int16_t s : which.listed()) {
      if (world.balls[s].active == 0) continue;
      const int p = finder.lowestHolding(world.balls[s].position);
      if (p >= 0) falls[fallCount++] = fallOf(p, s);
    }
  }
  std::sort(falls, falls + fallCount);
  for (int k = 0; k < fallCount; ++k) {
    listener.ballPocketed(world.balls[slotOfFall(falls[k])]);
    sounds.play(SoundId::pocket);
  }
}

}  // namespace morvane
