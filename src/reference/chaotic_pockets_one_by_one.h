#pragma once
// The chaotic layout's pocket placement the straightforward way, every try a Pocket::place over
// the ball table: what placeChaoticPockets must reproduce, pockets and generator alike.
#include "math/random.h"
#include "world/world.h"

namespace morvane {

void placeChaoticPocketsOneByOne(World& world, Random& random);

}  // namespace morvane
