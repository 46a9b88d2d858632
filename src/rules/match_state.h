#pragma once
// The match's record: whose turn, scores, multipliers, rounds and the flags of the shot.
// Flags are 0 or 1; pairs are indexed by player (0 = player 1).
#include <array>
#include <cstdint>

#include "world/ball.h"

namespace morvane {

struct MatchState {
  int32_t breakShotPending = 1;  // the next shot is the first of a diamond rack
  int32_t currentPlayer = 0;
  int32_t ballPocketedThisShot = 0;  // any ball, the cue ball included
  int32_t cueBallTouched = 0;
  int32_t foulCommitted = 0;
  int32_t shotInProgress = 0;  // struck, not yet evaluated
  int32_t ballInHand = 1;      // the cue ball must be placed before the next shot
  std::array<float, 2> scores{0.0f, 0.0f};
  std::array<int32_t, 2> roundsWon{0, 0};
  std::array<float, 2> multipliers{1.0f, 1.0f};
  std::array<float, 2> turnStartScores{0.0f, 0.0f};  // a foul puts the shooter back here
  int32_t pocketStreak = 0;  // legal balls so far in this shot
  int32_t computerShotPending = 0;
  BallColour targetColour = colourCueBall;  // lowest colour on the table; 99 when none

  friend bool operator==(const MatchState&, const MatchState&) = default;
};

}  // namespace morvane
