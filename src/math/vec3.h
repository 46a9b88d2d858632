#pragma once
// The one geometric type: positions, velocities, directions and the camera frame.
// Every stored component is a 32-bit float; the operations round each result to float.
#include <cmath>

namespace morvane {

struct Vec3 {
  float x = 0.0f;
  float y = 0.0f;
  float z = 0.0f;

  Vec3& operator+=(const Vec3& b) { x += b.x; y += b.y; z += b.z; return *this; }
  Vec3& operator-=(const Vec3& b) { x -= b.x; y -= b.y; z -= b.z; return *this; }
  Vec3& operator*=(float k) { x *= k; y *= k; z *= k; return *this; }
  // Three divisions, not a multiplication by 1/k: the rounding differs.
  Vec3& operator/=(float k) { x /= k; y /= k; z /= k; return *this; }

  friend bool operator==(const Vec3&, const Vec3&) = default;
};

inline Vec3 operator+(Vec3 a, const Vec3& b) { return a += b; }
inline Vec3 operator-(Vec3 a, const Vec3& b) { return a -= b; }
inline Vec3 operator*(Vec3 v, float k) { return v *= k; }
inline Vec3 operator*(float k, const Vec3& v) { return Vec3{k * v.x, k * v.y, k * v.z}; }
inline Vec3 operator/(Vec3 v, float k) { return v /= k; }

inline float dot(const Vec3& a, const Vec3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

inline Vec3 cross(const Vec3& a, const Vec3& b) {
  return Vec3{a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

inline float square(float x) { return x * x; }

// The sum of squares is formed in float, the root in double, the result stored as float.
// Inline: the motion step of every ball in every trial waits on it.
inline float length(float x, float y, float z) {
  const float sum = x * x + y * y + z * z;
  return static_cast<float>(std::sqrt(static_cast<double>(sum)));
}
inline float length(const Vec3& v) { return length(v.x, v.y, v.z); }

}  // namespace morvane
