#include "ai/trial_workers.h"

#include <algorithm>

namespace morvane {

TrialWorkers::TrialWorkers(int workerCount) {
  workerCount = std::max(workerCount, 1);
  for (int w = 0; w <= workerCount; ++w) simulators_.push_back(std::make_unique<TrialSimulator>());
  for (int w = 0; w < workerCount; ++w) threads_.emplace_back([this, w] { workerLoop(w); });
}

TrialWorkers::~TrialWorkers() {
  {
    std::lock_guard lock(mutex_);
    quitting_ = true;
  }
  wake_.notify_all();
  for (std::thread& thread : threads_) thread.join();
}

void TrialWorkers::start(const std::function<void(int)>& job) {
  {
    std::lock_guard lock(mutex_);
    job_ = &job;
    ++generation_;
  }
  wake_.notify_all();
}

void TrialWorkers::finish() {
  std::unique_lock lock(mutex_);
  job_ = nullptr;
  done_.wait(lock, [this] { return inside_ == 0; });
}

void TrialWorkers::workerLoop(int worker) {
  uint64_t seen = 0;
  for (;;) {
    const std::function<void(int)>* job = nullptr;
    {
      std::unique_lock lock(mutex_);
      wake_.wait(lock, [&] { return quitting_ || generation_ != seen; });
      if (quitting_) return;
      seen = generation_;
      job = job_;
      if (job == nullptr) continue;  // woke after the job was withdrawn
      ++inside_;
    }
    (*job)(worker);
    {
      std::lock_guard lock(mutex_);
      if (--inside_ == 0) done_.notify_all();
    }
  }
}

TrialWorkers& sharedTrialWorkers() {
  static TrialWorkers workers(static_cast<int>(std::thread::hardware_concurrency()) - 1);
  return workers;
}

}  // namespace morvane
