#include "game/game.h"

#include "rules/referee.h"
#include "rules/scoring.h"
#include "rules/setup.h"

namespace morvane {

SilentSink Game::silentSink;
MatchHooks Game::inertHooks;

void startMatch(Game& game, const MatchSettings& settings, int32_t firstPlayer) {
  game.settings = settings;
  game.match.currentPlayer = firstPlayer;
  game.camera = Camera{};
  game.cue = CueState{};
  game.match.ballInHand = 1;
  setUpMatch(game.world, game.match, game.settings, game.random, *game.hooks);
}

bool gameTick(Game& game, uint32_t nowMs) {
  if (!game.tickTimer.hasElapsed(nowMs)) return false;
  game.tickTimer.restart(nowMs, tickIntervalMs);

  SoundSink& sounds = *game.sounds;
  applyCameraKeys(game.camera, game.cameraKeys, game.match);
  applyAimKeys(game.cue, game.aimKeys);
  moveAllBalls(game.world, sounds);
  collideBalls(game.world, game.collisions,
               FirstTouch{game.match.cueBallTouched, game.match.foulCommitted, game.match.targetColour}, sounds);
  ScoringListener scoring(game.match, game.settings);
  pocketBalls(game.world, scoring, sounds);
  updateRules(game.world, game.match, game.settings, game.random, *game.hooks);
  computerAimStep(game.camera, game.cue, game.world, game.match, game.computerAimTimer, nowMs, sounds);
  return true;
}

}  // namespace morvane
