#include "graphics/frame_snapshot.h"

namespace morvane {

FrameSnapshot takeFrameSnapshot(const Game& game, FrameSize size, uint64_t sphereMeshGeneration) {
  FrameSnapshot frame;
  frame.size = size;
  frame.camera = game.camera;
  frame.world = game.world;
  const Ball& cueBall = game.world.balls[cueBallSlot];
  frame.aimGuideVisible = cueBall.active != 0 && allBallsAtRest(game.world);
  frame.aimGuideEnd = cueBall.position - game.cue.cueDirection * 5.0f;
  frame.statusLines = hudStatusLines(game, size.screenWidth, size.screenHeight);
  frame.helpVisible = game.helpVisible != 0;
  frame.progressBar = progressBarShape(game, size.screenWidth, size.screenHeight);
  frame.sphereMeshGeneration = sphereMeshGeneration;
  return frame;
}

}  // namespace morvane
