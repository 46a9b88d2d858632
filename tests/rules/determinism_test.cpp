// A fixed seed, a chaotic rack and a fixed sequence of shots played through the live passes must
// always end in the same world, bit for bit, in every build type. If a change to the
// simulation alters the result on purpose, record the new hash here.
#include <gtest/gtest.h>

#include "rules/setup.h"
#include "rules/scoring.h"
#include "support/test_game.h"

namespace morvane {
namespace {

constexpr uint64_t recordedWorldHash = 4627132717920883213ull;

TEST(Determinism, FixedSeedAndShotsGiveTheRecordedWorld) {
  TestGame table;  // default settings in a 500 arena
  table.random = Random(20261206);
  table.settings.chaoticRack = 1;
  table.settings.rackSize = 20;  // n = 10: 200 balls
  table.settings.randomStart = 0;
  layOutRound(table.world, table.match, table.settings, table.random, table.recorded);
  ASSERT_EQ(table.match.targetColour, colourBlue);

  // Where the cue ball goes whenever it is in hand: the first legal spot of these.
  const Vec3 spots[] = {{120.0f, 20.0f, 0.0f}, {0.0f, 0.0f, 300.0f}, {-300.0f, 300.0f, -300.0f},
                        {300.0f, -300.0f, 300.0f}, {0.0f, -400.0f, 0.0f}};
  // The first goes into the blue at (21, 16, -3).
  const std::pair<Vec3, float> shots[] = {{{-99.0f, -4.0f, -3.0f}, 150.0f}, {{75.0f, -72.0f, 54.0f}, 60.0f},
                                          {{-91.0f, -182.0f, 25.0f}, 80.0f}, {{-241.0f, -79.0f, 63.0f}, 50.0f}};
  int shotsPlayed = 0;
  for (int tick = 0; tick < 3000; ++tick) {
    if (table.match.shotInProgress == 0 && allBallsAtRest(table.world) && shotsPlayed < 4) {
      for (const Vec3& spot : spots) {
        if (table.match.ballInHand != 0 && cueBallPlacementOk(table.world, spot)) table.putCueBall(spot);
      }
      ASSERT_EQ(table.match.ballInHand, 0) << "no legal spot before shot " << shotsPlayed;
      table.strike(shots[shotsPlayed].first, shots[shotsPlayed].second);
      ++shotsPlayed;
    }
    table.tick();
  }
  EXPECT_EQ(shotsPlayed, 4);
  // What the four shots did: a foul, a miss and two more fouls; seven balls fell on the way.
  EXPECT_EQ(std::tuple(table.match.roundsWon, table.match.currentPlayer, table.match.ballInHand, table.match.scores, table.activeBalls()),
            std::tuple(std::array<int32_t, 2>{0, 0}, 0, 1, std::array<float, 2>{0.0f, 0.0f}, 193));
  EXPECT_EQ(worldHash(table.world), recordedWorldHash);
}

}  // namespace
}  // namespace morvane
