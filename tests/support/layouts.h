#pragma once
// Racks and pockets said in one line: the default settings with a rack of edge n (a diamond, or
// n x 20 scattered balls) in an arena of the given half size, and one active pocket.
#include "rules/match_settings.h"
#include "world/world.h"

namespace morvane {

inline MatchSettings rackSettings(int n, int chaotic, float halfSize) {
  MatchSettings settings = defaultMatchSettings();
  settings.rackSize = 2 * n;
  settings.chaoticRack = chaotic;
  settings.arenaHalfSize = halfSize;
  return settings;
}

inline void addPocket(World& world, int slot, Vec3 centre) {
  world.pockets[slot].centre = centre;
  world.pockets[slot].active = 1;
}

}  // namespace morvane
