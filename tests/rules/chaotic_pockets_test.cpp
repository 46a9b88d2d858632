// The fast chaotic pocket placement against the straightforward one: the same pockets (centres
// of the refused slots included) and the same generator state afterwards, in roomy, crowded,
// hopeless and degenerate arenas.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "reference/chaotic_pockets_one_by_one.h"
#include "rules/chaotic_pockets.h"
#include "rules/setup.h"

namespace morvane {
namespace {

TEST(ChaoticPockets, FastPlacementMatchesTheOneByOnePlacement) {
  const struct { int n; float halfSize; uint32_t seeds; const char* what; } cases[] = {
      {5, 500.0f, 2, "room everywhere"}, {1, 75.0f, 4, "crowded: some slots find room, some give up"},
      {1, 75.25f, 2, "crowded, fractional arena"}, {20, 130.0f, 1, "crowded by many balls"},
      // The generator skips the draws of every refused try at once: it must land where drawing them does.
      {1, 50.0f, 1, "no room at all: every try refused"}, {1, 40.0f, 1, "a single point to try, held by the balls"},
      {1, 30.0f, 1, "pocket range past the walls (2h < 0)"}, {2, 20.25f, 1, "balls all at the centre"}};
  for (const auto& c : cases) {
    MatchSettings settings = defaultMatchSettings();
    settings.chaoticRack = 1;
    settings.rackSize = 2 * c.n;
    settings.arenaHalfSize = c.halfSize;
    for (uint32_t seed = 1; seed <= c.seeds; ++seed) {
      SCOPED_TRACE(std::string(c.what) + ", seed " + std::to_string(seed));
      const auto fast = std::make_unique<World>(), reference = std::make_unique<World>();
      Random random(seed);
      fast->arenaHalfSize = c.halfSize;
      rackBalls(*fast, settings, random);
      *reference = *fast;
      Random referenceRandom = random;
      placeChaoticPockets(*fast, random);
      placeChaoticPocketsOneByOne(*reference, referenceRandom);
      EXPECT_EQ(random, referenceRandom);
      EXPECT_EQ(fast->pockets, reference->pockets);
    }
  }
}

}  // namespace
}  // namespace morvane
