#pragma once
// The application's side of the game: sounds through the mixer, frames through the render
// thread, and the end of a match on screen.
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "ai/trial_workers.h"
#include "app/frame_drawers.h"
#include "graphics/render_thread.h"
#include "platform/game_window.h"
#include "rules/match_hooks.h"
#include "sound/sound_bank.h"

namespace morvane {

class LiveMatchHooks final : public MatchHooks {
 public:
  LiveMatchHooks(Game& game, SoundBank& sounds, const TickCounter& clock, GameWindow& window, RenderThread& render,
                 SnapshotFrameDrawer& drawer, TrialWorkers& trialWorkers, std::vector<std::string> rematchArguments)
      : game_(game), sounds_(sounds), clock_(clock), window_(window), render_(render), drawer_(drawer),
        trialWorkers_(trialWorkers), rematchArguments_(std::move(rematchArguments)) {}

  // Run first at the match's end; an exit code ends the game there instead of the restart
  // (a replay), none lets it start anew (a recording is finished on the way).
  void onMatchEnd(std::function<std::optional<int>()> atMatchEnd) { atMatchEnd_ = std::move(atMatchEnd); }

  void loadSounds() override;
  void buildSphereMesh() override;
  void takeComputerTurn() override;
  [[noreturn]] void endMatch(int winner, const std::string& messageCp1250) override;

 private:
  Game& game_;
  SoundBank& sounds_;
  const TickCounter& clock_;
  GameWindow& window_;
  RenderThread& render_;
  SnapshotFrameDrawer& drawer_;
  TrialWorkers& trialWorkers_;
  std::vector<std::string> rematchArguments_;  // the command line less --no-dialog
  std::function<std::optional<int>()> atMatchEnd_;
};

}  // namespace morvane
