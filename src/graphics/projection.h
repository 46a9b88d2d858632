#pragma once
// The 3-D view's projection matrix, computed here rather than by GLU so that it can be checked
// without a GL context and follows the drawable's own shape.
#include <array>

namespace morvane {

// Column-major 4x4, as glLoadMatrixd takes it.
using Matrix4 = std::array<double, 16>;

inline constexpr double viewFieldOfViewDegrees = 60.0;  // vertical
inline constexpr double viewNearPlane = 1.0;
inline constexpr double viewFarPlane = 1000000.0;
// The shape assumed when the drawable has no usable size.
inline constexpr double fallbackAspect = 4.0 / 3.0;

// The matrix gluPerspective(fovyDegrees, aspect, near, far) multiplies in, computed the same
// way (cotangent as cos / sin of half the angle, in double) so a 4:3 view is bit for bit the
// one GLU gave.
Matrix4 perspectiveMatrix(double fovyDegrees, double aspect, double nearPlane, double farPlane);

// Width / height of the drawable, or the 4:3 fallback when either is not positive.
double drawableAspect(int width, int height);

// The scene's projection for a drawable of the given size: 60 degrees vertically, the
// drawable's own aspect, near 1 and far 1,000,000.
Matrix4 sceneProjection(int drawableWidth, int drawableHeight);

}  // namespace morvane
