#pragma once
// Which balls can show in the 3-D view. The test is conservative: a sphere it rejects lies
// wholly outside the view volume with room to spare, so skipping it cannot change a pixel, and
// the GL is spared transforming, lighting and clipping 121 corners for nothing.
#include "camera/camera.h"

namespace morvane {

struct ViewVolume {
  bool open = true;  // a degenerate camera frame: everything may show
  double eye[3] = {0, 0, 0};
  double forward[3] = {0, 0, -1}, side[3] = {1, 0, 0}, up[3] = {0, 1, 0};  // unit, as gluLookAt
  double sinHalfY = 0, cosHalfY = 1, sinHalfX = 0, cosHalfX = 1;             // half opening angles
  double nearPlane = 0;
};

// The volume the scene's projection sees from the camera: the eye, the look-at frame built the
// way gluLookAt builds it, the vertical field of view in degrees, width / height and the near
// plane (the far plane, a million units off, is left out).
ViewVolume viewVolume(const Camera& camera, double fovyDegrees, double aspect, double nearPlane);

// False only when a sphere of the given radius around the centre cannot reach into the volume.
bool sphereMayShow(const ViewVolume& volume, const Vec3& centre, double radius);

}  // namespace morvane
