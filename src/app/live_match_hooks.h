#pragma once
// The application's side of the game: sounds through the mixer, the ball mesh and frames
// through the renderer, and the end of a match on screen.
#include "ai/trial_workers.h"
#include "game/main_loop.h"
#include "platform/game_window.h"
#include "render/scene.h"
#include "rules/match_hooks.h"
#include "sound/sound_bank.h"

namespace morvane {

// Draws the 3-D scene and the overlay, then presents the frame.
class WindowFrameDrawer final : public FrameDrawer {
 public:
  WindowFrameDrawer(SceneRenderer& scene, GameWindow& window) : scene_(scene), window_(window) {}
  void drawFrame(const Game& game) override;

 private:
  SceneRenderer& scene_;
  GameWindow& window_;
};

class LiveMatchHooks final : public MatchHooks {
 public:
  LiveMatchHooks(Game& game, SoundBank& sounds, const TickCounter& clock, SceneRenderer& scene,
               GameWindow& window, FrameDrawer& drawer, TrialWorkers& trialWorkers)
      : game_(game), sounds_(sounds), clock_(clock), scene_(scene), window_(window), drawer_(drawer),
        trialWorkers_(trialWorkers) {}

  void loadSounds() override;
  void buildSphereMesh() override;
  void takeComputerTurn() override;
  [[noreturn]] void endMatch(int winner, const std::string& messageCp1250) override;

 private:
  Game& game_;
  SoundBank& sounds_;
  const TickCounter& clock_;
  SceneRenderer& scene_;
  GameWindow& window_;
  FrameDrawer& drawer_;
  TrialWorkers& trialWorkers_;
};

}  // namespace morvane
