#include "world/world.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <vector>

#include "world/spatial_hash.h"

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

constexpr int bucketCount = 2048;
constexpr int pairShift = 10;           // a pair is lower << 10 | upper; slots are below 1024

int bucketOf(int32_t cx, int32_t cy, int32_t cz) { return bucketOfCell(cx, cy, cz, bucketCount); }

// Exact early rejection: when one axis differs by 40 or more, the float sum of squares is at
// least 1600 and its root at least 40, so inContact would say no. Without branches: most
// candidates are rejected, but not predictably.
bool farApart(const Vec3& a, const Vec3& b) {
  const float dx = std::fabs(a.x - b.x), dy = std::fabs(a.y - b.y), dz = std::fabs(a.z - b.z);
  return (dx >= contactDistance) | (dy >= contactDistance) | (dz >= contactDistance);
}

bool atRest(const Ball& ball) { return ball.velocity == Vec3{}; }

struct Grid {
  std::array<int, bucketCount + 1> start{};
  // Active slots grouped by bucket, with their positions alongside so that a scan of a bucket
  // reads consecutive memory.
  std::array<int16_t, ballCount> slots{};
  std::array<Vec3, ballCount> positions{};
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
      const int e = fill[bucket[s]]++;
      slots[e] = static_cast<int16_t>(s);
      positions[e] = balls[s].position;
    }
  }

  // Calls visit(t) for every other active ball t that may be in contact with the ball of slot s
  // at p. A bucket met twice (two cells hashing alike) repeats its balls; callers drop the
  // repeated pairs.
  template <class Visit>
  void forNeighbours(int s, const Vec3& p, const Visit& visit) const {
    const int32_t x0 = cellOf(p.x - contactDistance), x1 = std::min(cellOf(p.x + contactDistance), x0 + 2);
    const int32_t y0 = cellOf(p.y - contactDistance), y1 = std::min(cellOf(p.y + contactDistance), y0 + 2);
    const int32_t z0 = cellOf(p.z - contactDistance), z1 = std::min(cellOf(p.z + contactDistance), z0 + 2);
    for (int32_t cx = x0; cx <= x1; ++cx) {
      for (int32_t cy = y0; cy <= y1; ++cy) {
        for (int32_t cz = z0; cz <= z1; ++cz) {
          const int b = bucketOf(cx, cy, cz);
          for (int e = start[b]; e < start[b + 1]; ++e) {
            if (slots[e] != s && !farApart(p, positions[e])) visit(slots[e]);
          }
        }
      }
    }
  }
};

// The state of one pass of collideBalls, kept between calls so that nothing is allocated.
struct LivePass {
  Grid grid;
  uint32_t pass = 0;
  std::array<uint32_t, ballCount> liveStamp{};
  std::array<uint32_t, ballCount> propagatedStamp{};
  std::vector<int32_t> pairs;
  std::vector<int32_t> laterPairs;  // min-heap

  LivePass() {
    pairs.reserve(4 * ballCount);
    laterPairs.reserve(4 * ballCount);
  }
};

int32_t pairOf(int lower, int upper) { return lower << pairShift | upper; }

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

// The all-pairs pass handles every pair in contact in (i, j) order, each with the velocities
// of the moment. A pair of two resting balls, neither of them the cue ball, changes nothing
// (trivialPair), so only the pairs of live balls are looked for: those moving when the pass
// starts, and the cue ball before its first touch. A resting ball set moving by a pair during
// the pass becomes live from then on: its pairs with resting balls that come later in (i, j)
// order are added as it happens.
void collideBalls(World& world, FirstTouch touch, SoundSink& sounds) {
  thread_local LivePass live;
  BallTable& balls = world.balls;
  live.grid.build(balls);
  const uint32_t pass = ++live.pass;
  live.pairs.clear();
  live.laterPairs.clear();

  int16_t liveSlots[ballCount];
  int liveCount = 0;
  for (int k = 0; k < live.grid.activeCount; ++k) {
    const int s = live.grid.activeSlots[k];
    if (!atRest(balls[s]) || (balls[s].colour == colourCueBall && touch.cueBallTouched == 0)) {
      live.liveStamp[s] = pass;
      liveSlots[liveCount++] = static_cast<int16_t>(s);
    }
  }
  for (int k = 0; k < liveCount; ++k) {
    const int s = liveSlots[k];
    live.grid.forNeighbours(s, balls[s].position, [&](int t) {
      if (live.liveStamp[t] == pass && t < s) return;  // found from t's side
      const int lower = std::min(s, t), upper = std::max(s, t);
      if (inContact(balls[lower].position, balls[upper].position)) live.pairs.push_back(pairOf(lower, upper));
    });
  }
  if (live.pairs.empty()) return;
  std::sort(live.pairs.begin(), live.pairs.end());

  const auto later = std::greater<int32_t>();
  auto propagate = [&](int s, int32_t current) {
    if (live.liveStamp[s] == pass || live.propagatedStamp[s] == pass) return;
    live.propagatedStamp[s] = pass;
    live.grid.forNeighbours(s, balls[s].position, [&](int t) {
      if (live.liveStamp[t] == pass) return;  // already listed
      const int lower = std::min(s, t), upper = std::max(s, t);
      const int32_t pair = pairOf(lower, upper);
      if (pair <= current || !inContact(balls[lower].position, balls[upper].position)) return;
      live.laterPairs.push_back(pair);
      std::push_heap(live.laterPairs.begin(), live.laterPairs.end(), later);
    });
  };

  size_t next = 0;
  int32_t previous = -1;
  while (next < live.pairs.size() || !live.laterPairs.empty()) {
    int32_t pair;
    if (live.laterPairs.empty() || (next < live.pairs.size() && live.pairs[next] < live.laterPairs.front())) {
      pair = live.pairs[next++];
    } else {
      std::pop_heap(live.laterPairs.begin(), live.laterPairs.end(), later);
      pair = live.laterPairs.back();
      live.laterPairs.pop_back();
    }
    if (pair == previous) continue;  // found from both of its balls
    previous = pair;
    const int i = pair >> pairShift, j = pair & ((1 << pairShift) - 1);
    if (trivialPair(balls[i], balls[j])) continue;
    const bool iRested = atRest(balls[i]), jRested = atRest(balls[j]);
    resolveContact(balls[i], balls[j], touch, sounds);
    if (iRested && !atRest(balls[i])) propagate(i, pair);
    if (jRested && !atRest(balls[j])) propagate(j, pair);
  }
}

}  // namespace morvane
