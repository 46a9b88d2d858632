#include <gtest/gtest.h>

#include <deque>

#include "game/main_loop.h"
#include "rules/match_settings.h"

namespace morvane {
namespace {

// A clock the test moves by hand, a queue of events it fills, and a drawer that counts.
struct Loop : ::testing::Test, LoopPlatform, FrameDrawer {
  Game game;
  uint32_t now = 0;
  std::deque<InputEvent> events;
  int waits = 0, warps = 0, frames = 0;

  void SetUp() override { startMatch(game, defaultMatchSettings(), 0); }
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
  void drawFrame(const Game&) override { ++frames; }
  bool pass() { return runLoopPass(game, *this, *this); }
  void push(EventKind kind, GameKey key = GameKey::other) {
    InputEvent e;
    e.kind = kind;
    e.key = key;
    e.motion = MouseMotion{740, 512, false, false, false};
    events.push_back(e);
  }
};

TEST(FrameTimer, DueOnlyWhenStrictlyMoreThanTheIntervalHasPassed) {
  FrameTimer timer;
  EXPECT_TRUE(timer.hasElapsed(0));  // interval 0 from construction: due at once
  timer.restart(1000, 2);
  EXPECT_FALSE(timer.hasElapsed(1000) || timer.hasElapsed(1001) || timer.hasElapsed(1002));
  EXPECT_TRUE(timer.hasElapsed(1003));
  timer.restart(0xFFFFFFFEu, 2);  // a wrapping counter neither stalls nor fires early
  EXPECT_FALSE(timer.hasElapsed(0));
  EXPECT_TRUE(timer.hasElapsed(1));
}

TEST_F(Loop, FirstPassDrawsAndTicksAndQuitEndsBeforeEither) {
  push(EventKind::quit);
  EXPECT_FALSE(pass());
  EXPECT_EQ(frames, 0);
  EXPECT_EQ(game.tickTimer.intervalMs, 0u);  // never restarted: no tick ran
  now = 5000;
  EXPECT_TRUE(pass());
  EXPECT_EQ(frames, 1);
  EXPECT_EQ(game.tickTimer.startTicks, 5000u);
  EXPECT_EQ(waits, 0);
}

TEST_F(Loop, QueuedEventsTakeOnePassEachWithAFrameAndATickOffer) {
  for (int i = 0; i < 10; ++i) {
    push(EventKind::keyDown, GameKey::q);
    push(EventKind::keyUp, GameKey::q);
  }
  int passes = 0;
  for (; !events.empty(); ++passes, now += 16) ASSERT_TRUE(pass());
  EXPECT_EQ(passes, 20);
  EXPECT_EQ(frames, 5);  // passes 16 ms apart: frames at 0, 64, 128, 192, 256
  EXPECT_EQ(waits, 0);
  // Every press met the tick of its own pass: the strength rose once per press.
  EXPECT_EQ(game.cue.shotStrength, 10.0f);
}

TEST_F(Loop, AfterALongStallExactlyOneTickRunsThenTheLoopSleeps) {
  pass();
  game.cue.shotStrength = 0.0f;
  game.aimKeys.strengthUpHeld = 1;
  now += 1000;
  pass();
  EXPECT_EQ(game.cue.shotStrength, 1.0f);
  pass();
  EXPECT_EQ(game.cue.shotStrength, 1.0f);
  EXPECT_EQ(waits, 1);
}

TEST_F(Loop, FramesAreGatedAtFiftyMsAndProgressIsStoredEvenWithoutOne) {
  EXPECT_TRUE(offerFrame(game, 100, *this));
  EXPECT_FALSE(offerFrame(game, 150, *this));
  EXPECT_TRUE(offerFrame(game, 151, *this));
  showProgress(game, std::string(250, 'x'), 0.25f, 160, *this);
  EXPECT_EQ(frames, 2);
  EXPECT_EQ(game.progress.progressVisible, 1);
  EXPECT_EQ(game.progress.progressCaption.size(), 199u);
  EXPECT_EQ(game.progress.progressFraction, 0.25f);
}

TEST_F(Loop, ThirdMotionEventWarpsTheCursorBack) {
  for (int i = 0; i < 3; ++i) push(EventKind::motion);
  while (!events.empty()) pass();
  EXPECT_EQ(warps, 1);
}

}  // namespace
}  // namespace morvane
