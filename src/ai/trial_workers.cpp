#include "ai/trial_workers.h"

namespace morvane {

TrialWorkers::TrialWorkers(int count) {
  if (count < 1) count = 1;
  for (int w = 0; w < count; ++w) simulators_.push_back(std::make_unique<TrialSimulator>());
  for (int w = 0; w < count; ++w) threads_.emplace_back([this, w] { workerLoop(w); });
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
    running_ = count();
    ++generation_;
  }
  wake_.notify_all();
}

void TrialWorkers::wait() {
  std::unique_lock lock(mutex_);
  done_.wait(lock, [this] { return running_ == 0; });
  job_ = nullptr;
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
    }
    (*job)(worker);
    {
      std::lock_guard lock(mutex_);
      if (--running_ == 0) done_.notify_all();
    }
  }
}

TrialWorkers& sharedTrialWorkers() {
  static TrialWorkers workers(static_cast<int>(std::thread::hardware_concurrency()));
  return workers;
}

}  // namespace morvane
