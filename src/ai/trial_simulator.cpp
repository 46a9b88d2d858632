#include "ai/trial_simulator.h"

#include <algorithm>
#include <bit>
#include <cmath>

#include "rules/referee.h"
#include "rules/scoring.h"

namespace morvane {
namespace {

SilentSink silence;

constexpr int eventShift = 10;  // a fall is pocket << 10 | slot
constexpr int abandonPollSteps = 16;

bool isNegativeZeroOrNaN(float v) { return std::bit_cast<uint32_t>(v) == 0x80000000u || v != v; }

}  // namespace

TrialSimulator::TrialSimulator() { pocketEvents_.reserve(ballCount); }

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
  engine_.grid().rebuild(base_.world.balls);
  isDirty_.fill(0);
  inMoving_.fill(0);
  dirtyCount_ = 0;
  baseMovingCount_ = 0;
  cueColouredCount_ = 0;
  const BallTable& balls = base_.world.balls;
  for (int s = 0; s < ballCount; ++s) {
    if (balls[s].active == 0) continue;
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
    balls[s] = baseBalls[s];
    if (balls[s].active != 0) {
      engine_.grid().update(s, balls[s].position);
    } else {
      engine_.grid().remove(s);
    }
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
    engine_.grid().update(s, balls[s].position);
    stepped_[k] = static_cast<int16_t>(s);
  }
  steppedCount_ = movingCount_;
}

// The live balls are among the stepped ones, except a resting cue ball before its first touch.
void TrialSimulator::collisionPass() {
  MatchState& match = table_.match;
  int count = steppedCount_;
  if (match.cueBallTouched == 0) {
    for (int k = 0; k < cueColouredCount_; ++k) stepped_[count++] = cueColoured_[k];
  }
  FirstTouch touch{match.cueBallTouched, match.foulCommitted, match.targetColour};
  engine_.resolve(table_.world.balls, std::span<const int16_t>(stepped_.data(), static_cast<size_t>(count)), touch,
                  silence);
  for (const int16_t s : engine_.changed()) markDirty(s);
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
    if (p >= 0) pocketEvents_.push_back(p << eventShift | s);
  };
  if (everyBall) {
    for (int s = 0; s < ballCount; ++s) check(s);
  } else {
    for (int k = 0; k < steppedCount_; ++k) check(stepped_[k]);
  }
  if (pocketEvents_.empty()) return;
  std::sort(pocketEvents_.begin(), pocketEvents_.end());
  for (int32_t event : pocketEvents_) {
    const int s = event & ((1 << eventShift) - 1);
    markDirty(s);
    scorePocketedBall(balls[s], table_.match, *settings_);
    engine_.grid().remove(s);
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
  for (const int16_t s : engine_.changed()) {
    if (needsStep(balls[s])) addMoving(s);
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
