#pragma once
// Laying out a round: the rack, the pockets and the round's score state.
#include "math/random.h"
#include "rules/match_hooks.h"
#include "rules/match_state.h"
#include "settings/match_settings.h"
#include "world/world.h"

namespace morvane {

// Chaotic pockets: after this many refused positions for one slot it stays inactive this round.
constexpr int maxPocketPlacementTries = 100000;

// rackBalls, placePockets, loadSounds, resetMatchState, buildSphereMesh, in this order.
// Leaves the cue ball, the rounds won, the player to move and the shot flags to the caller.
void setUpMatch(World& world, MatchState& match, const MatchSettings& settings, Random& random,
                MatchHooks& hooks);

// The diamond of touching balls along x, or rackSize x 10 balls scattered at random, from slot 0.
void rackBalls(World& world, const MatchSettings& settings, Random& random);

// The 26 grid pockets against the walls, or 27 random pockets that hold no ball centre.
void placePockets(World& world, const MatchSettings& settings, Random& random);

// Target colour, scores, multipliers, turn-start scores, streak, foul and break flag.
void resetMatchState(const World& world, MatchState& match, const MatchSettings& settings);

}  // namespace morvane
