#pragma once
// The threads that play the computer's trials beside the game thread. Together with the game
// thread, which takes trials too while it waits for results, they make one thread per hardware
// thread. Each thread has its own trial simulator. The workers sleep between jobs.
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "ai/trial_simulator.h"

namespace morvane {

class TrialWorkers {
 public:
  explicit TrialWorkers(int workerCount);
  ~TrialWorkers();
  TrialWorkers(const TrialWorkers&) = delete;
  TrialWorkers& operator=(const TrialWorkers&) = delete;

  int workerCount() const { return static_cast<int>(threads_.size()); }
  // Simulators 0..workerCount()-1 belong to the workers, simulator workerCount() to the thread
  // that starts the jobs. Only its owner touches a simulator during a job.
  TrialSimulator& simulator(int owner) { return *simulators_[owner]; }

  // Offers job(worker) to every worker and returns at once. The job must stay valid until
  // finish() returns.
  void start(const std::function<void(int)>& job);
  // Withdraws the job and waits for the workers that took it to return from it. A worker that
  // had not woken up by then never runs it.
  void finish();

 private:
  void workerLoop(int worker);

  std::vector<std::unique_ptr<TrialSimulator>> simulators_;
  std::vector<std::thread> threads_;
  std::mutex mutex_;
  std::condition_variable wake_;
  std::condition_variable done_;
  const std::function<void(int)>* job_ = nullptr;
  uint64_t generation_ = 0;
  int inside_ = 0;  // workers running the current job
  bool quitting_ = false;
};

// The process's workers, started on first use: one per hardware thread besides the game
// thread, at least one.
TrialWorkers& sharedTrialWorkers();

}  // namespace morvane
