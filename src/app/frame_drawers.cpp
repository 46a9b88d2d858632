#include "app/frame_drawers.h"

#include <GL/gl.h>

#include "graphics/sphere_mesh.h"
#include "render/gl_state.h"
#include "render/hud.h"
#include "render/texture.h"

namespace morvane {

void SnapshotFrameDrawer::drawFrame(const Game& game) {
  const FrameSize size{window_.clientWidth(), window_.clientHeight(), window_.screenWidth(), window_.screenHeight()};
  render_.submit(takeFrameSnapshot(game, size, sphereMeshGeneration_));
}

bool WindowSnapshotDrawer::begin(std::string& error) {
  if (!window_.takeContext(error)) return false;
  setFixedGlState();
  glGenTextures(1, &wallTexture_);
  if (!loadTexture("walltex.bmp", wallTexture_, GL_LINEAR, GL_REPEAT, error)) {
    window_.releaseContext();
    return false;
  }
  scene_.setWallTexture(wallTexture_);
  return true;
}

void WindowSnapshotDrawer::draw(const FrameSnapshot& frame) {
  if (frame.sphereMeshGeneration != sphereMeshGeneration_) {
    scene_.setSphereMesh(buildSphereMesh());
    sphereMeshGeneration_ = frame.sphereMeshGeneration;
  }
  scene_.drawScene(frame);
  drawHud(frame);
  window_.swapBuffers();
}

void WindowSnapshotDrawer::end() { window_.releaseContext(); }

}  // namespace morvane
