#include "graphics/view_volume.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>

#include "math/rotation.h"
#include "graphics/projection.h"

namespace morvane {
namespace {

constexpr double radius = 20.0;

// Whether a point lands inside the picture: the look-at transform written out from its
// textbook definition, then the scene's own projection matrix, then the clip-space bounds.
bool pointShows(const Camera& c, const std::array<double, 3>& p, const Matrix4& proj) {
  auto norm = [](std::array<double, 3> v) {
    const double n = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    return std::array<double, 3>{v[0] / n, v[1] / n, v[2] / n};
  };
  auto cross = [](const std::array<double, 3>& a, const std::array<double, 3>& b) {
    return std::array<double, 3>{a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
  };
  const auto f = norm({c.forward.x, c.forward.y, c.forward.z});
  const auto s = norm(cross(f, {c.up.x, c.up.y, c.up.z}));
  const auto u = cross(s, f);
  const double d[3] = {p[0] - c.eye.x, p[1] - c.eye.y, p[2] - c.eye.z};
  const double eyeSpace[4] = {s[0] * d[0] + s[1] * d[1] + s[2] * d[2], u[0] * d[0] + u[1] * d[1] + u[2] * d[2],
                              -(f[0] * d[0] + f[1] * d[1] + f[2] * d[2]), 1.0};
  double clip[4] = {0, 0, 0, 0};
  for (int row = 0; row < 4; ++row) {
    for (int k = 0; k < 4; ++k) clip[row] += proj[k * 4 + row] * eyeSpace[k];
  }
  const double w = clip[3];
  return w > 0 && std::abs(clip[0]) <= w && std::abs(clip[1]) <= w && clip[2] >= -w && clip[2] <= w;
}

// Some point of the ball's surface (or its centre) shows: 26 directions x 3 shells.
bool ballShows(const Camera& c, const Vec3& centre, const Matrix4& proj) {
  for (int dx = -1; dx <= 1; ++dx) {
    for (int dy = -1; dy <= 1; ++dy) {
      for (int dz = -1; dz <= 1; ++dz) {
        const double n = std::sqrt(static_cast<double>(dx * dx + dy * dy + dz * dz));
        for (double shell : {0.0, 0.5, 1.0}) {
          const double k = n == 0 ? 0 : shell * radius / n;
          if (pointShows(c, {centre.x + dx * k, centre.y + dy * k, centre.z + dz * k}, proj)) return true;
        }
      }
    }
  }
  return false;
}

Camera turned(Camera c, float yaw, float pitch, float roll) {
  rotateAboutAxis(c.up, c.forward, yaw), rotateAboutAxis(c.up, c.right, yaw);
  rotateAboutAxis(c.right, c.forward, pitch), rotateAboutAxis(c.right, c.up, pitch);
  rotateAboutAxis(c.forward, c.up, roll), rotateAboutAxis(c.forward, c.right, roll);
  return c;
}

TEST(ViewVolume, NeverHidesABallThatReachesIntoThePictureAndHidesMostOthers) {
  struct Case {
    Camera camera;
    int width, height;
  };
  Camera start;
  Camera away = turned(start, 0.9f, -0.4f, 0.3f);
  away.eye = Vec3{120.0f, -300.0f, 450.0f};
  Camera shortFrame = start;  // the frame vectors need not be 100 long
  shortFrame.forward = Vec3{0.0f, 0.0f, -0.5f}, shortFrame.up = Vec3{0.0f, 3.0f, 0.0f};
  const Case cases[] = {{start, 1280, 1024}, {away, 1920, 1080}, {turned(start, 3.0f, 0.0f, 0.0f), 1080, 1920},
                        {shortFrame, 1024, 768}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << " eye " << c.camera.eye.x << ","
                                    << c.camera.eye.y << "," << c.camera.eye.z);
    const Matrix4 proj = sceneProjection(c.width, c.height);
    const ViewVolume volume =
        viewVolume(c.camera, viewFieldOfViewDegrees, drawableAspect(c.width, c.height), viewNearPlane);
    int shown = 0, hidden = 0;
    for (float x = -900; x <= 900; x += 75.0f) {
      for (float y = -900; y <= 900; y += 75.0f) {
        for (float z = -900; z <= 900; z += 75.0f) {
          const Vec3 centre = c.camera.eye + Vec3{x, y, z};
          const bool mayShow = sphereMayShow(volume, centre, radius);
          if (ballShows(c.camera, centre, proj)) {
            ASSERT_TRUE(mayShow) << "ball at " << x << "," << y << "," << z << " from the eye";
            ++shown;
          }
          hidden += mayShow ? 0 : 1;
        }
      }
    }
    // Of the 25^3 balls from 1 in 25 (the portrait screen) to 1 in 6 show; at least half of
    // the rest must be passed over.
    EXPECT_GT(shown, 400);
    EXPECT_GT(hidden, (25 * 25 * 25 - shown) / 2);
  }
}

TEST(ViewVolume, EdgesAndDegenerateFrames) {
  const Camera start;  // at the origin looking along -z, 60 degrees high
  const ViewVolume v = viewVolume(start, 60.0, 1.25, 1.0);
  const double t = std::tan(30.0 * 3.14159265358979323846 / 180);
  struct Case {
    Vec3 centre;
    bool mayShow;
  };
  const Case cases[] = {
      {{0, 0, -500}, true},
      {{0, 0, 30}, false},                                                        // behind the eye
      {{0, 0, 15}, true},                                                         // straddles the eye
      {{0, static_cast<float>(500 * t), -500}, true},                             // centre on the top edge
      {{0, static_cast<float>(500 * t + radius / std::cos(0.5236)), -500}, true},  // touching it
      {{0, static_cast<float>(500 * t + 2.0 * radius / std::cos(0.5236)), -500}, false},
      {{static_cast<float>(-500 * t * 1.25 - 3 * radius), 0, -500}, false},       // off the left edge
      {{static_cast<float>(-500 * t * 1.25 + radius), 0, -500}, true},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(sphereMayShow(v, c.centre, radius), c.mayShow) << c.centre.x << "," << c.centre.y << "," << c.centre.z;
  }
  // A frame that gluLookAt cannot make sense of hides nothing.
  Camera noForward = start, upAlongForward = start, lost = start;
  noForward.forward = Vec3{};
  upAlongForward.up = Vec3{0.0f, 0.0f, 5.0f};
  lost.eye.x = std::nanf("");
  for (const Camera& c : {noForward, upAlongForward, lost}) {
    EXPECT_TRUE(sphereMayShow(viewVolume(c, 60.0, 1.25, 1.0), Vec3{0, 0, 900}, radius));
  }
}

}  // namespace
}  // namespace morvane
