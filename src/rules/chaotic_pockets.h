#pragma once
// The chaotic layout's pockets: for slots 0 to 26 in order, random centres (x, y, z drawn in
// this order) until one holds no active ball centre, at most maxPocketPlacementTries per slot;
// a slot that never finds room keeps its last tried centre and stays inactive.
#include "math/random.h"
#include "world/world.h"

namespace morvane {

constexpr int maxPocketPlacementTries = 100000;

// The placement, fast in a crowded arena: once a slot has been refused a few hundred times, the
// points a centre can take (a lattice: float(r) - h on each axis) are marked free or blocked in
// one pass over the balls, and every later try is a lookup; when none is free, the generator
// skips the remaining draws at once. Same pockets and generator state as the straightforward
// placement, every try a Pocket::place over the ball table.
void placeChaoticPockets(World& world, Random& random);

// The generator after the given number of draws, without drawing them.
Random skipDraws(Random random, uint64_t draws);

}  // namespace morvane
