#include "ai/computer_turn.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include "rules/referee.h"

namespace morvane {
namespace {

void placeCueBall(World& world, MatchState& match, Vec3 point) {
  world.balls[cueBallSlot].init(point, Vec3{}, colourCueBall);
  match.ballInHand = 0;
}

// The first legal point of a grid over the arena, x outermost, from -H to H. False if none.
bool scanForPlacement(const World& world, Vec3& point) {
  const float h = world.arenaHalfSize;
  if (!(h >= 0.0f)) return false;
  const float step = std::max(placementScanStep, 2.0f * h / (maxPlacementScanPoints - 1));
  const int points = static_cast<int>(2.0f * h / step) + 1;
  for (int i = 0; i < points; ++i) {
    for (int j = 0; j < points; ++j) {
      for (int k = 0; k < points; ++k) {
        const Vec3 candidate{-h + step * static_cast<float>(i), -h + step * static_cast<float>(j),
                             -h + step * static_cast<float>(k)};
        if (cueBallPlacementOk(world, candidate)) {
          point = candidate;
          return true;
        }
      }
    }
  }
  return false;
}

}  // namespace

void computerPlacesCueBall(World& world, MatchState& match, Random& random) {
  const float h = world.arenaHalfSize;
  for (int refused = 0; refused < maxPlacementRefusals; ++refused) {
    const float x = randomCoordinate(random, h);
    const float y = randomCoordinate(random, h);
    const float z = randomCoordinate(random, h);
    const Vec3 point{x, y, z};
    if (cueBallPlacementOk(world, point)) {
      placeCueBall(world, match, point);
      return;
    }
  }
  // An arena too crowded for random points: rather a spot found by scanning, or the centre,
  // than a turn that never ends.
  Vec3 point{};
  scanForPlacement(world, point);
  placeCueBall(world, match, point);
}

void aimCue(CueState& cue, Vec3 aim) {
  const float aimLength = length(aim);
  // A zero aim would give a NaN direction, and a cue ball that never comes to rest.
  if (!(aimLength > 0.0f) || !std::isfinite(aimLength)) return;
  cue.cueDirection = aim * (100.0f / aimLength);
}

SearchOutcome turnAroundSearch(TurnContext& turn, ProgressReporter& progress, const ShotSearch& search) {
  if (turn.match.ballInHand != 0) computerPlacesCueBall(turn.world, turn.match, turn.random);
  // Built after the placement: the candidates are ordered for the cue ball's new spot.
  const auto geometry = std::make_unique<AimGeometry>(turn.world);
  const auto list = std::make_unique<CandidateList>();
  buildCandidates(turn.world, *geometry, turn.match.targetColour, *list);
  Vec3 aim{};
  const SearchOutcome outcome = search(*geometry, *list, aim);
  progress.hide();
  applyAimError(aim, turn.settings.aimError, turn.random);
  aimCue(turn.cue, aim);
  turn.match.computerShotPending = 1;
  return outcome;
}

SearchOutcome computerTurn(TurnContext& turn, ProgressReporter& progress, TrialWorkers& workers) {
  return turnAroundSearch(turn, progress, [&](const AimGeometry& geometry, const CandidateList& list, Vec3& aim) {
    return searchAim(turn, geometry, list, progress, aim, workers);
  });
}

}  // namespace morvane
