#include "rules/chaotic_pockets.h"

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

#include "math/truncate.h"

namespace morvane {
namespace {

// Tries made one by one before the lattice is built (about 30 ms for 1000 balls): an arena with
// room finds it long before.
constexpr int plainTries = 256;
// The lattice is built up to this many points per axis (a bitmap of at most about 9 MB). Wider
// pocket ranges belong to arenas that always have room.
constexpr int64_t maxLatticeEdge = 400;

// The values randomCoordinate(random, h) can give: float(r) - h for r = 0 .. edge - 1, drawn
// exactly as randomCoordinate draws them.
struct Axis {
  explicit Axis(float halfWidth)
      : h(halfWidth), modulus(truncateToInt(static_cast<double>(2.0f * halfWidth))),
        edge(modulus == 0 ? 1 : std::llabs(static_cast<int64_t>(modulus))) {}

  int32_t draw(Random& random) const {
    if (modulus == 0) return 0;
    return static_cast<int32_t>(static_cast<int64_t>(random.next()) % static_cast<int64_t>(modulus));
  }
  float value(int32_t r) const { return static_cast<float>(r) - h; }

  float h;
  int32_t modulus;  // 0: no draw is made
  int64_t edge;
};

// The lattice points whose pocket would hold an active ball centre, one bit each; every (x, y)
// row starts a new word.
class BlockedPoints {
 public:
  BlockedPoints(const BallTable& balls, const Axis& axis)
      : edge_(static_cast<int32_t>(axis.edge)), words_((edge_ + 63) / 64),
        bits_(static_cast<size_t>(edge_) * static_cast<size_t>(edge_) * static_cast<size_t>(words_), 0) {
    for (const Ball& ball : balls) {
      if (ball.active == 0) continue;
      int32_t x0, x1, y0, y1, z0, z1;
      if (!reach(ball.position.x, axis, x0, x1) || !reach(ball.position.y, axis, y0, y1) ||
          !reach(ball.position.z, axis, z0, z1)) {
        continue;
      }
      for (int32_t x = x0; x <= x1; ++x) {
        for (int32_t y = y0; y <= y1; ++y) markRun(row(x, y), z0, z1);
      }
    }
    anyFree_ = findFree();
  }

  bool anyFree() const { return anyFree_; }

  bool isFree(int32_t x, int32_t y, int32_t z) const {
    return ((bits_[row(x, y) + static_cast<size_t>(z / 64)] >> (z % 64)) & 1u) == 0;
  }

 private:
  bool findFree() const {
    const uint64_t lastWord = edge_ % 64 == 0 ? ~uint64_t{0} : (uint64_t{1} << (edge_ % 64)) - 1;
    for (size_t r = 0; r < bits_.size(); r += static_cast<size_t>(words_)) {
      for (int32_t w = 0; w < words_; ++w) {
        const uint64_t valid = w == words_ - 1 ? lastWord : ~uint64_t{0};
        if ((~bits_[r + static_cast<size_t>(w)] & valid) != 0) return true;
      }
    }
    return false;
  }

  // The r whose pocket holds coordinate b on this axis, judged as Pocket::contains judges it:
  // |b - value(r)| < 40 in float. b - value(r) never grows with r, so they form one run.
  bool reach(float b, const Axis& axis, int32_t& first, int32_t& last) const {
    auto below = [&](int32_t r) {  // b - value(r) < 40 holds from some r on
      const float d = b - axis.value(r);
      return d < pocketHalfSize;
    };
    auto above = [&](int32_t r) {  // b - value(r) > -40 holds up to some r
      const float d = b - axis.value(r);
      return d > -pocketHalfSize;
    };
    int32_t lo = 0, hi = edge_;
    while (lo < hi) {
      const int32_t mid = lo + (hi - lo) / 2;
      if (below(mid)) hi = mid; else lo = mid + 1;
    }
    first = lo;
    lo = 0, hi = edge_;
    while (lo < hi) {
      const int32_t mid = lo + (hi - lo) / 2;
      if (above(mid)) lo = mid + 1; else hi = mid;
    }
    last = lo - 1;
    return first <= last;
  }

  size_t row(int32_t x, int32_t y) const {
    return (static_cast<size_t>(x) * static_cast<size_t>(edge_) + static_cast<size_t>(y)) *
           static_cast<size_t>(words_);
  }

  void markRun(size_t rowStart, int32_t z0, int32_t z1) {
    for (int32_t w = z0 / 64; w <= z1 / 64; ++w) {
      const int32_t from = w == z0 / 64 ? z0 % 64 : 0;
      const int32_t to = w == z1 / 64 ? z1 % 64 : 63;
      const uint64_t upTo = to == 63 ? ~uint64_t{0} : (uint64_t{1} << (to + 1)) - 1;
      bits_[rowStart + static_cast<size_t>(w)] |= upTo & ~((uint64_t{1} << from) - 1);
    }
  }

  int32_t edge_;
  int32_t words_;
  std::vector<uint64_t> bits_;
  bool anyFree_ = false;
};

Vec3 drawCentre(Random& random, float h) {
  Vec3 centre;
  centre.x = randomCoordinate(random, h);
  centre.y = randomCoordinate(random, h);
  centre.z = randomCoordinate(random, h);
  return centre;
}

}  // namespace

Random skipDraws(Random random, uint64_t draws) {
  // The recurrence s -> a s + c applied n times is s -> A s + C; A and C are built by squaring.
  uint32_t a = 214013u, c = 2531011u;
  uint32_t totalA = 1u, totalC = 0u;
  for (; draws != 0; draws >>= 1) {
    if ((draws & 1u) != 0) {
      totalA *= a;
      totalC = totalC * a + c;
    }
    c = c * a + c;
    a *= a;
  }
  return Random(totalA * random.state() + totalC);
}

void placeChaoticPockets(World& world, Random& random) {
  const Axis axis(world.arenaHalfSize - pocketHalfSize);
  const uint64_t drawsPerTry = axis.modulus == 0 ? 0 : 3;
  // Built when a slot is first refused plainTries times; from then on every try is a lookup.
  std::unique_ptr<BlockedPoints> blocked;
  for (Pocket& pocket : world.pockets) {
    int attempt = 0;
    if (!blocked) {
      bool placed = false;
      for (; attempt < plainTries && !placed; ++attempt) placed = pocket.place(drawCentre(random, axis.h), world.balls);
      if (placed) continue;
      if (axis.edge > maxLatticeEdge) {
        for (; attempt < maxPocketPlacementTries; ++attempt) {
          if (pocket.place(drawCentre(random, axis.h), world.balls)) break;
        }
        continue;
      }
      blocked = std::make_unique<BlockedPoints>(world.balls, axis);
    }
    if (!blocked->anyFree()) {
      // Every remaining try is refused: only the last one's centre is kept.
      random = skipDraws(random, static_cast<uint64_t>(maxPocketPlacementTries - 1 - attempt) * drawsPerTry);
      attempt = maxPocketPlacementTries - 1;
    }
    for (; attempt < maxPocketPlacementTries; ++attempt) {
      const int32_t x = axis.draw(random), y = axis.draw(random), z = axis.draw(random);
      pocket.centre = Vec3{axis.value(x), axis.value(y), axis.value(z)};
      pocket.active = blocked->isFree(x, y, z) ? 1 : 0;
      if (pocket.active != 0) break;
    }
  }
}

}  // namespace morvane
