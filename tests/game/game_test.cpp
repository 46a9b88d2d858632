#include <gtest/gtest.h>

#include <deque>

#include "game/computer_player.h"
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
};

// Each pass takes at most one event, then offers a frame (due 50 ms after the last) and a tick
// (due 2 ms after the last: once per 16 ms step here, and one only after a stall); it sleeps only
// when it took no event and neither drew nor ticked. The held strength key counts the ticks;
// every third motion warps the cursor back. Keys and buttons reach their controls, down and up.
TEST_F(Loop, EachPassTakesAnEventOffersAFrameAndATickAndSleepsOnlyWhenIdle) {
  game.aimKeys.strengthUpHeld = 1;
  // The rows: the first pass draws and ticks; then nothing is due and it sleeps; 16 ms on only a
  // tick is due, and a pass that ticked does not sleep; of two queued motions one is taken, then
  // the other; after a stall of a second, one frame and one tick, and the third motion warps; then
  // it sleeps again.
  const struct { uint32_t advanceMs; size_t motions, left; int frames, ticks, waits, warps; } rows[] = {
      {0, 0, 0, 1, 1, 0, 0}, {0, 0, 0, 1, 1, 1, 0},    {16, 0, 0, 1, 2, 1, 0}, {0, 2, 1, 1, 2, 1, 0},
      {0, 0, 0, 1, 2, 1, 0}, {1000, 1, 0, 2, 3, 1, 1}, {0, 0, 0, 2, 3, 2, 1}};
  for (const auto& row : rows) {
    SCOPED_TRACE(&row - rows);
    now += row.advanceMs;
    events.insert(events.end(), row.motions, InputEvent{EventKind::motion, {}, {}, MouseMotion{740, 512}});
    EXPECT_TRUE(runLoopPass(game, *this, *this));
    EXPECT_EQ(std::tuple(events.size(), frames, game.cue.shotStrength, waits, warps),
              std::tuple(row.left, row.frames, static_cast<float>(row.ticks), row.waits, row.warps));
  }
  const std::pair<EventKind, int> presses[] = {
      {EventKind::keyDown, 1}, {EventKind::buttonDown, 3}, {EventKind::keyUp, 2}, {EventKind::buttonUp, 0}};
  for (const auto& [kind, held] : presses) {
    events.push_back(InputEvent{kind, GameKey::f1, MouseButton::right, {}});
    EXPECT_TRUE(runLoopPass(game, *this, *this));
    EXPECT_EQ(game.helpVisible + 2 * game.aimKeys.strengthDownHeld, held);
  }
}

// The computer's progress is stored, its caption cut to 199 bytes, even when no frame is due.
TEST_F(Loop, ProgressIsStoredEvenWithoutAFrame) {
  EXPECT_TRUE(offerFrame(game, 100, *this));
  showProgress(game, std::string(250, 'x'), 0.25f, 150, *this);
  EXPECT_EQ(std::tuple(frames, game.progress.progressVisible, game.progress.progressCaption.size()),
            std::tuple(1, 1, 199u));
}

// SPACE strikes unless the computer's shot is pending (its cue alone fires it and turns the view,
// which the camera keys leave alone meanwhile); keypad 2 puts
// the eye at the cue ball when it is on the table, as arming the computer's shot does; R restores
// the start orientation and keeps the eye.
TEST_F(Loop, OneShotKeysActOnThePress) {
  game.camera = Camera{{1, 2, 3}, {1, 2, 3}};
  keyDown(game, GameKey::keypad2);
  keyDown(game, GameKey::r);
  EXPECT_EQ(game.camera, (Camera{{1, 2, 3}}));
  game.world.balls[cueBallSlot].init(Vec3{0, 0, 400}, Vec3{}, colourCueBall);
  game.match.ballInHand = 0;
  game.cue.shotStrength = 10.0f;
  armComputerShot(game);
  keyDown(game, GameKey::space);
  keyDown(game, GameKey::keypad8);  // held keys, too, leave the view to the computer's cue
  applyCameraKeys(game.camera, game.cameraKeys, game.match);
  EXPECT_EQ(std::pair(game.camera.eye, game.match.shotInProgress), std::pair(Vec3{0, 0, 400}, 0));
  game.match.computerShotPending = 0;
  game.camera.eye = Vec3{};
  keyDown(game, GameKey::keypad2);
  keyDown(game, GameKey::space);
  EXPECT_EQ(std::pair(game.camera.eye, game.world.balls[cueBallSlot].velocity),
            std::pair(Vec3{0, 0, 400}, Vec3{0, 0, 1000}));
}

}  // namespace
}  // namespace morvane
