#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "support/recording_sink.h"
#include "world/world.h"

namespace morvane {
namespace {

// Takes each pocketed ball off the table, as the scoring does, and notes its slot.
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

World arenaWithPocketAt(Vec3 centre, int pocketSlot = 0) {
  World world;
  world.arenaHalfSize = 500.0f;
  world.pockets[pocketSlot].centre = centre;
  world.pockets[pocketSlot].active = 1;
  return world;
}

TEST(Pocketing, ExactlyFortyFromTheCentreIsOutside) {
  World world = arenaWithPocketAt(Vec3{100.0f, 100.0f, 100.0f});
  world.balls[0].init(Vec3{140.0f, 100.0f, 100.0f}, Vec3{}, colourBlue);
  world.balls[1].init(Vec3{100.0f, 60.0f, 139.0f}, Vec3{}, colourBlue);
  world.balls[2].init(Vec3{139.99f, 60.01f, 139.99f}, Vec3{}, colourBlue);
  SlotRecorder recorder(world);
  RecordingSink sink;
  pocketBalls(world, recorder, sink);
  EXPECT_EQ(recorder.slots, (std::vector<int>{2}));
  EXPECT_EQ(world.balls[0].active, 1);
  EXPECT_EQ(world.balls[1].active, 1);
  EXPECT_EQ(world.balls[2].active, 0);
  EXPECT_EQ(sink.played, (std::vector<SoundId>{SoundId::pocket}));
}

TEST(Pocketing, BallInTwoPocketsFallsOnceIntoTheLowerIndex) {
  // Pocket 2 holds slot 3 (also inside pocket 5); pocket 5 alone holds slot 1. Were slot 3
  // taken by pocket 5, it would come after slot 1.
  World world = arenaWithPocketAt(Vec3{0.0f, 0.0f, 0.0f}, 2);
  world.pockets[5].centre = Vec3{50.0f, 0.0f, 0.0f};
  world.pockets[5].active = 1;
  world.balls[3].init(Vec3{25.0f, 0.0f, 0.0f}, Vec3{}, colourGreen);
  world.balls[1].init(Vec3{80.0f, 0.0f, 0.0f}, Vec3{}, colourBlue);
  SlotRecorder recorder(world);
  RecordingSink sink;
  pocketBalls(world, recorder, sink);
  EXPECT_EQ(recorder.slots, (std::vector<int>{3, 1}));
  EXPECT_EQ(sink.count(SoundId::pocket), 2);
}

TEST(Pocketing, InactivePocketNeverPockets) {
  World world = arenaWithPocketAt(Vec3{10.0f, 20.0f, 30.0f});
  world.pockets[0].active = 0;
  world.balls[0].init(Vec3{10.0f, 20.0f, 30.0f}, Vec3{}, colourBlue);
  SlotRecorder recorder(world);
  RecordingSink sink;
  pocketBalls(world, recorder, sink);
  EXPECT_TRUE(recorder.slots.empty());
  EXPECT_EQ(world.balls[0].active, 1);
  EXPECT_TRUE(sink.played.empty());
}

TEST(Pocketing, OrderIsPocketByPocketThenSlotBySlot) {
  World world = arenaWithPocketAt(Vec3{-300.0f, 0.0f, 0.0f}, 0);
  world.pockets[1].centre = Vec3{300.0f, 0.0f, 0.0f};
  world.pockets[1].active = 1;
  world.pockets[26].centre = Vec3{0.0f, 300.0f, 0.0f};
  world.pockets[26].active = 1;
  world.balls[cueBallSlot].init(Vec3{0.0f, 310.0f, 0.0f}, Vec3{}, colourCueBall);
  world.balls[1].init(Vec3{300.0f, 5.0f, 0.0f}, Vec3{}, colourBlue);
  world.balls[5].init(Vec3{-300.0f, 0.0f, 30.0f}, Vec3{}, colourRed);
  world.balls[2].init(Vec3{-320.0f, 0.0f, 0.0f}, Vec3{}, colourGreen);
  world.balls[9].init(Vec3{0.0f, 0.0f, 0.0f}, Vec3{}, colourBlue);  // in no pocket
  world.balls[700].init(Vec3{0.0f, 300.0f, 0.0f}, Vec3{}, colourBlue);
  SlotRecorder recorder(world);
  RecordingSink sink;
  pocketBalls(world, recorder, sink);
  EXPECT_EQ(recorder.slots, (std::vector<int>{2, 5, 1, 700, cueBallSlot}));
  EXPECT_EQ(world.balls[9].active, 1);
  EXPECT_EQ(sink.count(SoundId::pocket), 5);
}

TEST(Pocketing, SpeedPlaysNoPartAndSilenceChangesNothing) {
  World world = arenaWithPocketAt(Vec3{0.0f, 0.0f, 0.0f});
  world.balls[0].init(Vec3{39.0f, 0.0f, 0.0f}, Vec3{20000.0f, 0.0f, 0.0f}, colourBlue);
  world.balls[1].init(Vec3{-39.0f, 39.0f, -39.0f}, Vec3{}, colourBlue);
  World quiet = world;
  SlotRecorder recorder(world);
  RecordingSink sink;
  pocketBalls(world, recorder, sink);
  EXPECT_EQ(recorder.slots, (std::vector<int>{0, 1}));

  SlotRecorder quietRecorder(quiet);
  SilentSink silent;
  pocketBalls(quiet, quietRecorder, silent);
  EXPECT_EQ(quietRecorder.slots, recorder.slots);
  EXPECT_EQ(quiet, world);
}

TEST(Pocketing, OnlyTheCentreAtTheEndOfAStepCounts) {
  // The step from (25, 45) to about (53.3, 16.7) cuts across the corner of the cube around the
  // origin, but neither end lies inside it.
  World world = arenaWithPocketAt(Vec3{0.0f, 0.0f, 0.0f});
  world.balls[0].init(Vec3{25.0f, 45.0f, 0.0f}, Vec3{14142.136f, -14142.136f, 0.0f}, colourBlue);
  SlotRecorder recorder(world);
  RecordingSink sink;
  for (int step = 0; step < 3; ++step) {
    moveAllBalls(world, sink);
    pocketBalls(world, recorder, sink);
  }
  EXPECT_TRUE(recorder.slots.empty());
  EXPECT_GT(world.balls[0].position.x, 100.0f);
  EXPECT_EQ(world.balls[0].active, 1);
}

TEST(PocketPlacement, RefusedOnlyByAnActiveBallCentreStrictlyInside) {
  World world;
  world.arenaHalfSize = 500.0f;
  world.balls[0].init(Vec3{40.0f, 0.0f, 0.0f}, Vec3{}, colourBlue);
  world.balls[1].position = Vec3{0.0f, 0.0f, 0.0f};  // an empty slot does not block
  Pocket pocket;
  EXPECT_TRUE(pocket.place(Vec3{0.0f, 0.0f, 0.0f}, world.balls));
  EXPECT_EQ(pocket.active, 1);
  EXPECT_EQ(pocket.centre, (Vec3{0.0f, 0.0f, 0.0f}));

  world.balls[0].position = Vec3{39.99f, -39.99f, 39.99f};
  EXPECT_FALSE(pocket.place(Vec3{0.0f, 0.0f, 0.0f}, world.balls));
  EXPECT_EQ(pocket.active, 0);
  // contains() does not look at active.
  EXPECT_TRUE(pocket.contains(Vec3{39.99f, -39.99f, 39.99f}));
  EXPECT_FALSE(pocket.contains(Vec3{0.0f, -40.0f, 0.0f}));
}

}  // namespace
}  // namespace morvane
