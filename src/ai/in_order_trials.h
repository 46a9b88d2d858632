#pragma once
// Trials planned by index, played on the trial workers and on the calling thread, and handed to
// the calling thread strictly in index order: the order the one-by-one search would take them in.
#include <atomic>
#include <functional>
#include <memory>
#include <vector>

#include "ai/trial_simulator.h"
#include "ai/trial_workers.h"

namespace morvane {

struct TrialSlot {
  std::atomic<int> ready{0};
  bool failed = false;  // the item threw on a worker; its exception comes back through finish()
  bool ran = false;     // false: nothing to try (blocked cut shot, random aim of length 0)
  Vec3 aim{};
  float strength = 0.0f;
  TrialOutcome outcome;
};

// Items are taken in ascending order; while the result it needs next is not ready, the calling
// thread takes an item itself (so a turn decided by its first trial needs no other thread at
// all). Once the consumer has its answer, the items beyond it are dropped and trials still
// running on them are abandoned. However run() is left (the answer, the end of the items, an
// exception from consume or from a trial on any thread), the workers are out of the job before
// its slots and counters go; an exception thrown on a worker is rethrown on the calling thread
// when the consumer reaches its item, or at the end of the batch.
class InOrderTrials {
 public:
  InOrderTrials(TrialWorkers& workers, const ShotState& base, const MatchSettings& settings)
      : workers_(workers), base_(base), settings_(settings), loaded_(workers.workerCount() + 1, 0) {}

  // plan(i, aim, strength, requirePocket) -> whether item i is a trial; runs on any thread.
  // consume(i, slot) -> true to stop; runs on the calling thread.
  template <class Plan, class Consume>
  void run(int count, const Plan& plan, const Consume& consume) {
    if (count <= 0) return;
    std::unique_ptr<TrialSlot[]> slots(new TrialSlot[count]);
    std::atomic<int> next{0};
    std::atomic<int> limit{count};
    // Plays the next item on this thread's simulator; false when none is left.
    auto takeOne = [&](int owner) {
      const int i = next.fetch_add(1, std::memory_order_relaxed);
      if (i >= limit.load(std::memory_order_relaxed)) return false;
      TrialSlot& slot = slots[i];
      try {
        TrialSimulator& simulator = workers_.simulator(owner);
        if (loaded_[owner] == 0) {
          simulator.setBase(base_, settings_);
          loaded_[owner] = 1;
        }
        bool requirePocket = false;
        slot.ran = plan(i, slot.aim, slot.strength, requirePocket);
        if (slot.ran) slot.outcome = simulator.play(slot.aim, slot.strength, requirePocket, AbandonWhen{&limit, i});
      } catch (...) {
        // The consumer may be waiting for this very item: mark it before the exception leaves.
        // The items before it are still played and taken in order as usual.
        slot.failed = true;
        slot.ready.store(1, std::memory_order_release);
        slot.ready.notify_one();
        throw;
      }
      slot.ready.store(1, std::memory_order_release);
      slot.ready.notify_one();
      return true;
    };
    const std::function<void(int)> job = [&](int worker) {
      while (takeOne(worker)) {
      }
    };
    TrialBatch batch(workers_, job);
    // Left before the batch: a scope left early stops the workers taking items and abandons
    // the trials they are in, so that the batch's wait is short.
    const struct StopTaking {
      std::atomic<int>& limit;
      ~StopTaking() { limit.store(0, std::memory_order_relaxed); }
    } stopTaking{limit};
    const int self = workers_.workerCount();
    int stop = count;
    for (int i = 0; i < count; ++i) {
      while (slots[i].ready.load(std::memory_order_acquire) == 0) {
        if (!takeOne(self)) {
          slots[i].ready.wait(0, std::memory_order_acquire);
          break;
        }
      }
      if (slots[i].failed) {  // finish() rethrows the worker's exception
        stop = i;
        break;
      }
      if (consume(i, slots[i])) {
        stop = i + 1;
        break;
      }
    }
    limit.store(stop, std::memory_order_relaxed);
    batch.finish();
  }

 private:
  TrialWorkers& workers_;
  const ShotState& base_;
  const MatchSettings& settings_;
  std::vector<uint8_t> loaded_;  // entry k written and read only by the owner of simulator k
};

}  // namespace morvane
