#include "graphics/view_volume.h"

#include <cmath>

namespace morvane {
namespace {

// Room added to every radius: covers the mesh's corners lying a little off the unit sphere and
// every difference between this double arithmetic and the GL's float transform.
constexpr double slackFactor = 1.05;
constexpr double slackUnits = 1.0;

void crossInto(const double a[3], const double b[3], double out[3]) {
  out[0] = a[1] * b[2] - a[2] * b[1];
  out[1] = a[2] * b[0] - a[0] * b[2];
  out[2] = a[0] * b[1] - a[1] * b[0];
}

bool normalise(double v[3]) {
  const double n = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
  if (!(n > 0) || !std::isfinite(n)) return false;
  for (int k = 0; k < 3; ++k) v[k] /= n;
  return true;
}

double dot3(const double a[3], const double b[3]) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

}  // namespace

ViewVolume viewVolume(const Camera& camera, double fovyDegrees, double aspect, double nearPlane) {
  ViewVolume v;
  v.eye[0] = camera.eye.x, v.eye[1] = camera.eye.y, v.eye[2] = camera.eye.z;
  const double up[3] = {camera.up.x, camera.up.y, camera.up.z};
  v.forward[0] = camera.forward.x, v.forward[1] = camera.forward.y, v.forward[2] = camera.forward.z;
  const double halfY = fovyDegrees / 2 * 3.14159265358979323846 / 180;
  const double tanHalfX = std::tan(halfY) * aspect;
  const bool finiteEye = std::isfinite(v.eye[0]) && std::isfinite(v.eye[1]) && std::isfinite(v.eye[2]);
  if (!finiteEye || !normalise(v.forward) || !(halfY > 0 && halfY < 1.5) || !(tanHalfX > 0 && std::isfinite(tanHalfX))) {
    return v;
  }
  crossInto(v.forward, up, v.side);
  if (!normalise(v.side)) return v;
  crossInto(v.side, v.forward, v.up);
  v.sinHalfY = std::sin(halfY), v.cosHalfY = std::cos(halfY);
  const double halfX = std::atan(tanHalfX);
  v.sinHalfX = std::sin(halfX), v.cosHalfX = std::cos(halfX);
  v.nearPlane = nearPlane;
  v.open = false;
  return v;
}

bool sphereMayShow(const ViewVolume& v, const Vec3& centre, double radius) {
  if (v.open) return true;
  const double d[3] = {centre.x - v.eye[0], centre.y - v.eye[1], centre.z - v.eye[2]};
  const double depth = dot3(d, v.forward), x = dot3(d, v.side), y = dot3(d, v.up);
  const double r = radius * slackFactor + slackUnits;
  // Signed distances to the near plane and the four side planes, positive inside.
  return depth - v.nearPlane >= -r && depth * v.sinHalfY - y * v.cosHalfY >= -r &&
         depth * v.sinHalfY + y * v.cosHalfY >= -r && depth * v.sinHalfX - x * v.cosHalfX >= -r &&
         depth * v.sinHalfX + x * v.cosHalfX >= -r;
}

}  // namespace morvane
