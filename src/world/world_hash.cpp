#include <cstring>

#include "world/world.h"

namespace morvane {

namespace {

struct Fnv {
  uint64_t h = 1469598103934665603ull;
  void bytes(const void* data, size_t n) {
    const auto* p = static_cast<const unsigned char*>(data);
    for (size_t i = 0; i < n; ++i) {
      h ^= p[i];
      h *= 1099511628211ull;
    }
  }
  void f(float v) {
    uint32_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    bytes(&bits, sizeof bits);
  }
  void i(int32_t v) { bytes(&v, sizeof v); }
  void v3(const Vec3& v) { f(v.x); f(v.y); f(v.z); }
};

}  // namespace

uint64_t worldHash(const World& world) {
  Fnv fnv;
  for (const Ball& b : world.balls) {
    fnv.v3(b.position);
    fnv.v3(b.velocity);
    fnv.i(b.active);
    fnv.i(b.colour);
  }
  for (const Pocket& p : world.pockets) {
    fnv.v3(p.centre);
    fnv.i(p.active);
  }
  fnv.f(world.arenaHalfSize);
  return fnv.h;
}

}  // namespace morvane
