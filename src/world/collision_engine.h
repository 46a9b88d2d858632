#pragma once
// The one collision pass, used by the live tick and by the computer's trials alike: the pairs
// of balls in contact, found through the ball grid, handled in the order and with the
// arithmetic of the pass over all 1000 x 999 / 2 slot pairs.
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "world/ball_grid.h"
#include "world/world.h"

namespace morvane {

class CollisionEngine {
 public:
  CollisionEngine() = default;
  // A copy starts empty (its scratch is made on first use): an engine holds nothing but
  // scratch and the grid that its owner keeps filled, and copying a Game must stay cheap.
  CollisionEngine(const CollisionEngine&) {}
  CollisionEngine& operator=(const CollisionEngine&) {
    state_.reset();
    return *this;
  }
  CollisionEngine(CollisionEngine&&) noexcept = default;
  CollisionEngine& operator=(CollisionEngine&&) noexcept = default;

  // The broad phase: it must hold every active ball of the table at its current position
  // whenever resolve runs (BallGrid::rebuild does it for a whole table).
  BallGrid& grid() { return state().grid; }

  // Every pair of active balls in contact, lower slot first, in ascending (i, j) order, each
  // seeing the velocities left by the pairs before it: first touch, velocity exchange, clicks.
  // Only pairs with a live ball can change anything: a ball moving when the pass starts, or
  // the cue ball before its first touch. Every such ball must be among the candidates (which
  // may hold others and repeats). A resting ball set moving on the way becomes live from then
  // on: its later pairs are taken in as it happens.
  void resolve(BallTable& balls, std::span<const int16_t> candidates, FirstTouch& touch, SoundSink& sounds);

  // The balls of the pairs the last resolve handled, each once: the only ones whose velocity
  // it may have changed.
  std::span<const int16_t> changed() const {
    if (!state_) return {};
    return {state_->changed.data(), static_cast<size_t>(state_->changedCount)};
  }

 private:
  struct State {
    State();
    BallGrid grid;
    uint32_t pass = 0;
    std::array<uint32_t, ballCount> liveStamp{};
    std::array<uint32_t, ballCount> propagatedStamp{};
    std::array<uint32_t, ballCount> changedStamp{};
    std::array<int16_t, ballCount> live{};
    std::array<int16_t, ballCount> changed{};
    int changedCount = 0;
    std::vector<int32_t> pairs;       // lower << 10 | upper
    std::vector<int32_t> laterPairs;  // min-heap of the pairs found while the pass runs
  };

  State& state() {
    if (!state_) state_ = std::make_unique<State>();
    return *state_;
  }
  void propagate(State& s, const BallTable& balls, int slot, int32_t currentPair);

  std::unique_ptr<State> state_;
};

}  // namespace morvane
