#pragma once
// The parts of the game that the computer's turn reads and writes, lent by the game for the
// length of one turn.
#include "math/random.h"
#include "rules/cue_state.h"
#include "rules/match_settings.h"
#include "rules/match_state.h"
#include "world/world.h"

namespace morvane {

struct TurnContext {
  World& world;
  MatchState& match;
  const MatchSettings& settings;
  CueState& cue;
  Random& random;
};

}  // namespace morvane
