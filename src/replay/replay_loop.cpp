#include "replay/replay_loop.h"

namespace morvane {

bool runReplayLoop(Game& game, Replayer& replayer, LoopPlatform& platform, FrameDrawer& drawer) {
  const uint32_t startMs = platform.nowMs();
  std::optional<uint32_t> firstTickMs;
  while (!replayer.done()) {
    InputEvent event;
    while (platform.pollEvent(event)) {
      if (event.kind == EventKind::quit) return false;
    }
    const std::optional<uint32_t> tickMs = replayer.nextTickMs();
    if (tickMs && !firstTickMs) firstTickMs = tickMs;
    const uint32_t now = platform.nowMs();
    if (tickMs && now - startMs < *tickMs - *firstTickMs) {
      offerFrame(game, now, drawer);
      platform.waitForEventOrNextStep();
      continue;
    }
    replayer.step();
    offerFrame(game, now, drawer);
  }
  return true;
}

}  // namespace morvane
