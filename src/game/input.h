#pragma once
// The game's own key and button values, by the label on the key, and their dispatch.
// The platform layer translates its events into these; nothing here knows the platform.
#include "game/game.h"

namespace morvane {

// Cursor-block keys and Enter arrive as their keypad twins (Down arrow = keypad 2, ...).
enum class GameKey {
  other,
  keypad0, keypad1, keypad2, keypad3, keypad4, keypad5, keypad6, keypad7, keypad8, keypad9,
  keypadPoint, keypadPlus, enter,
  space, r, f1, w, a, s, d, q, e,
};

enum class MouseButton { left, right, other };

struct MouseMotion {
  int x = 0;
  int y = 0;
  bool ctrl = false;
  bool shift = false;
  bool anyButton = false;  // any mouse button held
};

// A key went down (auto-repeat included): sets its held flag or runs its one-shot action.
// SPACE does nothing while a computer shot is pending.
void keyDown(Game& game, GameKey key);
// A key came up: clears its held flag.
void keyUp(Game& game, GameKey key);
// Left press places the cue ball when it is in hand, otherwise raises the strength.
void mouseButtonDown(Game& game, MouseButton button);
void mouseButtonUp(Game& game, MouseButton button);
// Mouse look, then CTRL aiming when CTRL alone is held. True when the cursor must be warped
// back to the client centre.
bool mouseMoved(Game& game, const MouseMotion& motion, int clientWidth, int clientHeight);

}  // namespace morvane
