#include "game/computer_player.h"

namespace morvane {

TurnContext turnContext(Game& game) {
  return TurnContext{game.world, game.match, game.settings, game.cue, game.random};
}

void ShowProgressReporter::report(const std::string& captionCp1250, float fraction) {
  showProgress(game_, captionCp1250, fraction, nowMs_(), drawer_);
}

void ShowProgressReporter::hide() { game_.progress.progressVisible = 0; }

void armComputerShot(Game& game) {
  game.match.computerShotPending = 1;
  const Ball& cueBall = game.world.balls[cueBallSlot];
  if (cueBall.active != 0) game.camera.eye = cueBall.position;
}

SearchOutcome playComputerTurn(Game& game, ProgressReporter& progress, TrialWorkers& workers) {
  TurnContext turn = turnContext(game);
  const SearchOutcome outcome = computerTurn(turn, progress, workers);
  armComputerShot(game);
  return outcome;
}


}  // namespace morvane
