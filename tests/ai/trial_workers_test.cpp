// The trial workers and the in-order trials on them, on every way out of a batch: an exception
// in a worker's job comes back to the calling thread; one on the calling thread leaves no worker
// in the job; the same pool then plays the next batch in order. Run under the thread sanitizer too.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "game/computer_player.h"
#include "ai/in_order_trials.h"

namespace morvane {
namespace {

using namespace std::chrono_literals;

// Spins until done() or a generous time has passed; false on time-out.
template <class Done>
bool waitUntil(const Done& done) {
  const auto giveUp = std::chrono::steady_clock::now() + 20s;
  while (!done()) {
    if (std::chrono::steady_clock::now() > giveUp) return false;
    std::this_thread::sleep_for(100us);
  }
  return true;
}

TEST(TrialWorkers, AnExceptionInAWorkersJobIsRethrownOnTheCallingThread) {
  TrialWorkers pool(2);
  std::atomic<int> entered{0};
  const std::function<void(int)> failing = [&](int worker) {
    entered.fetch_add(1);
    if (worker == 1) throw std::runtime_error("worker 1 failed");
  };
  TrialBatch batch(pool, failing);
  ASSERT_TRUE(waitUntil([&] { return entered.load() == 2; }));
  std::string message;
  try {
    batch.finish();
  } catch (const std::runtime_error& e) {
    message = e.what();
  }
  EXPECT_EQ(message, "worker 1 failed");
}

// In-order trials on an open table: the cue ball at the centre, one blue ball ahead, no pocket.
struct InOrder : ::testing::Test {
  static constexpr int itemCount = 400;

  void SetUp() override {
    settings = defaultMatchSettings();
    base.world.arenaHalfSize = 500.0f;
    base.world.balls[0].init(Vec3{100.0f, 0.0f, 0.0f}, Vec3{}, colourBlue);
    base.world.balls[cueBallSlot].init(Vec3{}, Vec3{}, colourCueBall);
    base.match.targetColour = colourBlue;
  }

  // Item i: a stroke along one of five directions, every ninth item no trial at all.
  static bool planItem(int i, Vec3& aim, float& strength, bool& requirePocket) {
    aim = Vec3{1.0f, float(i % 5) * 0.2f - 0.4f, float(i % 3)};
    strength = 10.0f + static_cast<float>(i % 13) * 5.0f;
    requirePocket = false;
    return i % 9 != 8;
  }

  // Every item taken in order, compared with one simulator playing them one after another.
  void expectAllItemsInOrder(InOrderTrials& trials) {
    auto reference = std::make_unique<TrialSimulator>();
    reference->setBase(base, settings);
    int next = 0;
    trials.run(itemCount, planItem, [&](int i, const TrialSlot& slot) {
      EXPECT_EQ(i, next++);
      Vec3 aim;
      float strength;
      bool requirePocket;
      EXPECT_EQ(slot.ran, planItem(i, aim, strength, requirePocket)) << "item " << i;
      if (!slot.ran) return false;
      const TrialOutcome expected = reference->play(aim, strength, requirePocket);
      EXPECT_EQ(std::tie(slot.outcome.accepted, slot.outcome.steps, slot.outcome.abandoned),
                std::tie(expected.accepted, expected.steps, expected.abandoned))
          << "item " << i;
      return false;
    });
    EXPECT_EQ(next, itemCount);
  }

  MatchSettings settings;
  ShotState base;
  TrialWorkers pool{2};
};

TEST_F(InOrder, AnExceptionFromTheConsumerLeavesNoWorkerInTheBatch) {
  InOrderTrials trials(pool, base, settings);
  std::atomic<int> planned{0};
  std::vector<int> consumed;
  const auto plan = [&](int i, Vec3& aim, float& strength, bool& requirePocket) {
    planned.fetch_add(1);
    // The later items are slow, so that the batch cannot be over before the consumer fails.
    if (i >= 60) std::this_thread::sleep_for(1ms);
    return planItem(i, aim, strength, requirePocket);
  };
  // As the progress report would throw from drawing a frame, while the workers are ahead.
  const auto consume = [&](int i, const TrialSlot&) {
    if (i == 30) throw std::runtime_error("frame failed");
    consumed.push_back(i);
    return false;
  };
  EXPECT_THROW(trials.run(itemCount, plan, consume), std::runtime_error);
  const int plannedAtThrow = planned.load();
  std::this_thread::sleep_for(50ms);
  EXPECT_EQ(planned.load(), plannedAtThrow);  // nobody is still taking items
  EXPECT_LT(plannedAtThrow, itemCount);       // and they stopped early
  ASSERT_EQ(consumed.size(), 30u);
  for (int i = 0; i < 30; ++i) EXPECT_EQ(consumed[size_t(i)], i);

  expectAllItemsInOrder(trials);
}

TEST_F(InOrder, AnExceptionInATrialComesBackWhenItsItemIsReached) {
  constexpr int failingItem = 12;
  int thrownOnAWorker = 0;
  const std::thread::id caller = std::this_thread::get_id();
  for (int repeat = 0; repeat < 20; ++repeat) {
    InOrderTrials trials(pool, base, settings);
    std::atomic<bool> failingItemStarted{false};
    std::atomic<bool> failedOnAWorker{false};
    const auto plan = [&](int i, Vec3& aim, float& strength, bool& requirePocket) {
      if (i == failingItem) {
        failedOnAWorker = std::this_thread::get_id() != caller;
        failingItemStarted = true;
        throw std::runtime_error("trial " + std::to_string(i) + " failed");
      }
      return planItem(i, aim, strength, requirePocket);
    };
    std::vector<int> consumed;
    const auto consume = [&](int i, const TrialSlot&) {
      // Holding the calling thread here leaves the failing item to a worker.
      if (i == 0) waitUntil([&] { return failingItemStarted.load(); });
      consumed.push_back(i);
      return false;
    };
    std::string message;
    try {
      trials.run(itemCount, plan, consume);
    } catch (const std::runtime_error& e) {
      message = e.what();
    }
    EXPECT_EQ(message, "trial 12 failed");
    // Consumed in order, never beyond the failed item; all before it when a worker failed.
    for (size_t k = 0; k < consumed.size(); ++k) EXPECT_EQ(consumed[k], int(k));
    EXPECT_LE(consumed.size(), size_t(failingItem));
    if (failedOnAWorker) {
      ++thrownOnAWorker;
      EXPECT_EQ(consumed.size(), size_t(failingItem));
    }
    if (HasFailure()) break;
  }
  EXPECT_GT(thrownOnAWorker, 0);

  InOrderTrials trials(pool, base, settings);
  expectAllItemsInOrder(trials);
}

}  // namespace
}  // namespace morvane
