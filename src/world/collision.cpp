#include "world/world.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace morvane {
namespace {

constexpr float softClickImpact = 50.0f;
constexpr float hardClickImpact = 1000.0f;

bool inContact(const Vec3& p1, const Vec3& p2) { return length(p2 - p1) < contactDistance; }

// One pair already known to be in contact. Reads the current velocities, so changes made by
// earlier pairs of the same pass are seen.
void resolveContact(Ball& a, Ball& b, FirstTouch& touch, SoundSink& sounds) {
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

bool trivialPair(const Ball& a, const Ball& b) {
  // Two balls at rest neither touching the cue ball: the mean-velocity frame gives an impact of
  // exactly 0, so the full computation would change nothing.
  return a.colour != colourCueBall && b.colour != colourCueBall && a.velocity == Vec3{} &&
         b.velocity == Vec3{};
}

// Spatial hash: cells of 80 units, so a ball's contact range [x - 40, x + 40] spans at most two
// cells per axis. Distinct cells may share a bucket; the exact contact test filters them out.
constexpr float cellSize = 80.0f;
constexpr int bucketCount = 2048;
constexpr int32_t cellLimit = 1 << 20;  // far-away or non-finite coordinates are clamped

int32_t cellOf(float coordinate) {
  const float c = std::floor(coordinate / cellSize);
  if (!(c > -cellLimit)) return -cellLimit;  // also NaN
  if (c > cellLimit) return cellLimit;
  return static_cast<int32_t>(c);
}

int bucketOf(int32_t cx, int32_t cy, int32_t cz) {
  uint32_t h = static_cast<uint32_t>(cx) * 73856093u ^ static_cast<uint32_t>(cy) * 19349663u ^
               static_cast<uint32_t>(cz) * 83492791u;
  return static_cast<int>(h & (bucketCount - 1));
}

struct Grid {
  std::array<int, bucketCount + 1> start{};
  std::array<int16_t, ballCount> slots{};  // active slots grouped by bucket, ascending within one
  std::array<int16_t, ballCount> bucket{};
  std::array<int16_t, ballCount> activeSlots{};
  int activeCount = 0;

  void build(const BallTable& balls) {
    start.fill(0);
    activeCount = 0;
    for (int s = 0; s < ballCount; ++s) {
      if (balls[s].active == 0) continue;
      const Vec3& p = balls[s].position;
      const int b = bucketOf(cellOf(p.x), cellOf(p.y), cellOf(p.z));
      bucket[s] = static_cast<int16_t>(b);
      activeSlots[activeCount++] = static_cast<int16_t>(s);
      ++start[b + 1];
    }
    for (int b = 0; b < bucketCount; ++b) start[b + 1] += start[b];
    std::array<int, bucketCount> fill;
    std::copy(start.begin(), start.end() - 1, fill.begin());
    for (int k = 0; k < activeCount; ++k) {
      const int s = activeSlots[k];
      slots[fill[bucket[s]]++] = static_cast<int16_t>(s);
    }
  }
};

// The slots j > i in contact with ball i, ascending.
int contactsAbove(const Grid& grid, const BallTable& balls, int i, std::array<int16_t, ballCount>& out) {
  const Vec3& p = balls[i].position;
  int buckets[8];
  int bucketsUsed = 0;
  const int32_t x0 = cellOf(p.x - contactDistance), x1 = cellOf(p.x + contactDistance);
  const int32_t y0 = cellOf(p.y - contactDistance), y1 = cellOf(p.y + contactDistance);
  const int32_t z0 = cellOf(p.z - contactDistance), z1 = cellOf(p.z + contactDistance);
  for (int32_t cx = x0; cx <= x1 && cx <= x0 + 1; ++cx) {
    for (int32_t cy = y0; cy <= y1 && cy <= y0 + 1; ++cy) {
      for (int32_t cz = z0; cz <= z1 && cz <= z0 + 1; ++cz) {
        const int b = bucketOf(cx, cy, cz);
        if (std::find(buckets, buckets + bucketsUsed, b) == buckets + bucketsUsed) buckets[bucketsUsed++] = b;
      }
    }
  }
  int count = 0;
  for (int k = 0; k < bucketsUsed; ++k) {
    for (int e = grid.start[buckets[k]]; e < grid.start[buckets[k] + 1]; ++e) {
      const int j = grid.slots[e];
      if (j <= i) continue;
      if (inContact(p, balls[j].position)) out[count++] = static_cast<int16_t>(j);
    }
  }
  std::sort(out.begin(), out.begin() + count);
  return count;
}

}  // namespace

bool ballsInContact(const Vec3& lower, const Vec3& upper) { return inContact(lower, upper); }

void collideTouchingPair(Ball& lower, Ball& upper, FirstTouch& touch, SoundSink& sounds) {
  resolveContact(lower, upper, touch, sounds);
}

void collideBallsAllPairs(World& world, FirstTouch touch, SoundSink& sounds) {
  BallTable& balls = world.balls;
  for (int i = 0; i < ballCount - 1; ++i) {
    if (balls[i].active == 0) continue;
    for (int j = i + 1; j < ballCount; ++j) {
      if (balls[j].active == 0) continue;
      if (!inContact(balls[i].position, balls[j].position)) continue;
      resolveContact(balls[i], balls[j], touch, sounds);
    }
  }
}

void collideBalls(World& world, FirstTouch touch, SoundSink& sounds) {
  // Positions never change during the pass, so the contact set can be found up front; the
  // pairs are then handled row by row in ascending (i, j) order like the all-pairs pass.
  thread_local Grid grid;
  thread_local std::array<int16_t, ballCount> row;
  BallTable& balls = world.balls;
  grid.build(balls);
  for (int k = 0; k < grid.activeCount; ++k) {
    const int i = grid.activeSlots[k];
    const int n = contactsAbove(grid, balls, i, row);
    for (int r = 0; r < n; ++r) {
      Ball& other = balls[row[r]];
      if (trivialPair(balls[i], other)) continue;
      resolveContact(balls[i], other, touch, sounds);
    }
  }
}

}  // namespace morvane
