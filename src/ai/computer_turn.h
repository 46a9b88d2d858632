#pragma once
// The computer's turn: put the cue ball down if it is in hand, search for a shot, spoil its aim
// by the difficulty level's error and arm the cue, which turns the view and fires later.
#include <cstdint>
#include <functional>

#include "ai/aim_search.h"
#include "ai/progress_reporter.h"
#include "ai/turn_context.h"

namespace morvane {

constexpr int maxPlacementRefusals = 100000;
constexpr float placementScanStep = 10.0f;
constexpr int maxPlacementScanPoints = 201;  // per axis; the step grows for arenas over 1000 wide

// The whole turn, with the search on the given worker threads. Runs inside the tick; returns
// with computerShotPending set. An exception from the progress report or from a trial leaves
// the turn with the workers idle again (and the shot not armed).
SearchOutcome computerTurn(TurnContext& turn, ProgressReporter& progress, TrialWorkers& workers);

// Finds the shot for the cue ball where it lies: sets aim (and the cue's strength); the rest of
// the turn is the same whichever search runs.
using ShotSearch = std::function<SearchOutcome(const AimGeometry&, const CandidateList&, Vec3& aim)>;

// The turn around a given search: placement if in hand, candidates, the search, the progress
// bar hidden, aim error, the cue aimed and computerShotPending set.
SearchOutcome turnAroundSearch(TurnContext& turn, ProgressReporter& progress, const ShotSearch& search);

// Random points (x, y, z drawn in this order) until one passes cueBallPlacementOk; after 100000
// refusals the first legal point of a scan of the arena in steps of 10 (x outermost), and if
// there is none the arena centre. Puts the cue ball there at rest and clears ballInHand.
void computerPlacesCueBall(World& world, MatchState& match, Random& random);

// cueDirection = aim x (100 / |aim|); an aim without a length leaves the direction as it was.
void aimCue(CueState& cue, Vec3 aim);

}  // namespace morvane
