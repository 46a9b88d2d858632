#include "app/live_match_hooks.h"

#include <cstdio>
#include <cstdlib>

#include "game/computer_player.h"
#include "platform/audio_device.h"
#include "platform/message_box.h"
#include "platform/process.h"
#include "render/hud.h"
#include "graphics/sphere_mesh.h"
#include "text/cp1250.h"

namespace morvane {

void WindowFrameDrawer::drawFrame(const Game& game) {
  scene_.drawScene(game, window_.clientWidth(), window_.clientHeight());
  drawHud(game, window_.screenWidth(), window_.screenHeight());
  window_.swapBuffers();
}

void LiveMatchHooks::loadSounds() {
  if (auto failure = sounds_.loadSounds(clock_.nowMs())) stopOnLoadFailure(*failure);
}

void LiveMatchHooks::buildSphereMesh() { scene_.setSphereMesh(morvane::buildSphereMesh()); }

// The search holds this tick; its progress reports draw frames with the counter's time.
void LiveMatchHooks::takeComputerTurn() {
  ShowProgressReporter progress(game_, drawer_, [this] { return clock_.nowMs(); });
  playComputerTurn(game_, progress, trialWorkers_);
}

void LiveMatchHooks::endMatch(int, const std::string& messageCp1250) {
  window_.releaseForMatchEnd();
  showMessageBox(cp1250ToUtf8(messageCp1250), "", MessageIcon::none);
  restartSelf();
  std::exit(EXIT_FAILURE);
}

}  // namespace morvane
