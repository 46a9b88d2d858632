#pragma once
// The flat overlay that ends every frame: status lines, help screen, progress bar, cross-hair.
#include "game/game.h"

namespace morvane {

// Draws the overlay over the finished 3-D picture in pixel coordinates (y down). Leaves depth
// testing, lighting and texturing enabled and an orthographic projection loaded.
void drawHud(const Game& game, int screenWidth, int screenHeight);

}  // namespace morvane
