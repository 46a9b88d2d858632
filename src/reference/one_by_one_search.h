#pragma once
// The computer's search played the straightforward way: one trial after another on the live
// game, each with the full passes (every slot stepped, every pair tested, every pocket against
// every ball) and the tables restored after it. What the search on the worker threads must
// reproduce bit for bit; not part of the game.
#include "ai/computer_turn.h"
#include "game/computer_player.h"

namespace morvane {

// The trial's shot on the given tables with collideBallsAllPairs and pocketBallsEveryPocket:
// cueDirection = aim x (100 / |aim|), a silent strike, steps until rest or a foul (the step of
// the foul is played out). Leaves the tables as the trial ends; returns its verdict.
bool playTrialWithFullPasses(World& world, MatchState& match, CueState& cue, const MatchSettings& settings,
                             Vec3 aim, bool requirePocket);

// The same trial on the live game, saving and restoring the tables around it; the pocket streak
// and a strength above 200 stay as the trial leaves them, as the real shot will set them.
bool preSimulateShotInPlace(Game& game, Vec3 aim, bool requirePocket);

// Cut shots in candidate order, then up to 2001 random tries, each played in place.
SearchOutcome searchAimOneByOne(Game& game, const AimGeometry& geometry, const CandidateList& list,
                                ProgressReporter& progress, Vec3& aim);

// The computer's whole turn around searchAimOneByOne.
SearchOutcome playComputerTurnOneByOne(Game& game, ProgressReporter& progress);

}  // namespace morvane
