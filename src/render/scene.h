#pragma once
// The 3-D part of a frame: projection, view, the light at the eye, the arena, the balls, the aim
// guide and the pockets. Reads the game, never changes it.
#include <cstdint>

#include "game/game.h"
#include "render/sphere_mesh.h"
#include "render/texture.h"

namespace morvane {

class SceneRenderer {
 public:
  // The mesh the balls are drawn from; rebuilt at every round set-up.
  void setSphereMesh(const SphereMesh& mesh);
  void setWallTexture(unsigned name) { wallTexture_ = name; }
  // Balls from a compiled display list (the default) or vertex by vertex in immediate mode;
  // both give the same picture. The choice exists for the frame-time benchmark.
  void setImmediateBalls(bool immediate) { immediateBalls_ = immediate; }
  // Clears and draws the 3-D view into the current context's viewport of the given size.
  void drawScene(const Game& game, int viewportWidth, int viewportHeight);

 private:
  void drawArena(float arenaHalfSize);
  void drawAllBalls(const World& world);
  void drawAllPockets(const World& world);
  void drawAimGuide(const Game& game);

  SphereMesh mesh_{};
  uint64_t meshGeneration_ = 0;
  uint64_t ballListGeneration_ = 0;
  unsigned ballList_ = 0;
  unsigned arenaList_ = 0;
  float arenaListSize_ = 0.0f;
  unsigned wallTexture_ = 0;
  bool immediateBalls_ = false;
  TextureBinder textures_;
};

}  // namespace morvane
