#include "ai/trial_simulator.h"

#include <bit>
#include <cmath>

#include "rules/referee.h"
#include "rules/scoring.h"
#include "world/step.h"

namespace morvane {
namespace {

SilentSink silence;

constexpr int abandonPollSteps = 16;

bool isNegativeZeroOrNaN(float v) { return std::bit_cast<uint32_t>(v) == 0x80000000u || v != v; }

}  // namespace

TrialSimulator::TrialSimulator() = default;

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

void TrialSimulator::setBase(const ShotState& base, const MatchSettings& settings) {
  settings_ = &settings;
  base_ = base;
  shot_ = base;
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
  pocketFinder_.emplace(shot_.world.pockets);
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
  BallTable& balls = shot_.world.balls;
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
  shot_.match = base_.match;
  shot_.cue = base_.cue;
  for (int k = 0; k < movingCount_; ++k) inMoving_[moving_[k]] = 0;
  movingCount_ = 0;
  for (int k = 0; k < baseMovingCount_; ++k) addMoving(baseMoving_[k]);
}

bool TrialSimulator::anyBallMoving() const {
  for (int k = 0; k < movingCount_; ++k) {
    if (!shot_.world.balls[moving_[k]].isAtRest()) return true;
  }
  return false;
}

// A trial step visits the balls in motion (moving_, which a ball joins when a collision or the
// strike sets it moving and leaves when it rests or falls). A ball left out is provably left
// bit for bit as it is by every pass.
class TrialSimulator::MovingBalls {
 public:
  explicit MovingBalls(TrialSimulator& trial) : t_(trial) {}

  void move(World& world, SoundSink& sounds) {
    const int n = t_.movingCount_;
    for (int k = 0; k < n; ++k) {
      t_.markDirty(t_.moving_[k]);
      t_.live_[k] = t_.moving_[k];
    }
    moveBalls(world, BallSelection::only(moved()), sounds);
    for (const int16_t s : moved()) t_.engine_.grid().update(s, world.balls[s].position);
  }

  // The live balls are among the moved ones, except a resting cue ball before its first touch.
  void collide(World& world, FirstTouch& touch, SoundSink& sounds) {
    int count = t_.movingCount_;
    if (touch.cueBallTouched == 0) {
      for (int k = 0; k < t_.cueColouredCount_; ++k) t_.live_[count++] = t_.cueColoured_[k];
    }
    t_.engine_.resolve(world.balls, std::span<const int16_t>(t_.live_.data(), static_cast<size_t>(count)), touch,
                       sounds);
    for (const int16_t s : t_.engine_.changed()) t_.markDirty(s);
  }

  // After a pocketing pass no active ball lies in an active pocket, and a ball that was not
  // moved has not moved, so only the moved balls can have arrived in one (every ball is tested
  // in the first step when the base itself has a ball in a pocket).
  void pocket(World& world, PocketListener& listener, SoundSink& sounds) {
    pocketBalls(world, *t_.pocketFinder_, t_.pocketEveryBall_ ? BallSelection::all() : BallSelection::only(moved()),
                listener, sounds);
  }

 private:
  std::span<const int16_t> moved() const {
    return {t_.live_.data(), static_cast<size_t>(t_.movingCount_)};
  }
  TrialSimulator& t_;
};

void TrialSimulator::ballPocketed(Ball& ball) {
  const int s = static_cast<int>(&ball - shot_.world.balls.data());
  markDirty(s);
  scorePocketedBall(ball, shot_.match, *settings_);
  engine_.grid().remove(s);
}

void TrialSimulator::rebuildMoving() {
  const BallTable& balls = shot_.world.balls;
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
  MatchState& match = shot_.match;
  shot_.cue.shotStrength = strength;
  shot_.cue.cueDirection = aim * (100.0f / length(aim));
  strikeCueBall(shot_.world, match, shot_.cue, silence);
  markDirty(cueBallSlot);
  if (needsStep(shot_.world.balls[cueBallSlot])) addMoving(cueBallSlot);

  TrialOutcome outcome;
  MovingBalls passes(*this);
  pocketEveryBall_ = baseHasBallInPocket_;
  while (match.foulCommitted == 0 && anyBallMoving()) {
    if (abandon.limit != nullptr && outcome.steps % abandonPollSteps == 0 &&
        abandon.limit->load(std::memory_order_relaxed) <= abandon.index) {
      outcome.abandoned = true;
      return outcome;
    }
    stepWorld(shot_.world, passes, FirstTouch{match.cueBallTouched, match.foulCommitted, match.targetColour},
              *this, silence);
    pocketEveryBall_ = false;
    rebuildMoving();
    ++outcome.steps;
  }
  outcome.accepted = match.foulCommitted == 0 && match.cueBallTouched != 0 &&
                     (!requirePocket || match.ballPocketedThisShot != 0);
  outcome.pocketStreak = match.pocketStreak;
  outcome.shotStrength = shot_.cue.shotStrength;
  return outcome;
}

}  // namespace morvane
