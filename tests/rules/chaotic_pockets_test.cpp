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

TEST(ChaoticPockets, SkippingDrawsLandsWhereDrawingThemDoes) {
  for (uint64_t n : {0ull, 1ull, 2ull, 3ull, 64ull, 1000ull, 299997ull}) {
    Random drawn(12345), skipped = skipDraws(Random(12345), n);
    for (uint64_t k = 0; k < n; ++k) drawn.next();
    EXPECT_EQ(skipped, drawn) << n;
  }
}

TEST(ChaoticPockets, FastPlacementMatchesTheOneByOnePlacement) {
  const struct { int n; float halfSize; uint32_t seeds; const char* what; } cases[] = {
      {5, 500.0f, 2, "room everywhere"},
      {1, 75.0f, 4, "crowded: some slots find room, some give up"},
      {1, 75.25f, 2, "crowded, fractional arena"},
      {20, 130.0f, 1, "crowded by many balls"},
      {1, 50.0f, 1, "no room at all: every try refused"},
      {1, 40.0f, 1, "a single point to try, held by the balls"},
      {1, 30.0f, 1, "pocket range past the walls (2h < 0)"},
      {2, 20.25f, 1, "balls all at the centre"}};
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
      for (int p = 0; p < pocketCount; ++p) {
        EXPECT_EQ(fast->pockets[p], reference->pockets[p]) << "pocket " << p;
      }
    }
  }
}

}  // namespace
}  // namespace morvane
