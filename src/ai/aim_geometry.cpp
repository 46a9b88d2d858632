#include "ai/aim_geometry.h"

#include <algorithm>
#include <cmath>

#include "math/rotation.h"
#include "math/truncate.h"

namespace morvane {
namespace {

constexpr float noPocketCosine = 2.0f;
constexpr int aimErrorSteps = 16383;  // q runs from -16383 to 16383
constexpr int angleSteps = 32767;
constexpr double fullTurn = 6.2831853072;

// Whether point lies ahead of start, not beyond the end of path, and within limit of its line.
// cosine may round a hair above 1 for a point on the line; the distance is then 0, not NaN.
bool nearSegment(Vec3 start, Vec3 path, float pathLength, Vec3 point, float limit) {
  const Vec3 v = point - start;
  const float d = length(v);
  if (d == 0.0f) return false;
  const float cosine = dot(v, path) / (pathLength * d);
  if (cosine < 0.0f || d * cosine > pathLength) return false;
  const float sineSquared = std::max(0.0f, 1.0f - cosine * cosine);
  return std::sqrt(sineSquared) * d <= limit;
}

}  // namespace

float maxSearchStrength(float arenaHalfSize) {
  const float s = static_cast<float>(std::sqrt(0.002 * static_cast<double>(arenaHalfSize)));
  return s > 4.0f ? 4.0f : s;
}

AimGeometry::AimGeometry(const World& world) {
  for (int s = 0; s < cueBallSlot; ++s) {
    const Ball& ball = world.balls[s];
    if (ball.active == 0) continue;
    positions_[s] = ball.position;
    objectSlots_[objectCount_++] = static_cast<int16_t>(s);
  }
  for (const Pocket& pocket : world.pockets) {
    if (pocket.active != 0) pocketCentres_[pocketCount_++] = pocket.centre;
  }
}

float AimGeometry::bestPocketCosine(Vec3 cue, Vec3 ball, Vec3* toPocket) const {
  const Vec3 a = cue - ball;
  const float lengthA = length(a);
  float best = noPocketCosine;
  for (int k = 0; k < pocketCount_; ++k) {
    const Vec3 b = pocketCentres_[k] - ball;
    const float cosine = dot(a, b) / (lengthA * length(b));
    if (cosine < best) {
      best = cosine;
      if (toPocket != nullptr) *toPocket = b;
    }
  }
  return best;
}

bool AimGeometry::pathClear(Vec3 start, Vec3 path, int exclude, bool checkPockets) const {
  const float pathLength = length(path);
  // A NaN length comes from an aim of length 0 lengthened along itself: no direction at all.
  if (!(pathLength > 0.0f)) return false;
  for (int k = 0; k < objectCount_; ++k) {
    const int s = objectSlots_[k];
    if (s == exclude) continue;
    if (nearSegment(start, path, pathLength, positions_[s], contactDistance)) return false;
  }
  if (checkPockets) {
    for (int k = 0; k < pocketCount_; ++k) {
      if (nearSegment(start, path, pathLength, pocketCentres_[k], pocketClearance)) return false;
    }
  }
  return true;
}

bool AimGeometry::cutShotAim(Vec3 cue, int slot, Vec3& aim) const {
  const Vec3 ball = positions_[slot];
  Vec3 toPocket;
  bestPocketCosine(cue, ball, &toPocket);
  if (!pathClear(ball, toPocket, slot, false)) return false;
  // The ghost ball: where the cue ball's centre must be at contact to drive the ball straight
  // at the pocket centre. The aim runs 40 past it, through the contact.
  const Vec3 ghost = ball - (contactDistance * toPocket) / length(toPocket);
  Vec3 toGhost = ghost - cue;
  toGhost = toGhost + (contactDistance * toGhost) / length(toGhost);
  if (!pathClear(cue, toGhost, slot, true)) return false;
  aim = toGhost;
  return true;
}

void buildCandidates(const World& world, const AimGeometry& geometry, BallColour targetColour,
                     CandidateList& list) {
  const Vec3 cue = world.balls[cueBallSlot].position;
  list.count = 0;
  std::array<float, ballCount> cost{};
  std::array<int16_t, ballCount> slots{};
  int n = 0;
  for (int s = 0; s < cueBallSlot; ++s) {
    const Ball& ball = world.balls[s];
    if (ball.active == 0 || ball.colour != targetColour) continue;
    cost[s] = geometry.bestPocketCosine(cue, ball.position, nullptr);
    slots[n++] = static_cast<int16_t>(s);
  }
  // Costs are never NaN (the best starts at 2 and only falls), so a stable sort on < gives
  // exactly the order of the exchange sort over the whole table.
  std::stable_sort(slots.begin(), slots.begin() + n, [&](int16_t a, int16_t b) { return cost[a] < cost[b]; });
  for (int k = 0; k < n; ++k) {
    list.slots[k] = slots[k];
    list.costs[k] = cost[slots[k]];
  }
  list.count = n;
}

RandomTry drawRandomTry(Random& random, bool breakShot, float searchStrength) {
  RandomTry t;
  const float x = static_cast<float>(random.next() % 1000 - 500);
  const float y = static_cast<float>(random.next() % 1000 - 500);
  const float z = static_cast<float>(random.next() % 1000 - 500);
  t.aim = Vec3{x, y, z};
  if (breakShot) {
    t.strength = breakShotStrength;
  } else {
    const int32_t m = truncateToInt(static_cast<double>(randomStrengthFactor * searchStrength));
    t.strength = m > 0 ? static_cast<float>(random.next() % m) : 0.0f;
  }
  return t;
}

void applyAimError(Vec3& aim, float aimError, Random& random) {
  if (aimError == 0.0f) return;
  const float r = length(aim) * aimError;
  Vec3 e{0.0f, 0.0f, static_cast<float>(random.next() % angleSteps - aimErrorSteps)};
  const float theta1 = static_cast<float>((random.next() % angleSteps) * (fullTurn / angleSteps));
  rotate2D(e.x, e.z, e.x, e.z, theta1);
  const float theta2 = static_cast<float>((random.next() % angleSteps) * (fullTurn / angleSteps));
  rotate2D(e.y, e.z, e.y, e.z, theta2);
  // Each component becomes e x (r x (1 / 16383)) with the reciprocal and both products in
  // extended precision, rounded to float once, as it is stored. Rounding the factor to float
  // first would move the aim by one unit in the last place in a few percent of turns.
  const long double scale = static_cast<long double>(r) * (1.0L / aimErrorSteps);
  e.x = static_cast<float>(static_cast<long double>(e.x) * scale);
  e.y = static_cast<float>(static_cast<long double>(e.y) * scale);
  e.z = static_cast<float>(static_cast<long double>(e.z) * scale);
  aim = aim + e;
}

}  // namespace morvane
