#include "ai/trial_simulator.h"

#include <algorithm>
#include <bit>
#include <cmath>

#include "rules/referee.h"
#include "rules/scoring.h"
#include "world/spatial_hash.h"

namespace morvane {
namespace {

SilentSink silence;

constexpr int bucketCount = 4096;
constexpr int16_t noSlot = -1;
constexpr int pairShift = 10;  // a pair is lower << 10 | upper; slots are below 1024
constexpr int abandonPollSteps = 16;

int bucketOf(int32_t cx, int32_t cy, int32_t cz) { return bucketOfCell(cx, cy, cz, bucketCount); }

int bucketOfPoint(const Vec3& p) { return bucketOf(cellOf(p.x), cellOf(p.y), cellOf(p.z)); }

bool isNegativeZeroOrNaN(float v) { return std::bit_cast<uint32_t>(v) == 0x80000000u || v != v; }

// Exact early rejection: when one axis differs by 40 or more, the float sum of squares is at
// least 1600 and its root at least 40, so the contact test would say no; nor can the point lie
// inside a pocket cube of half-size 40 around the other.
bool farApart(const Vec3& a, const Vec3& b) {
  const float dx = std::fabs(a.x - b.x), dy = std::fabs(a.y - b.y), dz = std::fabs(a.z - b.z);
  return (dx >= contactDistance) | (dy >= contactDistance) | (dz >= contactDistance);
}

bool restingVelocity(const Ball& ball) { return ball.velocity == Vec3{}; }

}  // namespace

TrialSimulator::TrialSimulator() : bucketHead_(bucketCount, noSlot) {
  pairs_.reserve(4 * ballCount);
  extraPairs_.reserve(4 * ballCount);
  pocketEvents_.reserve(ballCount);
}

// A resting ball whose velocity is +0.0 on every axis and whose position holds no -0.0 (nor
// NaN) is left bit for bit unchanged by the motion step: it moves by +0 and its velocity is
// rewritten as +0. Every other active ball has to be stepped.
bool TrialSimulator::needsStep(const Ball& ball) const {
  if (ball.active == 0) return false;
  const Vec3& v = ball.velocity;
  if ((std::bit_cast<uint32_t>(v.x) | std::bit_cast<uint32_t>(v.y) | std::bit_cast<uint32_t>(v.z)) != 0) return true;
  const Vec3& p = ball.position;
  return isNegativeZeroOrNaN(p.x) || isNegativeZeroOrNaN(p.y) || isNegativeZeroOrNaN(p.z);
}

void TrialSimulator::setBase(const ShotTable& base, const MatchSettings& settings) {
  settings_ = &settings;
  base_ = base;
  table_ = base;
  std::fill(bucketHead_.begin(), bucketHead_.end(), noSlot);
  inGrid_.fill(0);
  isDirty_.fill(0);
  inMoving_.fill(0);
  dirtyCount_ = 0;
  baseMovingCount_ = 0;
  cueColouredCount_ = 0;
  const BallTable& balls = base_.world.balls;
  for (int s = 0; s < ballCount; ++s) {
    if (balls[s].active == 0) continue;
    gridInsert(s);
    if (needsStep(balls[s])) baseMoving_[baseMovingCount_++] = static_cast<int16_t>(s);
    if (balls[s].colour == colourCueBall) cueColoured_[cueColouredCount_++] = static_cast<int16_t>(s);
  }
  pocketFinder_.emplace(table_.world.pockets);
  baseHasBallInPocket_ = false;
  for (const Ball& ball : balls) {
    if (ball.active != 0 && pocketFinder_->lowestHolding(ball.position) >= 0) baseHasBallInPocket_ = true;
  }
  movingCount_ = 0;
  for (int k = 0; k < baseMovingCount_; ++k) addMoving(baseMoving_[k]);
}

void TrialSimulator::gridInsert(int slot) {
  const int b = bucketOfPoint(table_.world.balls[slot].position);
  bucketOfSlot_[slot] = static_cast<int16_t>(b);
  prev_[slot] = noSlot;
  next_[slot] = bucketHead_[b];
  if (bucketHead_[b] != noSlot) prev_[bucketHead_[b]] = static_cast<int16_t>(slot);
  bucketHead_[b] = static_cast<int16_t>(slot);
  inGrid_[slot] = 1;
}

void TrialSimulator::gridRemove(int slot) {
  const int b = bucketOfSlot_[slot];
  if (prev_[slot] != noSlot) {
    next_[prev_[slot]] = next_[slot];
  } else {
    bucketHead_[b] = next_[slot];
  }
  if (next_[slot] != noSlot) prev_[next_[slot]] = prev_[slot];
  inGrid_[slot] = 0;
}

void TrialSimulator::gridMove(int slot) {
  if (bucketOfPoint(table_.world.balls[slot].position) == bucketOfSlot_[slot]) return;
  gridRemove(slot);
  gridInsert(slot);
}

// Every active ball other than exclude whose centre may lie within 40 of p on every axis, in
// no particular order. Two cells hashing to one bucket list its balls twice; the passes drop
// repeated pairs.
int TrialSimulator::neighbours(const Vec3& p, int exclude, int16_t* out) const {
  const BallTable& balls = table_.world.balls;
  const int32_t x0 = cellOf(p.x - contactDistance), x1 = std::min(cellOf(p.x + contactDistance), x0 + 2);
  const int32_t y0 = cellOf(p.y - contactDistance), y1 = std::min(cellOf(p.y + contactDistance), y0 + 2);
  const int32_t z0 = cellOf(p.z - contactDistance), z1 = std::min(cellOf(p.z + contactDistance), z0 + 2);
  int count = 0;
  for (int32_t cx = x0; cx <= x1; ++cx) {
    for (int32_t cy = y0; cy <= y1; ++cy) {
      for (int32_t cz = z0; cz <= z1; ++cz) {
        for (int t = bucketHead_[bucketOf(cx, cy, cz)]; t != noSlot; t = next_[t]) {
          if (t == exclude || farApart(p, balls[t].position)) continue;
          out[count++] = static_cast<int16_t>(t);
        }
      }
    }
  }
  return count;
}

void TrialSimulator::markDirty(int slot) {
  if (isDirty_[slot] != 0) return;
  isDirty_[slot] = 1;
  dirty_[dirtyCount_++] = static_cast<int16_t>(slot);
}

void TrialSimulator::addMoving(int slot) {
  if (inMoving_[slot] != 0) return;
  inMoving_[slot] = 1;
  moving_[movingCount_++] = static_cast<int16_t>(slot);
}

void TrialSimulator::restoreBase() {
  BallTable& balls = table_.world.balls;
  const BallTable& baseBalls = base_.world.balls;
  for (int k = 0; k < dirtyCount_; ++k) {
    const int s = dirty_[k];
    if (inGrid_[s] != 0) gridRemove(s);
    balls[s] = baseBalls[s];
    if (balls[s].active != 0) gridInsert(s);
    isDirty_[s] = 0;
  }
  dirtyCount_ = 0;
  table_.match = base_.match;
  table_.cue = base_.cue;
  for (int k = 0; k < movingCount_; ++k) inMoving_[moving_[k]] = 0;
  movingCount_ = 0;
  for (int k = 0; k < baseMovingCount_; ++k) addMoving(baseMoving_[k]);
}

bool TrialSimulator::anyBallMoving() const {
  for (int k = 0; k < movingCount_; ++k) {
    if (!table_.world.balls[moving_[k]].isAtRest()) return true;
  }
  return false;
}

// Each ball's step reads and writes only that ball, so the order of the slots does not matter.
void TrialSimulator::stepPass() {
  BallTable& balls = table_.world.balls;
  const float h = table_.world.arenaHalfSize;
  for (int k = 0; k < movingCount_; ++k) {
    const int s = moving_[k];
    markDirty(s);
    balls[s].step(h, silence);
    gridMove(s);
    stepped_[k] = static_cast<int16_t>(s);
  }
  steppedCount_ = movingCount_;
}

// The full pass handles every pair in contact in (i, j) order. A pair of two balls at rest,
// neither of them the cue ball, changes nothing, so only pairs with a live ball are visited:
// a ball moving when the pass starts, the cue ball before its first touch, or a resting ball
// set moving by an earlier pair of this pass (its later pairs are found when that happens).
void TrialSimulator::collisionPass() {
  BallTable& balls = table_.world.balls;
  MatchState& match = table_.match;
  ++pass_;
  changedCount_ = 0;
  pairs_.clear();
  extraPairs_.clear();

  int liveCount = 0;
  int16_t* live = stepped_.data();  // reordered in place: the live balls first
  for (int k = 0; k < steppedCount_; ++k) {
    const int s = stepped_[k];
    if (balls[s].active != 0 && !restingVelocity(balls[s])) {
      liveStamp_[s] = pass_;
      std::swap(live[liveCount++], live[k]);
    }
  }
  int16_t cueLive[ballCount];
  int cueLiveCount = 0;
  if (match.cueBallTouched == 0) {
    for (int k = 0; k < cueColouredCount_; ++k) {
      const int s = cueColoured_[k];
      if (balls[s].active == 0 || liveStamp_[s] == pass_) continue;
      liveStamp_[s] = pass_;
      cueLive[cueLiveCount++] = static_cast<int16_t>(s);
    }
  }
  auto collect = [&](int s) {
    const int n = neighbours(balls[s].position, s, scratch_.data());
    for (int k = 0; k < n; ++k) {
      const int t = scratch_[k];
      if (liveStamp_[t] == pass_ && t < s) continue;  // found from t's side
      const int lower = std::min(s, t), upper = std::max(s, t);
      if (!ballsInContact(balls[lower].position, balls[upper].position)) continue;
      pairs_.push_back(lower << pairShift | upper);
    }
  };
  for (int k = 0; k < liveCount; ++k) collect(live[k]);
  for (int k = 0; k < cueLiveCount; ++k) collect(cueLive[k]);
  if (pairs_.empty()) return;
  std::sort(pairs_.begin(), pairs_.end());

  FirstTouch touch{match.cueBallTouched, match.foulCommitted, match.targetColour};
  const auto later = std::greater<int32_t>();
  size_t k = 0;
  int32_t last = -1;
  while (k < pairs_.size() || !extraPairs_.empty()) {
    int32_t pair;
    if (extraPairs_.empty() || (k < pairs_.size() && pairs_[k] < extraPairs_.front())) {
      pair = pairs_[k++];
    } else {
      std::pop_heap(extraPairs_.begin(), extraPairs_.end(), later);
      pair = extraPairs_.back();
      extraPairs_.pop_back();
    }
    if (pair == last) continue;
    last = pair;
    const int i = pair >> pairShift, j = pair & ((1 << pairShift) - 1);
    Ball& a = balls[i];
    Ball& b = balls[j];
    const bool aRested = restingVelocity(a), bRested = restingVelocity(b);
    if (aRested && bRested && a.colour != colourCueBall && b.colour != colourCueBall) continue;
    collideTouchingPair(a, b, touch, silence);
    for (int s : {i, j}) {
      if (changedStamp_[s] == pass_) continue;
      changedStamp_[s] = pass_;
      changed_[changedCount_++] = static_cast<int16_t>(s);
      markDirty(s);
    }
    if (aRested && !restingVelocity(a)) propagate(i, pair);
    if (bRested && !restingVelocity(b)) propagate(j, pair);
  }
}

// A ball that was not live when the pass started has just been set moving by the pair
// currentPair: its pairs with other balls that were not live either, still to come in (i, j)
// order, now matter. Its pairs with live balls are already listed.
void TrialSimulator::propagate(int slot, int32_t currentPair) {
  if (liveStamp_[slot] == pass_ || propagatedStamp_[slot] == pass_) return;
  propagatedStamp_[slot] = pass_;
  const BallTable& balls = table_.world.balls;
  const int n = neighbours(balls[slot].position, slot, scratch_.data());
  for (int k = 0; k < n; ++k) {
    const int t = scratch_[k];
    if (liveStamp_[t] == pass_) continue;
    const int lower = std::min(slot, t), upper = std::max(slot, t);
    const int32_t pair = lower << pairShift | upper;
    if (pair <= currentPair) continue;
    if (!ballsInContact(balls[lower].position, balls[upper].position)) continue;
    extraPairs_.push_back(pair);
    std::push_heap(extraPairs_.begin(), extraPairs_.end(), std::greater<int32_t>());
  }
}

// After a pocketing pass no active ball lies in an active pocket, and a ball that was not
// stepped has not moved, so only the stepped balls can have arrived in one. The full pass
// scores pocket 0's balls in slot order, then pocket 1's, and so on; a ball inside several
// pockets falls into the lowest. The events are sorted into that order before scoring.
void TrialSimulator::pocketPass(bool everyBall) {
  BallTable& balls = table_.world.balls;
  if (!pocketFinder_->anyPocket()) return;
  pocketEvents_.clear();
  auto check = [&](int s) {
    if (balls[s].active == 0) return;
    const int p = pocketFinder_->lowestHolding(balls[s].position);
    if (p >= 0) pocketEvents_.push_back(p << pairShift | s);
  };
  if (everyBall) {
    for (int s = 0; s < ballCount; ++s) check(s);
  } else {
    for (int k = 0; k < steppedCount_; ++k) check(stepped_[k]);
  }
  if (pocketEvents_.empty()) return;
  std::sort(pocketEvents_.begin(), pocketEvents_.end());
  for (int32_t event : pocketEvents_) {
    const int s = event & ((1 << pairShift) - 1);
    markDirty(s);
    scorePocketedBall(balls[s], table_.match, *settings_);
    if (inGrid_[s] != 0) gridRemove(s);
  }
}

void TrialSimulator::rebuildMoving() {
  const BallTable& balls = table_.world.balls;
  int kept = 0;
  for (int k = 0; k < movingCount_; ++k) {
    const int s = moving_[k];
    if (needsStep(balls[s])) {
      moving_[kept++] = static_cast<int16_t>(s);
    } else {
      inMoving_[s] = 0;
    }
  }
  movingCount_ = kept;
  for (int k = 0; k < changedCount_; ++k) {
    if (needsStep(balls[changed_[k]])) addMoving(changed_[k]);
  }
}

TrialOutcome TrialSimulator::play(Vec3 aim, float strength, bool requirePocket, AbandonWhen abandon) {
  restoreBase();
  MatchState& match = table_.match;
  table_.cue.shotStrength = strength;
  table_.cue.cueDirection = aim * (100.0f / length(aim));
  strikeCueBall(table_.world, match, table_.cue, silence);
  markDirty(cueBallSlot);
  if (needsStep(table_.world.balls[cueBallSlot])) addMoving(cueBallSlot);

  TrialOutcome outcome;
  bool firstPass = true;
  while (match.foulCommitted == 0 && anyBallMoving()) {
    if (abandon.limit != nullptr && outcome.steps % abandonPollSteps == 0 &&
        abandon.limit->load(std::memory_order_relaxed) <= abandon.index) {
      outcome.abandoned = true;
      return outcome;
    }
    stepPass();
    collisionPass();
    pocketPass(firstPass && baseHasBallInPocket_);
    firstPass = false;
    rebuildMoving();
    ++outcome.steps;
  }
  outcome.accepted = match.foulCommitted == 0 && match.cueBallTouched != 0 &&
                     (!requirePocket || match.ballPocketedThisShot != 0);
  outcome.pocketStreak = match.pocketStreak;
  outcome.shotStrength = table_.cue.shotStrength;
  return outcome;
}

}  // namespace morvane
