#include <gtest/gtest.h>

#include <deque>

#include "game/main_loop.h"
#include "settings/match_settings.h"

namespace morvane {
namespace {

// A clock the test moves by hand and a queue of events the test fills.
class FakePlatform final : public LoopPlatform {
 public:
  uint32_t now = 0;
  std::deque<InputEvent> events;
  int waits = 0;
  int warps = 0;
  uint32_t nowMs() override { return now; }
  bool pollEvent(InputEvent& event) override {
    if (events.empty()) return false;
    event = events.front();
    events.pop_front();
    return true;
  }
  void waitForEventOrNextStep() override { ++waits; }
  void warpCursorToCentre() override { ++warps; }
  int clientWidth() const override { return 1280; }
  int clientHeight() const override { return 1024; }
};

class CountingDrawer final : public FrameDrawer {
 public:
  int frames = 0;
  void drawFrame(const Game&) override { ++frames; }
};

struct LoopFixture : ::testing::Test {
  Game game;
  FakePlatform platform;
  CountingDrawer drawer;
  void SetUp() override { startMatch(game, defaultMatchSettings(), 0); }
  InputEvent key(EventKind kind, GameKey k) {
    InputEvent e;
    e.kind = kind;
    e.key = k;
    return e;
  }
};

TEST(FrameTimer, DueOnlyWhenStrictlyMoreThanTheIntervalHasPassed) {
  FrameTimer timer;
  EXPECT_TRUE(timer.hasElapsed(0));  // interval 0 from construction: due at once
  timer.restart(1000, 2);
  EXPECT_FALSE(timer.hasElapsed(1000));
  EXPECT_FALSE(timer.hasElapsed(1001));
  EXPECT_FALSE(timer.hasElapsed(1002));
  EXPECT_TRUE(timer.hasElapsed(1003));
  timer.restart(0xFFFFFFFEu, 2);  // the counter wrapping does not make it due early or never
  EXPECT_FALSE(timer.hasElapsed(0));
  EXPECT_TRUE(timer.hasElapsed(1));
}

TEST_F(LoopFixture, FirstPassDrawsAndTicks) {
  platform.now = 5000;
  EXPECT_TRUE(runLoopPass(game, platform, drawer));
  EXPECT_EQ(drawer.frames, 1);
  EXPECT_EQ(game.tickTimer.startTicks, 5000u);
  EXPECT_EQ(game.tickTimer.intervalMs, tickIntervalMs);
  EXPECT_EQ(platform.waits, 0);
}

TEST_F(LoopFixture, QuitEndsTheLoopBeforeThatPassesFrameAndTick) {
  InputEvent quit;
  quit.kind = EventKind::quit;
  platform.events.push_back(quit);
  EXPECT_FALSE(runLoopPass(game, platform, drawer));
  EXPECT_EQ(drawer.frames, 0);
  EXPECT_EQ(game.tickTimer.intervalMs, 0u);  // never restarted: no tick ran
}

TEST_F(LoopFixture, QueuedEventsTakeOnePassEachWithAFrameAndTickOffer) {
  for (int i = 0; i < 10; ++i) {
    platform.events.push_back(key(EventKind::keyDown, GameKey::q));
    platform.events.push_back(key(EventKind::keyUp, GameKey::q));
  }
  int passes = 0;
  int ticks = 0;
  while (!platform.events.empty()) {
    const uint32_t tickStartBefore = game.tickTimer.startTicks;
    ASSERT_TRUE(runLoopPass(game, platform, drawer));
    ++passes;
    if (game.tickTimer.startTicks != tickStartBefore || passes == 1) ++ticks;
    platform.now += 16;  // one counter step between passes: every offer is due
  }
  EXPECT_EQ(passes, 20);
  EXPECT_EQ(ticks, 20);
  // Frames are due only every 50 ms: passes at 0, 16, ..., 304 ms draw at 0, 64, 128, ...
  EXPECT_EQ(drawer.frames, 5);
  EXPECT_EQ(platform.waits, 0);
  // Each press met the tick of its pass: the strength rose once per press.
  EXPECT_EQ(game.cue.shotStrength, 10.0f);
}

TEST_F(LoopFixture, AfterALongStallExactlyOneTickRuns) {
  runLoopPass(game, platform, drawer);
  game.cue.shotStrength = 0.0f;
  game.aimKeys.strengthUpHeld = 1;
  platform.now += 1000;  // the loop was held up for a second
  runLoopPass(game, platform, drawer);
  EXPECT_EQ(game.cue.shotStrength, 1.0f);
  runLoopPass(game, platform, drawer);  // same counter value: nothing due, so the loop sleeps
  EXPECT_EQ(game.cue.shotStrength, 1.0f);
  EXPECT_EQ(platform.waits, 1);
}

TEST_F(LoopFixture, FrameAtExactlyFiftyMsIsNotDrawnButAtFiftyOneItIs) {
  platform.now = 100;
  EXPECT_TRUE(offerFrame(game, 100, drawer));
  EXPECT_FALSE(offerFrame(game, 120, drawer));
  EXPECT_FALSE(offerFrame(game, 150, drawer));
  EXPECT_TRUE(offerFrame(game, 151, drawer));
  EXPECT_EQ(drawer.frames, 2);
}

TEST_F(LoopFixture, ProgressIsStoredEvenWhenNoFrameIsDue) {
  offerFrame(game, 0, drawer);
  showProgress(game, std::string(250, 'x'), 0.25f, 10, drawer);
  EXPECT_EQ(drawer.frames, 1);
  EXPECT_EQ(game.progress.progressVisible, 1);
  EXPECT_EQ(game.progress.progressCaption.size(), 199u);
  EXPECT_EQ(game.progress.progressFraction, 0.25f);
  showProgress(game, "C: 3/1000", 0.003f, 51, drawer);
  EXPECT_EQ(drawer.frames, 2);
}

TEST_F(LoopFixture, ThirdMotionEventWarpsTheCursorBack) {
  InputEvent motion;
  motion.kind = EventKind::motion;
  motion.motion = MouseMotion{740, 512, false, false, false};
  for (int i = 0; i < 3; ++i) dispatchEvent(game, motion, platform);
  EXPECT_EQ(platform.warps, 1);
}

}  // namespace
}  // namespace morvane
