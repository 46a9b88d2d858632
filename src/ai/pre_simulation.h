#pragma once
// Playing a candidate shot out in advance, silently, and putting everything back: the
// computer's way of knowing what a shot will do before it commits to it.
#include "ai/trial_simulator.h"
#include "game/game.h"

namespace morvane {

// The trial on a copy of the tables: cueDirection = aim x (100 / |aim|), a silent strike with the
// table's shotStrength, steps until rest or a foul. True when no foul was committed, the cue
// ball touched a ball and, if requirePocket, a ball fell. The table is left as it was except
// pocketStreak and a shotStrength above 200, which the strike sets as the real shot will.
bool preSimulateShot(ShotTable& table, const MatchSettings& settings, Vec3 aim, bool requirePocket);

// The trial's shot itself with the straightforward passes (every slot stepped, every pair
// tested, every pocket against every ball: collideBallsAllPairs, pocketBallsEveryPocket), left as it ends: at rest, or after the step in
// which a foul happened. Returns the trial's verdict.
bool playTrialWithFullPasses(World& world, MatchState& match, CueState& cue, const MatchSettings& settings,
                             Vec3 aim, bool requirePocket);

// The same trial played on the live game with the straightforward passes (every slot, every
// pair), saving and restoring the tables around it. The reference for the fast trials.
bool preSimulateShotInPlace(Game& game, Vec3 aim, bool requirePocket);

}  // namespace morvane
