#include "rules/scoring.h"

namespace morvane {

int32_t colourValue(BallColour colour) {
  switch (colour) {
    case colourBlue: return 1;
    case colourGreen: return 2;
    case colourRed: return 5;
    default: return 0;
  }
}

void scorePocketedBall(Ball& ball, MatchState& match, const MatchSettings& settings) {
  ball.active = 0;
  match.ballPocketedThisShot = 1;
  if (ball.colour != match.targetColour) match.foulCommitted = 1;
  if (ball.colour == colourCueBall) match.foulCommitted = 1;
  if (match.foulCommitted != 0) return;

  if (settings.multiplierEnabled != 0) {
    ++match.pocketStreak;
  } else {
    match.pocketStreak = 1;
  }
  const int32_t value = colourValue(ball.colour);
  const int32_t streak = match.pocketStreak;
  const int player = match.currentPlayer;
  // Product and sum in double, one rounding to float when stored.
  match.scores[player] = static_cast<float>(static_cast<double>(match.scores[player]) +
                                            static_cast<double>(value) * match.multipliers[player] * streak);
  if (settings.multiplierEnabled != 0) {
    match.multipliers[player] += static_cast<float>(static_cast<int64_t>(value) * streak);
  }
}

int32_t remainingPoints(const World& world) {
  int32_t sum = 0;
  for (const Ball& ball : world.balls) {
    if (ball.active != 0) sum += colourValue(ball.colour);
  }
  return sum;
}

BallColour lowestColourOnTable(const World& world) {
  BallColour lowest = colourCueBall;
  for (const Ball& ball : world.balls) {
    if (ball.active != 0 && ball.colour < lowest) lowest = ball.colour;
  }
  return lowest;
}

}  // namespace morvane
