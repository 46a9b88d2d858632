#include "math/rotation.h"

#include "math/angle_tables.h"

namespace morvane {

void rotate2D(float& outA, float& outB, float a, float b, float angle) {
  const float c = fastCos(angle);
  const float s = fastSin(angle);
  outA = a * c - b * s;
  outB = a * s + b * c;
}

void rotateAboutAxis(Vec3 axis, Vec3& v, float angle) {
  const float c = fastCos(angle);
  const float t = 1.0f - fastCos(angle);
  const float s = fastSin(angle);
  const Vec3 n = axis / length(axis);
  const float vx = v.x, vy = v.y, vz = v.z;
  v.x = (t * n.x * n.x + c) * vx + (t * n.x * n.y + s * n.z) * vy + (t * n.x * n.z - s * n.y) * vz;
  v.y = (t * n.x * n.y - s * n.z) * vx + (t * n.y * n.y + c) * vy + (t * n.y * n.z + s * n.x) * vz;
  v.z = (t * n.x * n.z + s * n.y) * vx + (t * n.y * n.z - s * n.x) * vy + (t * n.z * n.z + c) * vz;
}

bool solveLinear3(const float (&p)[12], float& outX, float& outY, float& outZ) {
  const float m1 = p[5] * p[10] - p[6] * p[9];
  const float m2 = p[6] * p[8] - p[4] * p[10];
  const float m3 = p[4] * p[9] - p[5] * p[8];
  const float m4 = p[6] * p[11] - p[7] * p[10];
  const float m5 = p[7] * p[9] - p[5] * p[11];
  const float m6 = p[7] * p[8] - p[4] * p[11];
  const float m7 = p[4] * p[10] - p[6] * p[8];
  const float m8 = p[5] * p[11] - p[7] * p[9];
  const float det = p[0] * m1 + p[1] * m2 + p[2] * m3;
  if (det == 0.0f) return false;
  outX = -(p[1] * m4 + p[2] * m5 + p[3] * m1) / det;
  outY = (p[0] * m4 + p[2] * m6 + p[3] * m7) / det;
  outZ = -(p[0] * m8 + p[1] * m6 + p[3] * m3) / det;
  return true;
}

}  // namespace morvane
