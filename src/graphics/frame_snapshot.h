#pragma once
// Everything one drawn frame shows, as a plain value taken from the game on the game thread
// and handed to the render thread, which draws it while the game runs on: the two threads share
// nothing else.
#include <cstdint>
#include <optional>
#include <vector>

#include "camera/camera.h"
#include "graphics/hud_lines.h"
#include "world/world.h"

namespace morvane {

// The sizes a frame is drawn at: the 3-D view fills the client area, the overlay is laid out
// in the screen's pixels (the two differ only if the window manager refuses the full screen).
struct FrameSize {
  int viewportWidth = 0;
  int viewportHeight = 0;
  int screenWidth = 0;
  int screenHeight = 0;
};

struct FrameSnapshot {
  FrameSize size;
  Camera camera;
  World world;               // balls, pockets and the arena's size
  bool aimGuideVisible = false;  // every ball at rest and the cue ball on the table
  Vec3 aimGuideEnd;          // the guide runs from the cue ball to here
  std::vector<HudText> statusLines;
  bool helpVisible = false;  // F1 held
  std::optional<ProgressBarShape> progressBar;
  // Bumped at every round set-up, where the ball mesh is built again.
  uint64_t sphereMeshGeneration = 0;
};

FrameSnapshot takeFrameSnapshot(const Game& game, FrameSize size, uint64_t sphereMeshGeneration);

}  // namespace morvane
