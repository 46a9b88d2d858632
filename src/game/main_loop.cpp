#include "game/main_loop.h"

namespace morvane {

bool offerFrame(Game& game, uint32_t nowMs, FrameDrawer& drawer) {
  if (!game.renderTimer.hasElapsed(nowMs)) return false;
  game.renderTimer.restart(nowMs, renderIntervalMs);
  drawer.drawFrame(game);
  return true;
}

void dispatchEvent(Game& game, const InputEvent& event, LoopPlatform& platform) {
  switch (event.kind) {
    case EventKind::keyDown: keyDown(game, event.key); break;
    case EventKind::keyUp: keyUp(game, event.key); break;
    case EventKind::buttonDown: mouseButtonDown(game, event.button); break;
    case EventKind::buttonUp: mouseButtonUp(game, event.button); break;
    case EventKind::motion:
      if (mouseMoved(game, event.motion, platform.clientWidth(), platform.clientHeight())) {
        platform.warpCursorToCentre();
      }
      break;
    case EventKind::quit:
    case EventKind::other: break;
  }
}

bool runLoopPass(Game& game, LoopPlatform& platform, FrameDrawer& drawer, PassObserver* observer) {
  InputEvent event;
  const bool gotEvent = platform.pollEvent(event);
  if (gotEvent) {
    if (event.kind == EventKind::quit) return false;
    // Told before it acts: a recording keeps the size the motion was measured against.
    if (observer != nullptr) observer->dispatched(event, platform.clientWidth(), platform.clientHeight());
    dispatchEvent(game, event, platform);
  }
  const bool drew = offerFrame(game, platform.nowMs(), drawer);
  const bool ticked = gameTick(game, platform.nowMs());
  if (observer != nullptr) observer->afterPass(platform.nowMs(), ticked);
  // Nothing can become due before the counter's next step or the next event.
  if (!gotEvent && !drew && !ticked) platform.waitForEventOrNextStep();
  return true;
}

void runMainLoop(Game& game, LoopPlatform& platform, FrameDrawer& drawer, PassObserver* observer) {
  while (runLoopPass(game, platform, drawer, observer)) {
  }
}

void showProgress(Game& game, const std::string& captionCp1250, float fraction, uint32_t nowMs,
                  FrameDrawer& drawer) {
  game.progress.progressCaption = captionCp1250.substr(0, maxProgressCaptionBytes);
  game.progress.progressFraction = fraction;
  game.progress.progressVisible = 1;
  offerFrame(game, nowMs, drawer);
}

}  // namespace morvane
