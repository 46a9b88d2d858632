#include "game/game.h"

#include "rules/referee.h"
#include "rules/scoring.h"
#include "rules/setup.h"
#include "world/step.h"

namespace morvane {

SilentSink Game::silentSink;
MatchHooks Game::inertHooks;

void startMatch(Game& game, const MatchSettings& settings, int32_t firstPlayer) {
  game.settings = settings;
  game.match.currentPlayer = firstPlayer;
  game.camera = Camera{};
  game.cue = CueState{};
  game.match.ballInHand = 1;
  layOutRound(game.world, game.match, game.settings, game.random, *game.hooks);
}

bool gameTick(Game& game, uint32_t nowMs) {
  if (!game.tickTimer.hasElapsed(nowMs)) return false;
  game.tickTimer.restart(nowMs, tickIntervalMs);

  SoundSink& sounds = *game.sounds;
  applyCameraKeys(game.camera, game.cameraKeys, game.match);
  applyAimKeys(game.cue, game.aimKeys);
  WholeTable passes(game.collisions);
  ScoringListener scoring(game.match, game.settings);
  stepWorld(game.world, passes, FirstTouch{game.match.cueBallTouched, game.match.foulCommitted, game.match.targetColour},
            scoring, sounds);
  updateRules(game.world, game.match, game.settings, game.random, *game.hooks);
  if (computerAimStep(game.camera, game.cue, game.match, game.computerAimTimer, nowMs)) {
    fireComputerShot(game.world, game.match, game.cue, sounds);
  }
  return true;
}

}  // namespace morvane
