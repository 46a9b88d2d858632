#pragma once
// The referee: the shot, the once-per-tick judgement of the table, and the queries the HUD reads.
#include "rules/cue_state.h"
#include "math/random.h"
#include "rules/match_hooks.h"
#include "rules/match_state.h"
#include "rules/match_settings.h"
#include "world/world.h"

namespace morvane {

// Starts a shot along cueDirection with 100 x shotStrength, unless a ball moves or the cue ball
// is in hand. Caps the stored strength at 200. Does not look at whose turn it is.
void strikeCueBall(World& world, MatchState& match, CueState& cue, SoundSink& sounds);

// The computer's armed shot, once its aim is shown: computerShotPending cleared, the strike.
void fireComputerShot(World& world, MatchState& match, CueState& cue, SoundSink& sounds);

// Once per tick, in order: match over, round over, computer to move, shot finished.
void updateRules(World& world, MatchState& match, const MatchSettings& settings, Random& random,
                 MatchHooks& hooks);

// Every slot 0..998 is empty; the cue ball's slot is not looked at.
bool noObjectBallsLeft(const World& world);
// With multipliers always; otherwise the trailing player can still draw level.
bool roundUndecided(const World& world, const MatchState& match, const MatchSettings& settings);
// The score past which the player to move holds more than half of all points still in play.
int32_t winningScore(const World& world, const MatchState& match);
// One more ball of the target colour would decide the round for the player to move.
bool nextPocketWinsRound(const World& world, const MatchState& match);
// ...and that round would also give the player more than half of the rounds.
bool nextPocketWinsMatch(const World& world, const MatchState& match, const MatchSettings& settings);
// No ball centre closer than 40, inside no active pocket, within -H..H on every axis.
bool cueBallPlacementOk(const World& world, Vec3 point);
// The player to move is controlled by the computer.
bool computerToMove(const MatchState& match, const MatchSettings& settings);

}  // namespace morvane
