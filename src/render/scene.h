#pragma once
// The 3-D part of a frame: projection, view, the light at the eye, the arena, the balls, the aim
// guide and the pockets, as one frame snapshot holds them.
#include <cstdint>

#include "graphics/frame_snapshot.h"
#include "graphics/quad_mesh.h"
#include "graphics/sphere_mesh.h"
#include "render/texture.h"
#include "graphics/view_volume.h"

namespace morvane {

// Sets the current colour of a ball's colour code; an unknown code keeps the current colour.
void setBallColour(BallColour colour);

class SceneRenderer {
 public:
  // The mesh the balls are drawn from; rebuilt at every round set-up.
  void setSphereMesh(const SphereMesh& mesh);
  void setWallTexture(unsigned name) { wallTexture_ = name; }
  // Clears and draws the 3-D view into the current context's viewport of the frame's size.
  void drawScene(const FrameSnapshot& frame);
  // The steps of drawScene around the arena and the balls: the viewport, projection, view,
  // clear and the light at the eye; then, after the balls, the unlit aim guide and pockets.
  void beginScene(const FrameSnapshot& frame);
  void drawLineObjects(const FrameSnapshot& frame);

 private:
  void drawArena(float arenaHalfSize);
  void drawAllBalls(const World& world, const ViewVolume& view);
  void drawAllPockets(const World& world);
  void drawAimGuide(const FrameSnapshot& frame);

  SphereMesh mesh_{};
  uint64_t meshGeneration_ = 0;
  uint64_t ballMeshGeneration_ = UINT64_MAX;  // built at the first frame even without a set-up
  QuadMesh ballMesh_;
  QuadMesh arenaMesh_;
  float arenaMeshSize_ = 0.0f;
  bool arenaMeshBuilt_ = false;
  unsigned wallTexture_ = 0;
  TextureBinder textures_;
};

}  // namespace morvane
