// The frame snapshot and its hand-off to the render thread: the snapshot holds what the frame
// shows; the game thread never waits for a slow drawer, the newest snapshot wins, and stopping
// joins. Run under the thread sanitizer too.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <thread>
#include <vector>

#include "graphics/render_thread.h"
#include "support/test_game.h"

namespace morvane {
namespace {

using namespace std::chrono_literals;

TEST(FrameSnapshot, HoldsTheAimGuideOnlyAtRestAndTheOverlayAsTheGameShowsIt) {
  const struct { const char* name; int cueBallActive; float rolling; int help, progress; bool guide; } cases[] = {
      {"at rest", 1, 0.0f, 0, 0, true},
      {"a ball rolling", 1, 300.0f, 1, 0, false},
      {"the cue ball off the table", 0, 0.0f, 0, 1, false},
  };
  for (const auto& c : cases) {
    TestGame game;
    game.world.balls[3].init(Vec3{100.0f, 0.0f, 0.0f}, Vec3{0.0f, c.rolling, 0.0f}, colourRed);
    game.putCueBall(Vec3{-20.0f, 10.0f, 5.0f});
    game.world.balls[cueBallSlot].active = c.cueBallActive;
    game.cue.cueDirection = Vec3{0.0f, 100.0f, 0.0f};
    game.helpVisible = c.help;
    game.progress.progressVisible = c.progress;
    game.camera.eye = Vec3{1.0f, 2.0f, 3.0f};
    const FrameSnapshot frame = takeFrameSnapshot(game, FrameSize{1280, 1000, 1920, 1080}, 7);
    EXPECT_EQ(std::tuple(frame.aimGuideVisible, frame.helpVisible, frame.progressBar.has_value()),
              std::tuple(c.guide, c.help != 0, c.progress != 0)) << c.name;
    EXPECT_EQ(frame.aimGuideEnd, (Vec3{-20.0f, -490.0f, 5.0f})) << c.name;
    EXPECT_TRUE(frame.world == game.world && frame.camera == game.camera) << c.name;
    EXPECT_EQ(std::tuple(frame.size.screenWidth, frame.size.viewportHeight, frame.sphereMeshGeneration),
              std::tuple(1920, 1000, 7u)) << c.name;
    // The overlay is laid out for the screen, not for the client area.
    ASSERT_FALSE(frame.statusLines.empty()) << c.name;
    EXPECT_EQ(frame.statusLines, hudStatusLines(game, 1920, 1080)) << c.name;
  }
}

// Draws slowly, noting the thread and the frames it drew; frame k carries k as its mesh
// generation.
struct SlowDrawer final : SnapshotDrawer {
  bool begin(std::string& error) override {
    thread = std::this_thread::get_id();
    error = failBegin ? "no context" : "";
    return !failBegin;
  }
  void draw(const FrameSnapshot& frame) override {
    EXPECT_EQ(std::this_thread::get_id(), thread);
    if (frame.sphereMeshGeneration == throwAt) throw std::runtime_error("draw failed");
    std::this_thread::sleep_for(20ms);
    drawn.push_back(frame.sphereMeshGeneration);
  }
  void end() override { ended.fetch_add(1); }

  bool failBegin = false;
  uint64_t throwAt = UINT64_MAX;
  std::thread::id thread;
  std::vector<uint64_t> drawn;  // read by the test only after stop()
  std::atomic<int> ended{0};
};

FrameSnapshot numbered(uint64_t k) {
  FrameSnapshot frame;
  frame.sphereMeshGeneration = k;
  return frame;
}

TEST(RenderThread, TheGameThreadNeverWaitsTheNewestFrameWinsAndStopJoins) {
  SlowDrawer drawer;
  RenderThread render(drawer);
  std::string error;
  ASSERT_TRUE(render.start(error)) << error;
  EXPECT_NE(drawer.thread, std::this_thread::get_id());
  // 100 frames offered every 2 ms against a drawer taking 20 ms a frame.
  auto longestSubmit = 0ms * 1.0;
  for (uint64_t k = 1; k <= 100; ++k) {
    const auto started = std::chrono::steady_clock::now();
    render.submit(numbered(k));
    longestSubmit = std::max(longestSubmit, std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - started));
    std::this_thread::sleep_for(2ms);
  }
  std::this_thread::sleep_for(100ms);  // the last frame is drawn by now
  const FrameStats stats = render.takeStats();
  render.stop();
  render.stop();  // a second stop does nothing
  EXPECT_LT(longestSubmit.count(), 10.0);
  ASSERT_FALSE(drawer.drawn.empty());
  EXPECT_EQ(drawer.drawn.back(), 100u);
  for (size_t i = 1; i < drawer.drawn.size(); ++i) EXPECT_LT(drawer.drawn[i - 1], drawer.drawn[i]);
  EXPECT_EQ(stats.frames, drawer.drawn.size());
  EXPECT_EQ(stats.frames + stats.dropped, 100u);
  EXPECT_GE(stats.longestFrameMs, 20.0);
  EXPECT_EQ(drawer.ended.load(), 1);
}

TEST(RenderThread, AFailedBeginIsReportedAndADrawsFailureComesBackToTheGameThread) {
  SlowDrawer refusing;
  refusing.failBegin = true;
  RenderThread refused(refusing);
  std::string error;
  EXPECT_FALSE(refused.start(error));
  EXPECT_EQ(error, "no context");
  EXPECT_EQ(refusing.ended.load(), 0);

  SlowDrawer failing;
  failing.throwAt = 1;
  RenderThread render(failing);
  ASSERT_TRUE(render.start(error));
  render.submit(numbered(1));
  std::this_thread::sleep_for(50ms);
  EXPECT_THROW(render.submit(numbered(2)), std::runtime_error);
  std::this_thread::sleep_for(50ms);
  render.stop();
  EXPECT_EQ(failing.drawn, (std::vector<uint64_t>{2}));
}

}  // namespace
}  // namespace morvane
