#include "ai/pre_simulation.h"

#include <memory>

#include "rules/referee.h"
#include "rules/scoring.h"

namespace morvane {

bool preSimulateShot(ShotTable& table, const MatchSettings& settings, Vec3 aim, bool requirePocket) {
  auto simulator = std::make_unique<TrialSimulator>();  // some 80 KB: not for the stack
  simulator->setBase(table, settings);
  const TrialOutcome outcome = simulator->play(aim, table.cue.shotStrength, requirePocket);
  table.match.pocketStreak = outcome.pocketStreak;
  table.cue.shotStrength = outcome.shotStrength;
  return outcome.accepted;
}

bool playTrialWithFullPasses(World& world, MatchState& match, CueState& cue, const MatchSettings& settings,
                             Vec3 aim, bool requirePocket) {
  SilentSink silence;
  cue.cueDirection = aim * (100.0f / length(aim));
  strikeCueBall(world, match, cue, silence);
  ScoringListener scoring(match, settings);
  // The rest test comes before each step: the trial ends with the step in which a foul happened.
  while (!allBallsAtRest(world) && match.foulCommitted == 0) {
    for (Ball& ball : world.balls) ball.step(world.arenaHalfSize, silence);
    collideBallsAllPairs(world, FirstTouch{match.cueBallTouched, match.foulCommitted, match.targetColour},
                         silence);
    pocketBallsEveryPocket(world, scoring, silence);
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

}  // namespace morvane
