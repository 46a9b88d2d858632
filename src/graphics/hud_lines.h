#pragma once
// What the overlay says and where: the status lines, the help screen and the progress bar's
// shape, worked out from the game state as plain values. The GL drawing lives in hud.cpp.
// Overlay coordinates: x from the left edge, y from the top edge, in pixels; a text position
// is the left end of the text's baseline.
#include <optional>
#include <string>
#include <vector>

#include "game/game.h"

namespace morvane {

// Every line is formatted into a buffer of this size; a player line with a 199-byte name fits.
constexpr int hudTextBufferBytes = 300;
constexpr int helpLineCount = 28;

// One line of overlay text.
struct HudText {
  std::string bytes;  // Windows-1250, one glyph per byte
  float r, g, b;
  int x, y;

  friend bool operator==(const HudText&, const HudText&) = default;
};

// The computer's search progress: a 100 x 10 pixel bar, its filled part and its caption.
struct ProgressBarShape {
  float left;          // W/2 - 50
  float fillRight;     // left + fraction x 100
  float outlineRight;  // W/2 + 50
  float top;           // H - 30
  float bottom;        // H - 20
  HudText caption;     // green, at (left, H - 35), the stored bytes unformatted
};

// The status lines that apply now, in drawing order: a later line may be written over an
// earlier one at the same place (the ball-in-hand notice over "HIBÁZOTT!").
std::vector<HudText> hudStatusLines(const Game& game, int screenWidth, int screenHeight);

// The 28 green lines of the help screen, top to bottom; they do not depend on the screen size.
const std::vector<HudText>& helpScreenLines();

// The progress bar while the computer searches, nothing otherwise.
std::optional<ProgressBarShape> progressBarShape(const Game& game, int screenWidth, int screenHeight);

}  // namespace morvane
