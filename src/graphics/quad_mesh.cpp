#include "graphics/quad_mesh.h"

#include "math/vec3.h"

namespace morvane {
namespace {

constexpr float tileScale = 0.05f;  // a tile's edge as a fraction of the half-size: 40 per wall

void addCorner(QuadMesh& mesh, const Vec3& position, const Vec3& normal) {
  mesh.positions.insert(mesh.positions.end(), {position.x, position.y, position.z});
  mesh.normals.insert(mesh.normals.end(), {normal.x, normal.y, normal.z});
}

// Corners a, b, c, d of a quad as offsets from the first corner of a grid.
void addQuad(QuadMesh& mesh, size_t base, size_t a, size_t b, size_t c, size_t d) {
  for (size_t k : {a, b, c, d}) mesh.indices.push_back(static_cast<uint16_t>(base + k));
}

// One wall, P0..P3 around it. The tile counts come out as exactly 40 for any half-size (the
// edge is 2 x half-size, a tile 0.05 x half-size), so a wall has 41 x 41 corners and the arena
// 10086, well inside 16-bit indices.
void addWall(QuadMesh& mesh, const Vec3 (&p)[4], float arenaHalfSize) {
  Vec3 normal = cross(p[1] - p[0], p[2] - p[0]);
  normal = normal / length(normal);
  const Vec3 u = p[1] - p[0];
  const Vec3 v = p[3] - p[0];
  const long double tile = static_cast<long double>(tileScale) * arenaHalfSize;
  const float nU = static_cast<float>(length(u) / tile);
  const float nV = static_cast<float>(length(v) / tile);
  size_t tilesU = 0, tilesV = 0;
  while (static_cast<float>(tilesU) < nU) ++tilesU;
  while (static_cast<float>(tilesV) < nV) ++tilesV;

  const size_t base = mesh.cornerCount();
  for (size_t a = 0; a <= tilesU; ++a) {
    for (size_t b = 0; b <= tilesV; ++b) {
      const float fa = static_cast<float>(a) / nU;
      const float fb = static_cast<float>(b) / nV;
      addCorner(mesh, p[0] + u * fa + v * fb, normal);
      mesh.texCoords.insert(mesh.texCoords.end(), {fa, fb});
    }
  }
  // Corner (a, b) sits at a * (tilesV + 1) + b.
  const size_t row = tilesV + 1;
  for (size_t i = 0; i < tilesU; ++i) {
    for (size_t j = 0; j < tilesV; ++j) {
      addQuad(mesh, base, i * row + j, (i + 1) * row + j, (i + 1) * row + j + 1, i * row + j + 1);
    }
  }
}

}  // namespace

QuadMesh buildArenaMesh(float h) {
  const Vec3 walls[6][4] = {
      {{-h, -h, -h}, {h, -h, -h}, {h, h, -h}, {-h, h, -h}},
      {{-h, h, h}, {h, h, h}, {h, -h, h}, {-h, -h, h}},
      {{h, -h, h}, {h, h, h}, {h, h, -h}, {h, -h, -h}},
      {{-h, -h, -h}, {-h, h, -h}, {-h, h, h}, {-h, -h, h}},
      {{-h, h, -h}, {h, h, -h}, {h, h, h}, {-h, h, h}},
      {{-h, -h, h}, {h, -h, h}, {h, -h, -h}, {-h, -h, -h}},
  };
  QuadMesh mesh;
  for (const auto& wall : walls) addWall(mesh, wall, h);
  return mesh;
}

QuadMesh buildBallMesh(const SphereMesh& sphere, float radius) {
  QuadMesh mesh;
  for (int i = 0; i < sphereRings; ++i) {
    for (int j = 0; j < sphereSegments; ++j) {
      const Vec3& n = sphere[i][j];
      // The same expression as a ball drawn at the origin: scaled, then moved by zero.
      addCorner(mesh, Vec3{n.x * radius + 0.0f, n.y * radius + 0.0f, n.z * radius + 0.0f}, n);
    }
  }
  // Corner [i][j] sits at i * sphereSegments + j.
  auto at = [](int i, int j) { return static_cast<size_t>(i * sphereSegments + j); };
  for (int i = 0; i < sphereRings - 1; ++i) {
    for (int j = 0; j < sphereSegments - 1; ++j) {
      addQuad(mesh, 0, at(i, j + 1), at(i + 1, j + 1), at(i + 1, j), at(i, j));
    }
  }
  return mesh;
}

}  // namespace morvane
