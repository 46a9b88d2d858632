#pragma once
// The spine of the running game: at most one input event per pass, then a frame offer, then a
// tick offer. There is no catch-up; when nothing is due and no event waits, the loop sleeps.
#include <cstdint>
#include <string>

#include "game/game.h"
#include "game/input.h"

namespace morvane {

enum class EventKind { quit, keyDown, keyUp, buttonDown, buttonUp, motion, other };

struct InputEvent {
  EventKind kind = EventKind::other;
  GameKey key = GameKey::other;
  MouseButton button = MouseButton::other;
  MouseMotion motion;
};

// What the loop needs from the platform: the tick counter, events, sleeping, the cursor.
class LoopPlatform {
 public:
  virtual ~LoopPlatform() = default;
  // The tick counter in milliseconds; it advances in steps of 15.625 ms.
  virtual uint32_t nowMs() = 0;
  // Takes one waiting event, never waits. False when none is waiting.
  virtual bool pollEvent(InputEvent& event) = 0;
  // Sleeps until an event arrives or the tick counter advances.
  virtual void waitForEventOrNextStep() = 0;
  // Puts the cursor back at the client centre (the warp may produce a motion event).
  virtual void warpCursorToCentre() = 0;
  virtual int clientWidth() const = 0;
  virtual int clientHeight() const = 0;
};

// Draws one whole frame of the game and presents it.
class FrameDrawer {
 public:
  virtual ~FrameDrawer() = default;
  virtual void drawFrame(const Game& game) = 0;
};

// Told of every input handed to the game's controls, with the window size a motion was
// measured against, and after every pass that did not end the loop: the counter's time and
// whether the pass ticked (what --stats counts and a recording keeps).
class PassObserver {
 public:
  virtual ~PassObserver() = default;
  virtual void dispatched(const InputEvent& event, int clientWidth, int clientHeight) {
    (void)event, (void)clientWidth, (void)clientHeight;
  }
  virtual void afterPass(uint32_t nowMs, bool ticked) = 0;
};

// Draws a frame if renderTimer is due (more than 50 ms since the last drawn one). True if drawn.
bool offerFrame(Game& game, uint32_t nowMs, FrameDrawer& drawer);

// Hands one event to the game's controls.
void dispatchEvent(Game& game, const InputEvent& event, LoopPlatform& platform);

// One pass of the loop. False when a quit event ended the loop (no frame, no tick then).
bool runLoopPass(Game& game, LoopPlatform& platform, FrameDrawer& drawer, PassObserver* observer = nullptr);

// Passes until quit.
void runMainLoop(Game& game, LoopPlatform& platform, FrameDrawer& drawer, PassObserver* observer = nullptr);

// Stores the computer's progress caption (Windows-1250, cut to 199 bytes) and fraction, makes
// the bar visible and offers a frame.
void showProgress(Game& game, const std::string& captionCp1250, float fraction, uint32_t nowMs,
                  FrameDrawer& drawer);

}  // namespace morvane
