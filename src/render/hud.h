#pragma once
// The flat overlay that ends every frame: status lines, help screen, progress bar, cross-hair.
#include "graphics/frame_snapshot.h"

namespace morvane {

// Draws the overlay over the finished 3-D picture in the screen's pixels (y down). Leaves depth
// testing, lighting and texturing enabled and an orthographic projection loaded.
void drawHud(const FrameSnapshot& frame);

}  // namespace morvane
