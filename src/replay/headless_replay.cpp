#include "replay/headless_replay.h"

#include <memory>

#include "game/computer_player.h"

namespace morvane {
namespace {

class SilentProgress final : public ProgressReporter {
 public:
  void report(const std::string&, float) override {}
};

}  // namespace

void HeadlessComputer::takeComputerTurn() {
  SilentProgress silent;
  playComputerTurn(game_, silent, workers_);
}

ReplayVerdict replayHeadless(const Recording& recording) {
  auto game = std::make_unique<Game>();
  HeadlessComputer computer(*game);
  game->hooks = &computer;
  Replayer replayer(recording, *game);
  replayer.startMatch();
  while (!replayer.done()) replayer.step();
  return replayer.verdict();
}

}  // namespace morvane
