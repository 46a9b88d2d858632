#include "app/live_match_hooks.h"

#include <SDL.h>

#include <cstdio>
#include <cstdlib>

#include "game/computer_player.h"
#include "platform/audio_device.h"
#include "platform/message_box.h"
#include "platform/process.h"
#include "text/cp1250.h"

namespace morvane {

void LiveMatchHooks::loadSounds() {
  if (auto failure = sounds_.loadSounds(clock_.nowMs())) {
    render_.stop();  // nothing may draw while the process ends
    stopOnLoadFailure(*failure);
  }
}

// The mesh itself is built on the render thread, which owns what draws it.
void LiveMatchHooks::buildSphereMesh() { drawer_.newSphereMesh(); }

// The search holds this tick; its progress reports hand frames to the render thread with the
// counter's time.
void LiveMatchHooks::takeComputerTurn() {
  ShowProgressReporter progress(game_, drawer_, [this] { return clock_.nowMs(); });
  playComputerTurn(game_, progress, trialWorkers_);
}

void LiveMatchHooks::endMatch(int, const std::string& messageCp1250) {
  const std::optional<int> exitCode = atMatchEnd_ ? atMatchEnd_() : std::nullopt;
  render_.stop();
  window_.releaseForMatchEnd();
  showMessageBox(cp1250ToUtf8(messageCp1250), "", MessageIcon::none);
  if (exitCode) {
    SDL_Quit();
    std::exit(*exitCode);
  }
  restartSelf(rematchArguments_);
  std::exit(EXIT_FAILURE);
}

}  // namespace morvane
