#pragma once
// The threads that play the computer's trials beside the game thread. Together with the game
// thread, which takes trials too while it waits for results, they make one thread per hardware
// thread. Each thread has its own trial simulator. The workers sleep between jobs.
//
// The application owns one pool for the whole run and hands it to the computer's turn; a job is
// run only through a TrialBatch, so the data a job uses outlives every worker that runs it.
#include <condition_variable>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "ai/trial_simulator.h"

namespace morvane {

class TrialBatch;

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

 private:
  friend class TrialBatch;

  // Offers job(worker) to every worker and returns at once.
  void start(const std::function<void(int)>& job);
  // Withdraws the job and waits for the workers that took it to return from it (a worker that
  // had not woken up by then never runs it). Returns the first exception the job threw on a
  // worker, and forgets it.
  std::exception_ptr withdraw();
  void workerLoop(int worker);

  std::vector<std::unique_ptr<TrialSimulator>> simulators_;
  std::vector<std::thread> threads_;
  std::mutex mutex_;
  std::condition_variable wake_;
  std::condition_variable done_;
  const std::function<void(int)>* job_ = nullptr;
  uint64_t generation_ = 0;
  int inside_ = 0;  // workers running the current job
  std::exception_ptr failure_;  // the first exception of the current job on a worker
  bool quitting_ = false;
};

// One job on the workers, from construction to finish() or the end of the scope. Whichever way
// the scope is left (the normal finish, an early return, an exception on the calling thread), the
// job is withdrawn and every worker has returned from it before the batch is gone; declare the
// batch after everything the job uses. An exception thrown by the job on a worker is caught
// there and rethrown on the calling thread by finish().
class TrialBatch {
 public:
  // Offers job(worker) to every worker. job must outlive the batch.
  TrialBatch(TrialWorkers& workers, const std::function<void(int)>& job);
  // Withdraws and waits if finish() has not; a worker's exception is then dropped, since the
  // scope is being left already (by an exception, or by a return that does not want the job).
  ~TrialBatch();
  TrialBatch(const TrialBatch&) = delete;
  TrialBatch& operator=(const TrialBatch&) = delete;

  // Withdraws the job, waits for the workers, and rethrows the first exception the job threw
  // on a worker. Once only.
  void finish();

 private:
  TrialWorkers& workers_;
  bool finished_ = false;
};

// One worker per hardware thread besides the game thread, at least one.
int defaultTrialWorkerCount();

}  // namespace morvane
