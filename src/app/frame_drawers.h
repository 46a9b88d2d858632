#pragma once
// The two halves of drawing a frame: on the game thread, a snapshot of the game handed to the
// render thread; on the render thread, the snapshot drawn with OpenGL into the game window.
#include <cstdint>

#include "game/main_loop.h"
#include "graphics/render_thread.h"
#include "platform/game_window.h"
#include "render/scene.h"

namespace morvane {

// Game thread: takes the snapshot and hands it over; makes no GL call.
class SnapshotFrameDrawer final : public FrameDrawer {
 public:
  SnapshotFrameDrawer(RenderThread& render, const GameWindow& window) : render_(render), window_(window) {}
  void drawFrame(const Game& game) override;
  // A round set-up built the ball mesh again: the next snapshot says so.
  void newSphereMesh() { ++sphereMeshGeneration_; }

 private:
  RenderThread& render_;
  const GameWindow& window_;
  uint64_t sphereMeshGeneration_ = 0;
};

// Render thread: owns the GL context from begin to end.
class WindowSnapshotDrawer final : public SnapshotDrawer {
 public:
  WindowSnapshotDrawer(GameWindow& window, SceneRenderer& scene) : window_(window), scene_(scene) {}
  bool begin(std::string& error) override;
  void draw(const FrameSnapshot& frame) override;
  void end() override;

 private:
  GameWindow& window_;
  SceneRenderer& scene_;
  uint64_t sphereMeshGeneration_ = UINT64_MAX;
  unsigned wallTexture_ = 0;
};

}  // namespace morvane
