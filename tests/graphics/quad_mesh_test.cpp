#include "graphics/quad_mesh.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <set>
#include <tuple>
#include <vector>

namespace morvane {
namespace {

// One corner as the GL receives it, compared bit for bit (a -0 against a +0 counts).
struct Corner {
  Vec3 position, normal;
  float s = 0.0f, t = 0.0f;
};

auto bits(const Corner& c) {
  auto b = [](float f) { return std::bit_cast<uint32_t>(f); };
  return std::tuple(b(c.position.x), b(c.position.y), b(c.position.z), b(c.normal.x), b(c.normal.y),
                    b(c.normal.z), b(c.s), b(c.t));
}

Vec3 vec3At(const std::vector<float>& v, size_t k) { return Vec3{v[3 * k], v[3 * k + 1], v[3 * k + 2]}; }

// The corners in the order the indices name them.
std::vector<Corner> throughIndices(const QuadMesh& mesh) {
  std::vector<Corner> out;
  for (uint16_t k : mesh.indices) {
    Corner c{vec3At(mesh.positions, k), vec3At(mesh.normals, k)};
    if (!mesh.texCoords.empty()) {
      c.s = mesh.texCoords[2 * k];
      c.t = mesh.texCoords[2 * k + 1];
    }
    out.push_back(c);
  }
  return out;
}

void expectSameCorners(const std::vector<Corner>& got, const std::vector<Corner>& want) {
  ASSERT_EQ(got.size(), want.size());
  for (size_t i = 0; i < got.size(); ++i) ASSERT_EQ(bits(got[i]), bits(want[i])) << "corner " << i;
}

using Wall = std::array<Vec3, 4>;

std::vector<Wall> arenaWalls(float h) {
  return {{{{-h, -h, -h}, {h, -h, -h}, {h, h, -h}, {-h, h, -h}}},
          {{{-h, h, h}, {h, h, h}, {h, -h, h}, {-h, -h, h}}},
          {{{h, -h, h}, {h, h, h}, {h, h, -h}, {h, -h, -h}}},
          {{{-h, -h, -h}, {-h, h, -h}, {-h, h, h}, {-h, -h, h}}},
          {{{-h, h, -h}, {h, h, -h}, {h, h, h}, {-h, h, h}}},
          {{{-h, -h, h}, {h, -h, h}, {h, -h, -h}, {-h, -h, -h}}}};
}

// The walls tile by tile, each tile's four corners computed on their own, as they were sent
// to the GL one at a time.
std::vector<Corner> tiledWallsCornerByCorner(float h) {
  std::vector<Corner> out;
  for (const Wall& p : arenaWalls(h)) {
    Vec3 normal = cross(p[1] - p[0], p[2] - p[0]);
    normal = normal / length(normal);
    const Vec3 u = p[1] - p[0], v = p[3] - p[0];
    const long double tile = static_cast<long double>(0.05f) * h;
    const float nU = static_cast<float>(length(u) / tile), nV = static_cast<float>(length(v) / tile);
    auto corner = [&](int a, int b) {
      const float fa = static_cast<float>(a) / nU, fb = static_cast<float>(b) / nV;
      out.push_back(Corner{p[0] + u * fa + v * fb, normal, fa * 1.0f, fb * 1.0f});
    };
    for (int i = 0; static_cast<float>(i) < nU; ++i) {
      for (int j = 0; static_cast<float>(j) < nV; ++j) {
        corner(i, j), corner(i + 1, j), corner(i + 1, j + 1), corner(i, j + 1);
      }
    }
  }
  return out;
}

// Half-sizes from the smallest arena the dialog takes to far beyond the largest, and odd ones
// whose tile edges are not whole numbers.
constexpr float halfSizes[] = {500.0f, 50.0f, 137.5f, 333.3f, 1000.0f, 2500.0f, 4999.9f, 100000.0f};

TEST(QuadMesh, ArenaThroughItsIndicesIsTheTiledWallsCornerByCorner) {
  for (float h : halfSizes) {
    SCOPED_TRACE(h);
    const QuadMesh mesh = buildArenaMesh(h);
    expectSameCorners(throughIndices(mesh), tiledWallsCornerByCorner(h));
    EXPECT_EQ(mesh.indices.size(), 6u * 40 * 40 * 4);
  }
}

TEST(QuadMesh, ArenaCornersAreStoredOnceAndSharedByTheirTiles) {
  const QuadMesh mesh = buildArenaMesh(500.0f);
  const size_t perWall = 41 * 41;
  ASSERT_EQ(mesh.cornerCount(), 6 * perWall);
  ASSERT_EQ(mesh.texCoords.size(), 2 * mesh.cornerCount());
  std::vector<int> uses(mesh.cornerCount(), 0);
  for (uint16_t k : mesh.indices) ++uses[k];
  std::vector<int> useCounts(5, 0);
  for (int n : uses) {
    ASSERT_GE(n, 1);
    ASSERT_LE(n, 4);
    ++useCounts[n];
  }
  // Per wall: 4 outer corners in one tile, 4 x 39 edge corners in two, 39 x 39 inner in four.
  EXPECT_EQ(useCounts[1], 6 * 4);
  EXPECT_EQ(useCounts[2], 6 * 4 * 39);
  EXPECT_EQ(useCounts[4], 6 * 39 * 39);
  for (size_t w = 0; w < 6; ++w) {
    std::set<std::tuple<float, float, float>> distinct;
    for (size_t k = w * perWall; k < (w + 1) * perWall; ++k) {
      const Vec3 p = vec3At(mesh.positions, k);
      distinct.insert({p.x, p.y, p.z});
    }
    EXPECT_EQ(distinct.size(), perWall) << "wall " << w;
  }
}

TEST(QuadMesh, EveryWallFacesIntoTheArenaAndCarriesTheTextureOnce) {
  for (float h : {500.0f, 137.5f}) {
    const QuadMesh mesh = buildArenaMesh(h);
    const std::vector<Wall> walls = arenaWalls(h);
    const size_t quadsPerWall = mesh.indices.size() / 4 / 6;
    for (size_t w = 0; w < 6; ++w) {
      SCOPED_TRACE(testing::Message() << "half-size " << h << ", wall " << w);
      float sMin = 2, sMax = -1, tMin = 2, tMax = -1;
      for (size_t q = w * quadsPerWall; q < (w + 1) * quadsPerWall; ++q) {
        const uint16_t* k = &mesh.indices[4 * q];
        const Vec3 a = vec3At(mesh.positions, k[0]), b = vec3At(mesh.positions, k[1]);
        const Vec3 c = vec3At(mesh.positions, k[2]);
        const Vec3 n = vec3At(mesh.normals, k[0]);
        // Counter-clockwise seen from the side the normal points to, and that side is inside.
        ASSERT_GT(dot(cross(b - a, c - a), n), 0.0f) << "quad " << q;
        ASSERT_GT(dot(n, Vec3{} - a), 0.0f) << "quad " << q;
        for (int i = 0; i < 4; ++i) {
          const float s = mesh.texCoords[2 * k[i]], t = mesh.texCoords[2 * k[i] + 1];
          sMin = std::min(sMin, s), sMax = std::max(sMax, s), tMin = std::min(tMin, t), tMax = std::max(tMax, t);
        }
      }
      EXPECT_EQ(std::tuple(sMin, sMax, tMin, tMax), std::tuple(0.0f, 1.0f, 0.0f, 1.0f));
      // (0, 0) lies at the wall's first corner.
      const size_t first = w * 41 * 41;
      EXPECT_EQ(vec3At(mesh.positions, first), walls[w][0]);
      EXPECT_EQ(std::tuple(mesh.texCoords[2 * first], mesh.texCoords[2 * first + 1]), std::tuple(0.0f, 0.0f));
    }
  }
}

TEST(QuadMesh, BallThroughItsIndicesIsTheSphereTableCornerByCorner) {
  const SphereMesh sphere = buildSphereMesh();
  for (float radius : {20.0f, 1.0f, 7.5f}) {
    SCOPED_TRACE(radius);
    std::vector<Corner> want;
    auto corner = [&](int i, int j) {
      const Vec3& n = sphere[i][j];
      want.push_back(Corner{Vec3{n.x * radius + 0.0f, n.y * radius + 0.0f, n.z * radius + 0.0f}, n});
    };
    for (int i = 0; i < sphereRings - 1; ++i) {
      for (int j = 0; j < sphereSegments - 1; ++j) corner(i, j + 1), corner(i + 1, j + 1), corner(i + 1, j), corner(i, j);
    }
    const QuadMesh mesh = buildBallMesh(sphere, radius);
    expectSameCorners(throughIndices(mesh), want);
    EXPECT_EQ(mesh.cornerCount(), static_cast<size_t>(sphereRings * sphereSegments));
    EXPECT_TRUE(mesh.texCoords.empty());
    // Every quad runs counter-clockwise seen from outside the ball.
    for (size_t q = 0; q < mesh.indices.size() / 4; ++q) {
      const uint16_t* k = &mesh.indices[4 * q];
      const Vec3 a = vec3At(mesh.positions, k[0]), b = vec3At(mesh.positions, k[1]);
      const Vec3 c = vec3At(mesh.positions, k[2]), d = vec3At(mesh.positions, k[3]);
      // Twice the quad's vector area, whichever two corners coincide.
      EXPECT_GT(dot(cross(c - a, d - b), a + c), 0.0f) << "quad " << q;
    }
  }
}

}  // namespace
}  // namespace morvane
