#include "reference/one_by_one_search.h"

#include "reference/world_passes.h"
#include "rules/referee.h"
#include "rules/scoring.h"

namespace morvane {

bool playTrialWithFullPasses(World& world, MatchState& match, CueState& cue, const MatchSettings& settings,
                             Vec3 aim, bool requirePocket) {
  SilentSink silence;
  cue.cueDirection = aim * (100.0f / length(aim));
  strikeCueBall(world, match, cue, silence);
  ScoringListener scoring(match, settings);
  // The rest test comes before each step: the trial ends with the step in which a foul happened.
  OneByOnePasses passes;
  while (!allBallsAtRest(world) && match.foulCommitted == 0) {
    stepWorld(world, passes, FirstTouch{match.cueBallTouched, match.foulCommitted, match.targetColour}, scoring,
              silence);
  }
  return match.foulCommitted == 0 && match.cueBallTouched != 0 &&
         (!requirePocket || match.ballPocketedThisShot != 0);
}

bool preSimulateShotInPlace(Game& game, Vec3 aim, bool requirePocket) {
  World& world = game.world;
  MatchState& match = game.match;
  const BallTable savedBalls = world.balls;
  const MatchState saved = match;
  const Vec3 savedDirection = game.cue.cueDirection;

  const bool accepted = playTrialWithFullPasses(world, match, game.cue, game.settings, aim, requirePocket);

  // The streak stays as the trial left it; the next real strike clears it anyway.
  world.balls = savedBalls;
  match.ballPocketedThisShot = saved.ballPocketedThisShot;
  match.cueBallTouched = saved.cueBallTouched;
  match.foulCommitted = saved.foulCommitted;
  match.shotInProgress = saved.shotInProgress;
  match.scores = saved.scores;
  match.multipliers = saved.multipliers;
  match.breakShotPending = saved.breakShotPending;
  game.cue.cueDirection = savedDirection;
  return accepted;
}

SearchOutcome searchAimOneByOne(Game& game, const AimGeometry& geometry, const CandidateList& list,
                                ProgressReporter& progress, Vec3& aim) {
  const Vec3 cue = game.world.balls[cueBallSlot].position;
  const float searchStrength = maxSearchStrength(game.world.arenaHalfSize);
  SearchOutcome outcome;

  for (int k = 0; k < list.count; ++k) {
    const int slot = list.slots[k];
    if (geometry.bestPocketCosine(cue, game.world.balls[slot].position, nullptr) >= 0.0f) break;
    Vec3 cutAim;
    if (!geometry.cutShotAim(cue, slot, cutAim)) continue;
    game.cue.shotStrength = cutShotStrength(game.match, searchStrength);
    progress.report(searchCaption('C', k, cutShotCaptionTotal), static_cast<float>(k * 0.001));
    ++outcome.trials;
    if (preSimulateShotInPlace(game, cutAim, true)) {
      progress.hide();
      aim = cutAim;
      return SearchOutcome{SearchPhase::cutShot, k, true, outcome.trials};
    }
  }

  const bool breakShot = game.match.breakShotPending != 0;
  for (int n = 1; n <= randomTryCount; ++n) {
    const RandomTry t = drawRandomTry(game.random, breakShot, searchStrength);
    aim = t.aim;
    game.cue.shotStrength = t.strength;
    progress.report(searchCaption('V', n, randomTryCaptionTotal), static_cast<float>(n * 0.0005));
    outcome.index = n;
    if (aim == Vec3{}) continue;
    ++outcome.trials;
    if (preSimulateShotInPlace(game, aim, n < pocketRequiredBelowTry)) {
      outcome.found = true;
      break;
    }
  }
  outcome.phase = SearchPhase::randomShot;
  progress.hide();
  return outcome;
}

SearchOutcome playComputerTurnOneByOne(Game& game, ProgressReporter& progress) {
  TurnContext turn = turnContext(game);
  const SearchOutcome outcome =
      turnAroundSearch(turn, progress, [&](const AimGeometry& geometry, const CandidateList& list, Vec3& aim) {
        return searchAimOneByOne(game, geometry, list, progress, aim);
      });
  armComputerShot(game);
  return outcome;
}

}  // namespace morvane
