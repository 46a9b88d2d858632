#include "graphics/sphere_mesh.h"

#include "math/rotation.h"

namespace morvane {

void spherePoint(float& outX, float& outY, float& outZ, float radius, float polar, float azimuth) {
  float x = 0.0f, y = radius, z = 0.0f;
  rotate2D(y, z, y, z, polar);
  rotate2D(x, z, x, z, azimuth);
  outX = x;
  outY = y;
  outZ = z;
}

SphereMesh buildSphereMesh() {
  SphereMesh mesh{};
  for (int i = 0; i < sphereRings; ++i) {
    for (int j = 0; j < sphereSegments; ++j) {
      const float polar = static_cast<float>(i * 0.31415926536);
      const float azimuth = static_cast<float>(j * 0.62831853072);
      Vec3& p = mesh[i][j];
      spherePoint(p.x, p.y, p.z, 1.0f, polar, azimuth);
    }
  }
  return mesh;
}

}  // namespace morvane
