#include "graphics/projection.h"

#include <cmath>

namespace morvane {

Matrix4 perspectiveMatrix(double fovyDegrees, double aspect, double nearPlane, double farPlane) {
  // The same operations in the same order as GLU's gluPerspective, with its value of pi.
  const double radians = fovyDegrees / 2 * 3.14159265358979323846 / 180;
  const double deltaZ = farPlane - nearPlane;
  const double sine = std::sin(radians);
  Matrix4 m{};
  if (deltaZ == 0 || sine == 0 || aspect == 0) {
    // GLU leaves the matrix untouched here; loading it instead means the identity.
    m[0] = m[5] = m[10] = m[15] = 1;
    return m;
  }
  const double cotangent = std::cos(radians) / sine;
  m[0] = cotangent / aspect;
  m[5] = cotangent;
  m[10] = -(farPlane + nearPlane) / deltaZ;
  m[11] = -1;
  m[14] = -2 * nearPlane * farPlane / deltaZ;
  return m;
}

double drawableAspect(int width, int height) {
  if (width <= 0 || height <= 0) return fallbackAspect;
  return static_cast<double>(width) / static_cast<double>(height);
}

Matrix4 sceneProjection(int drawableWidth, int drawableHeight) {
  return perspectiveMatrix(viewFieldOfViewDegrees, drawableAspect(drawableWidth, drawableHeight),
                           viewNearPlane, viewFarPlane);
}

}  // namespace morvane
