#pragma once
// What the soak checks while computers play each other: after every tick, and around every
// computer turn. Each check returns the first fault it finds as a sentence, or nothing.
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "game/game.h"

namespace morvane::soak {

// How far past a wall a ball's centre may stand during play: it moves at most 40 a step, is
// turned only once its contact position is passed, and a collision may push a ball that rests
// past its contact position out by one more step before the wall turns it.
constexpr float escapeMargin = ballRadius + 2.0f * contactDistance;

// The table after a tick against the table before it.
class TickChecks {
 public:
  // Remembers which slots were active, the ball in hand, and whether object balls were left.
  void before(const Game& game);
  // setUp: a round was laid out during the tick (a new rack may appear).
  std::optional<std::string> after(const Game& game, bool setUp) const;

 private:
  std::array<uint8_t, ballCount> active_{};
  bool ballInHand_ = false;
};

// A freshly laid out round: every ball within the walls, an active pocket with its centre within
// them, the cue ball off the table (its slot may hold a coloured ball in the largest chaotic
// rack).
std::optional<std::string> checkLayout(const Game& game);

// No active ball with a coordinate that is not finite, or standing farther past a wall than
// play can carry it.
std::optional<std::string> checkBalls(const World& world);

// The computer's turn may place the cue ball, and it aims and arms the cue; the search itself
// must leave the world and the score state exactly as it found them.
class TurnCheck {
 public:
  TurnCheck();
  ~TurnCheck();
  void before(const Game& game);
  std::optional<std::string> after(const Game& game);

 private:
  std::unique_ptr<World> world_;  // the world before the turn, then scratch for the comparison
  MatchState match_;
  uint64_t hash_ = 0;
};

}  // namespace morvane::soak
