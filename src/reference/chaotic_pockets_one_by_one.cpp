#include "reference/chaotic_pockets_one_by_one.h"

#include "rules/chaotic_pockets.h"

namespace morvane {

void placeChaoticPocketsOneByOne(World& world, Random& random) {
  const float h = world.arenaHalfSize - pocketHalfSize;
  for (Pocket& pocket : world.pockets) {
    for (int attempt = 0; attempt < maxPocketPlacementTries; ++attempt) {
      const float x = randomCoordinate(random, h);
      const float y = randomCoordinate(random, h);
      const float z = randomCoordinate(random, h);
      if (pocket.place(Vec3{x, y, z}, world.balls)) break;
    }
  }
}

}  // namespace morvane
