// The pocketing pass that tests each ball only against the pockets near it must pocket the same
// balls, in the same order, as the pass of every pocket against every ball.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "math/random.h"
#include "support/recording_sink.h"
#include "world/world.h"

namespace morvane {
namespace {

class SlotRecorder final : public PocketListener {
 public:
  explicit SlotRecorder(const World& world) : world_(world) {}
  void ballPocketed(Ball& ball) override {
    ball.active = 0;
    slots.push_back(static_cast<int>(&ball - world_.balls.data()));
  }
  std::vector<int> slots;

 private:
  const World& world_;
};

// Pockets clustered so that many overlap, and balls scattered around and inside them, many in
// several pockets at once, some exactly 40 from a centre.
World crowdedPockets(uint32_t seed, float spread, Vec3 offset) {
  World world;
  world.arenaHalfSize = 1.0e9f;
  Random random(seed);
  for (Pocket& pocket : world.pockets) {
    const float x = randomCoordinate(random, spread);
    const float y = randomCoordinate(random, spread);
    const float z = randomCoordinate(random, spread);
    pocket.centre = offset + Vec3{x, y, z};
    pocket.active = random.next() % 5 != 0 ? 1 : 0;
  }
  for (int s = 0; s < ballCount; ++s) {
    if (random.next() % 7 == 0) continue;
    Vec3 p;
    if (s % 3 == 0) {
      // On a pocket's face or edge.
      const Pocket& pocket = world.pockets[random.next() % pocketCount];
      const float sx = static_cast<float>(random.next() % 3 - 1), sy = static_cast<float>(random.next() % 3 - 1);
      p = pocket.centre + Vec3{sx * pocketHalfSize, sy * pocketHalfSize, randomCoordinate(random, 45.0f)};
    } else {
      const float x = randomCoordinate(random, spread + 60.0f);
      const float y = randomCoordinate(random, spread + 60.0f);
      const float z = randomCoordinate(random, spread + 60.0f);
      p = offset + Vec3{x, y, z};
    }
    world.balls[s].init(p, Vec3{}, s % 3);
  }
  return world;
}

void expectSamePockets(const World& start, const std::string& name) {
  World fast = start, reference = start;
  SlotRecorder fastSlots(fast), referenceSlots(reference);
  RecordingSink fastSounds, referenceSounds;
  pocketBalls(fast, fastSlots, fastSounds);
  pocketBallsEveryPocket(reference, referenceSlots, referenceSounds);
  EXPECT_EQ(fastSlots.slots, referenceSlots.slots) << name;
  EXPECT_EQ(fastSounds.played, referenceSounds.played) << name;
  EXPECT_EQ(worldHash(fast), worldHash(reference)) << name;
  EXPECT_FALSE(referenceSlots.slots.empty()) << name;
}

TEST(PocketPassEquality, OverlappingPocketsAndBallsOnTheirFaces) {
  for (uint32_t seed = 1; seed <= 20; ++seed) {
    expectSamePockets(crowdedPockets(seed, 150.0f, Vec3{}), "near the origin, seed " + std::to_string(seed));
    expectSamePockets(crowdedPockets(seed, 2000.0f, Vec3{}), "spread out, seed " + std::to_string(seed));
  }
}

TEST(PocketPassEquality, FarFromTheOrigin) {
  // Coarse floats (ulp 1 to 8) and coordinates beyond the clamped bins.
  expectSamePockets(crowdedPockets(3, 150.0f, Vec3{1.2e7f, -3.0e6f, 5.0e5f}), "ulp 1");
  expectSamePockets(crowdedPockets(4, 150.0f, Vec3{-9.0e7f, 9.0e7f, 0.0f}), "clamped");
}

TEST(PocketPassEquality, NonFiniteBallsFallNowhere) {
  World world = crowdedPockets(5, 150.0f, Vec3{});
  world.balls[1].position.x = std::nanf("");
  world.balls[2].position.y = INFINITY;
  expectSamePockets(world, "NaN and infinity");
}

}  // namespace
}  // namespace morvane
