#pragma once
// A recording replayed without a window or sound, as the tests do: its own file, so that the
// game, which never calls it, does not carry it.
#include "ai/trial_workers.h"
#include "replay/replayer.h"

namespace morvane {

// The computer's turn without a window: searched on these workers, reported nowhere.
class HeadlessComputer final : public MatchHooks {
 public:
  explicit HeadlessComputer(Game& game) : game_(game), workers_(defaultTrialWorkerCount()) {}
  void takeComputerTurn() override;

 private:
  Game& game_;
  TrialWorkers workers_;
};

// Replays a whole recording without a window or sound; the computer plays on its own workers.
ReplayVerdict replayHeadless(const Recording& recording);

}  // namespace morvane
