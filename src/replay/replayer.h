#pragma once
// A recording played back onto a game: the match started as it was, the inputs handed to the
// controls as the loop handed them, each tick run at its recorded counter value and its world
// compared with the recorded hash. The same steps drive the windowed replay and the headless one.
#include <cstdint>
#include <optional>
#include <string>

#include "game/game.h"
#include "replay/recording.h"

namespace morvane {

struct ReplayVerdict {
  uint64_t ticks = 0;                            // ticks replayed
  std::optional<uint64_t> firstDifferentTick;    // 1-based; empty when every world matched
  bool matches() const { return !firstDifferentTick && ticks > 0; }
  // One line for the player: whether the world matches, and where it first differs.
  std::string summary(uint64_t recordedTicks) const;
};

class Replayer final : private MatchHooks {
 public:
  // The game keeps its hooks (the live ones, or none); the replayer stands in front of them to
  // take the world's hash the moment a match ends, where the recording took it.
  Replayer(const Recording& recording, Game& game);
  Replayer(const Replayer&) = delete;
  Replayer& operator=(const Replayer&) = delete;

  // Settings, generator and first player as the recording started; the first round laid out.
  void startMatch();
  bool done() const { return next_ == recording_.steps.size(); }
  // The counter value of the next step if it is a tick; empty for an input or at the end.
  std::optional<uint32_t> nextTickMs() const;
  // Applies the next step: an input to the controls, or a tick and the check of its world.
  void step();
  const ReplayVerdict& verdict() const { return verdict_; }
  uint64_t recordedTicks() const { return recording_.ticks; }

 private:
  void loadSounds() override { inner_.loadSounds(); }
  void buildSphereMesh() override { inner_.buildSphereMesh(); }
  void takeComputerTurn() override { inner_.takeComputerTurn(); }
  void endMatch(int winner, const std::string& messageCp1250) override;
  void checkTick(uint64_t worldHashAfter);

  const Recording& recording_;
  Game& game_;
  MatchHooks& inner_;
  std::size_t next_ = 0;
  ReplayVerdict verdict_;
};

}  // namespace morvane
