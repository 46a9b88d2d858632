#pragma once
// Rotations on the table sine and cosine, and a 3x3 linear solver.
#include "math/vec3.h"

namespace morvane {

// Turns (a, b) counter-clockwise by angle: outA = a*c - b*s, outB = a*s + b*c.
// Inputs are by value, so the outputs may be the variables that supplied them.
void rotate2D(float& outA, float& outB, float a, float b, float angle);

// Turns v in place about axis (any non-zero length). The matrix is the transpose of the usual
// right-handed one: a positive angle turns clockwise seen from the axis tip.
void rotateAboutAxis(Vec3 axis, Vec3& v, float angle);

// Cramer's rule for p0 x + p1 y + p2 z + p3 = 0 (and the next two rows of four).
// Returns false and leaves the outputs untouched when the determinant is exactly 0.
bool solveLinear3(const float (&p)[12], float& outX, float& outY, float& outZ);

}  // namespace morvane
