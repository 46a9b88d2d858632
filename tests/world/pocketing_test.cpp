// Both pocketing passes, the nearby-pocket one and the every-pocket reference, case by case.
#include <gtest/gtest.h>

#include <cmath>
#include <utility>
#include <vector>

#include "reference/world_passes.h"
#include "support/recording_sink.h"

namespace morvane {
namespace {

// Takes each pocketed ball off the table, as the scoring does, and notes its slot.
struct SlotRecorder final : PocketListener {
  explicit SlotRecorder(const World& world) : world(world) {}
  void ballPocketed(Ball& ball) override {
    ball.active = 0;
    slots.push_back(static_cast<int>(&ball - world.balls.data()));
  }
  const World& world;
  std::vector<int> slots;
};

using Placed = std::vector<std::pair<int, Vec3>>;  // slots and centres
constexpr int cue = cueBallSlot;

TEST(Pocketing, CentresStrictlyInsideFallOncePocketByPocketThenSlotBySlot) {
  const struct {
    const char* name;
    Placed pockets, balls;  // balls move fast, which plays no part
    std::vector<int> fallen;
  } cases[] = {
      {"exactly 40 from the centre is outside", {{0, {100, 100, 100}}},
       {{0, {140, 100, 100}}, {1, {100, 60, 139}}, {2, {139.99f, 60.01f, 139.99f}}}, {2}},
      // Taken by pocket 5, slot 3 would come after slot 1.
      {"in two pockets: the lower", {{2, {}}, {5, {50, 0, 0}}}, {{3, {25, 0, 0}}, {1, {80, 0, 0}}}, {3, 1}},
      {"inactive pockets (all at the origin) never pocket", {}, {{0, {}}, {1, {10, 20, 30}}}, {}},
      {"pocket-major order", {{0, {-300, 0, 0}}, {1, {300, 0, 0}}, {26, {0, 300, 0}}},
       {{cue, {0, 310, 0}}, {1, {300, 5, 0}}, {5, {-300, 0, 30}}, {2, {-320, 0, 0}}, {9, {}}, {700, {0, 300, 0}}},
       {2, 5, 1, 700, cue}},
      {"non-finite centres fall nowhere", {{0, {}}}, {{1, {std::nanf(""), 0, 0}}, {2, {0, INFINITY, 0}}, {3, {}}}, {3}},
  };
  for (const auto& c : cases) {
    // The nearby-pocket pass over every slot, over a list of the placed slots, and the reference.
    for (int pass = 0; pass < 3; ++pass) {
      World world;
      world.arenaHalfSize = 500.0f;
      for (const auto& [slot, centre] : c.pockets) {
        world.pockets[slot].centre = centre;
        world.pockets[slot].active = 1;
      }
      for (const auto& [slot, position] : c.balls) world.balls[slot].init(position, Vec3{20000, 0, 0}, slot % 3);
      SlotRecorder recorder(world);
      RecordingSink sink;
      std::vector<int16_t> listed;
      for (const auto& [slot, position] : c.balls) listed.push_back(static_cast<int16_t>(slot));
      if (pass == 2) {
        pocketBallsEveryPocket(world, recorder, sink);
      } else {
        pocketBalls(world, PocketFinder(world.pockets), pass == 0 ? BallSelection::all() : BallSelection::only(listed),
                    recorder, sink);
      }
      EXPECT_EQ(recorder.slots, c.fallen) << c.name;
      EXPECT_EQ(sink.played, std::vector<SoundId>(c.fallen.size(), SoundId::pocket)) << c.name;
    }
  }
}

}  // namespace
}  // namespace morvane
