#pragma once
// Points by colour, the target colour and the scoring of a pocketed ball.
#include <cstdint>

#include "rules/match_state.h"
#include "rules/match_settings.h"
#include "world/world.h"

namespace morvane {

// Blue 1, green 2, red 5, anything else (the cue ball) 0.
int32_t colourValue(BallColour colour);

// Takes the ball off the table and scores it: a wrong colour or the cue ball is a foul, and
// after a foul nothing more scores in this shot.
void scorePocketedBall(Ball& ball, MatchState& match, const MatchSettings& settings);

// Sum of colourValue over the active slots 0..999.
int32_t remainingPoints(const World& world);

// 99, lowered to the colour of every active slot whose colour is lower.
BallColour lowestColourOnTable(const World& world);

// The PocketListener that scores every pocketed ball against a match.
class ScoringListener final : public PocketListener {
 public:
  ScoringListener(MatchState& match, const MatchSettings& settings) : match_(match), settings_(settings) {}
  void ballPocketed(Ball& ball) override { scorePocketedBall(ball, match_, settings_); }

 private:
  MatchState& match_;
  const MatchSettings& settings_;
};

}  // namespace morvane
