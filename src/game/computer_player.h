#pragma once
// The computer's turn played on the live game: the game lends its tables to the search, the
// progress bar is the game's overlay, and the view jumps to the cue ball once the shot is armed.
#include <cstdint>
#include <functional>
#include <string>

#include "ai/computer_turn.h"
#include "ai/progress_reporter.h"
#include "ai/trial_workers.h"
#include "game/game.h"
#include "game/main_loop.h"

namespace morvane {

// The game's tables, match, settings, cue and generator, as the computer's turn sees them.
TurnContext turnContext(Game& game);

// The live game's reporter: showProgress, which stores the caption and offers a frame.
class ShowProgressReporter final : public ProgressReporter {
 public:
  ShowProgressReporter(Game& game, FrameDrawer& drawer, std::function<uint32_t()> nowMs)
      : game_(game), drawer_(drawer), nowMs_(std::move(nowMs)) {}
  void report(const std::string& captionCp1250, float fraction) override;
  void hide() override;

 private:
  Game& game_;
  FrameDrawer& drawer_;
  std::function<uint32_t()> nowMs_;
};

// computerShotPending = 1, and the eye moves to the cue ball if it is on the table.
void armComputerShot(Game& game);

// The whole turn on the live game, the search on the given workers; returns with the shot armed.
// What the game's MatchHooks::takeComputerTurn runs, with a ShowProgressReporter.
SearchOutcome playComputerTurn(Game& game, ProgressReporter& progress, TrialWorkers& workers);

}  // namespace morvane
