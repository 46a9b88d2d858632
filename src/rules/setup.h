#pragma once
// Laying out a round: the rack, the pockets and the round's score state.
#include "math/random.h"
#include "rules/chaotic_pockets.h"
#include "rules/match_hooks.h"
#include "rules/match_state.h"
#include "rules/match_settings.h"
#include "world/world.h"

namespace morvane {

// A round's layout that cannot be played to its end (a racked ball outside the walls, or no
// active pocket within them) is laid out again, with the generator as it stands, at most this
// many times.
constexpr int maxLayoutRepeats = 1000;

// layOutPlayableRound, loadSounds, resetMatchState, buildSphereMesh, in this order.
// Leaves the cue ball, the rounds won, the player to move and the shot flags to the caller.
void layOutRound(World& world, MatchState& match, const MatchSettings& settings, Random& random,
                MatchHooks& hooks);

// The arena size from the settings, then rackBalls and placePockets: one layout of a round.
void layOutRound(World& world, const MatchSettings& settings, Random& random);

// Every active ball's centre within the walls (-H..H on each axis) and at least one active
// pocket with its centre within them: a round on this layout can be played to its end.
bool layoutPlayable(const World& world);

// layOutRound, repeated while the layout is not playable, at most maxRepeats more times. If the
// last one still is not, its balls outside the walls leave the table and, when no active pocket
// lies within the walls, pocket 0 is activated at the centre and the balls it holds leave the
// table.
// Returns the number of repeats made.
int layOutPlayableRound(World& world, const MatchSettings& settings, Random& random,
                        int maxRepeats = maxLayoutRepeats);

// The diamond of touching balls along x, or rackSize x 10 balls scattered at random, from slot 0.
void rackBalls(World& world, const MatchSettings& settings, Random& random);

// The 26 grid pockets against the walls, or 27 random pockets that hold no ball centre.
void placePockets(World& world, const MatchSettings& settings, Random& random);

// Target colour, scores, multipliers, turn-start scores, streak, foul and break flag.
void resetMatchState(const World& world, MatchState& match, const MatchSettings& settings);

}  // namespace morvane
