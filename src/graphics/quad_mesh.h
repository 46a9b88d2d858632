#pragma once
// Quads that share their corners. Each corner is stored once and the quads name their corners
// by index, so the GL transforms and lights a corner once per draw instead of once for every
// quad that touches it. The values are the ones the corner-by-corner drawing used, bit for bit.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "graphics/sphere_mesh.h"

namespace morvane {

struct QuadMesh {
  std::vector<float> positions;   // x, y, z per corner
  std::vector<float> normals;     // x, y, z per corner, unit length
  std::vector<float> texCoords;   // s, t per corner; empty for an untextured mesh
  std::vector<uint16_t> indices;  // four per quad, counter-clockwise seen from the front

  size_t cornerCount() const { return positions.size() / 3; }
};

// The six inner faces of the arena cube of the given half-size, in drawing order, each cut into
// tiles of tileScale x half-size (40 x 40) and covered once by the texture from (0, 0) at its
// first corner; the normals point into the arena.
QuadMesh buildArenaMesh(float arenaHalfSize);

// The sphere table scaled by the radius around the origin: 11 x 11 corners, 100 quads (those at
// the poles have two equal corners); each normal is the unscaled table point.
QuadMesh buildBallMesh(const SphereMesh& sphere, float radius);

}  // namespace morvane
