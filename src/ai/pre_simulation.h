#pragma once
// Playing a candidate shot out in advance, silently, and putting everything back: the
// computer's way of knowing what a shot will do before it commits to it.
#include "ai/trial_simulator.h"

namespace morvane {

// The trial on a copy of the tables: cueDirection = aim x (100 / |aim|), a silent strike with the
// table's shotStrength, steps until rest or a foul. True when no foul was committed, the cue
// ball touched a ball and, if requirePocket, a ball fell. The table is left as it was except
// pocketStreak and a shotStrength above 200, which the strike sets as the real shot will.
bool preSimulateShot(ShotTable& table, const MatchSettings& settings, Vec3 aim, bool requirePocket);

}  // namespace morvane
