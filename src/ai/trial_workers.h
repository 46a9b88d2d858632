#pragma once
// The worker threads that play the computer's trials, one per hardware thread, each with its
// own trial simulator. They sleep between turns; the game thread hands them one job at a time.
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
  explicit TrialWorkers(int count);
  ~TrialWorkers();
  TrialWorkers(const TrialWorkers&) = delete;
  TrialWorkers& operator=(const TrialWorkers&) = delete;

  int count() const { return static_cast<int>(threads_.size()); }
  // The simulator that belongs to one worker; only that worker touches it during a job.
  TrialSimulator& simulator(int worker) { return *simulators_[worker]; }

  // Runs job(worker) once on every worker and returns at once. The job must outlive wait().
  void start(const std::function<void(int)>& job);
  // Blocks until every worker has returned from the job.
  void wait();

 private:
  void workerLoop(int worker);

  std::vector<std::unique_ptr<TrialSimulator>> simulators_;
  std::vector<std::thread> threads_;
  std::mutex mutex_;
  std::condition_variable wake_;
  std::condition_variable done_;
  const std::function<void(int)>* job_ = nullptr;
  uint64_t generation_ = 0;
  int running_ = 0;
  bool quitting_ = false;
};

// The process's workers, started on first use (one per hardware thread, at least one).
TrialWorkers& sharedTrialWorkers();

}  // namespace morvane
