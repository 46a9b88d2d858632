// The trial workers and the in-order trials on them, on every way out of a batch: an exception
// thrown in a worker's job comes back to the calling thread; an exception on the calling thread
// (the progress report drawing a frame, a trial it plays itself) leaves no worker in the job;
// and the same pool then plays the next batch as if nothing had happened. Run under the thread
// sanitizer as well as the address sanitizer.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "game/computer_player.h"
#include "ai/in_order_trials.h"
#include "reference/one_by_one_search.h"

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
  const std::thread::id caller = std::this_thread::get_id();
  std::atomic<int> entered{0};
  const std::function<void(int)> failing = [&](int worker) {
    entered.fetch_add(1);
    if (worker == 1) throw std::runtime_error("worker 1 failed");
  };
  bool caught = false;
  {
    TrialBatch batch(pool, failing);
    ASSERT_TRUE(waitUntil([&] { return entered.load() == 2; }));
    try {
      batch.finish();
    } catch (const std::runtime_error& e) {
      caught = std::this_thread::get_id() == caller && std::string(e.what()) == "worker 1 failed";
    }
  }
  EXPECT_TRUE(caught);

  // The pool again: every worker takes the next job, and no stale exception comes back.
  std::atomic<int> runs[2] = {0, 0};
  const std::function<void(int)> counting = [&](int worker) { runs[worker].fetch_add(1); };
  TrialBatch again(pool, counting);
  ASSERT_TRUE(waitUntil([&] { return runs[0].load() + runs[1].load() == 2; }));
  EXPECT_NO_THROW(again.finish());
  EXPECT_EQ(std::pair(runs[0].load(), runs[1].load()), std::pair(1, 1));
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

  // Item i: a stroke along one of seven directions, every ninth item no trial at all.
  static bool planItem(int i, Vec3& aim, float& strength, bool& requirePocket) {
    const Vec3 directions[] = {{1, 0, 0}, {1, 0.2f, 0}, {1, 0, -0.4f}, {0, 1, 0}, {-1, 0.1f, 0}, {1, 1, 1}, {0, 0, 1}};
    aim = directions[i % 7];
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
      if (!planItem(i, aim, strength, requirePocket)) {
        EXPECT_FALSE(slot.ran) << "item " << i;
        return false;
      }
      const TrialOutcome expected = reference->play(aim, strength, requirePocket);
      EXPECT_TRUE(slot.ran);
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

// The computer's turn whose progress report fails in the middle of the random tries (no pocket,
// so nothing is accepted early): the exception reaches the caller, and the same workers then
// play the turn exactly as the one-by-one search does.
TEST(TrialWorkers, AFailingProgressReportInTheComputersTurnLeavesThePoolUsable) {
  struct FailingReporter final : ProgressReporter {
    void report(const std::string&, float) override {
      if (++reports == 40) throw std::runtime_error("frame failed");
    }
    int reports = 0;
  };
  struct QuietReporter final : ProgressReporter {
    void report(const std::string&, float) override {}
  };
  auto start = std::make_unique<Game>();
  start->settings = defaultMatchSettings();
  start->settings.arenaHalfSize = start->world.arenaHalfSize = 500.0f;
  start->settings.aimError = 0.0f;
  start->match.ballInHand = start->match.breakShotPending = 0;
  start->match.targetColour = colourBlue;
  start->world.balls[cueBallSlot].init(Vec3{}, Vec3{}, colourCueBall);
  for (int s = 0; s < 8; ++s)
    start->world.balls[s].init(Vec3{s & 1 ? 200.f : -200.f, s & 2 ? 200.f : -200.f, s & 4 ? 200.f : -200.f}, {},
                               colourBlue);

  TrialWorkers pool(defaultTrialWorkerCount());
  auto failed = std::make_unique<Game>(*start);
  FailingReporter failing;
  EXPECT_THROW(playComputerTurn(*failed, failing, pool), std::runtime_error);
  EXPECT_EQ(failed->match.computerShotPending, 0);  // no shot armed

  auto fast = std::make_unique<Game>(*start), reference = std::make_unique<Game>(*start);
  QuietReporter quiet;
  const SearchOutcome a = playComputerTurn(*fast, quiet, pool);
  const SearchOutcome b = playComputerTurnOneByOne(*reference, quiet);
  EXPECT_EQ(std::tie(a.phase, a.index, a.found, a.trials), std::tie(b.phase, b.index, b.found, b.trials));
  EXPECT_EQ(a.phase, SearchPhase::randomShot);
  EXPECT_GT(a.trials, 40);
  EXPECT_TRUE(fast->random == reference->random);
  EXPECT_EQ(0, std::memcmp(&fast->cue, &reference->cue, sizeof(CueState)));
}

}  // namespace
}  // namespace morvane
