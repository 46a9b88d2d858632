#include "ai/trial_workers.h"

#include <algorithm>
#include <utility>

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
    failure_ = nullptr;
    ++generation_;
  }
  wake_.notify_all();
}

std::exception_ptr TrialWorkers::withdraw() {
  std::unique_lock lock(mutex_);
  job_ = nullptr;
  done_.wait(lock, [this] { return inside_ == 0; });
  return std::exchange(failure_, nullptr);
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
    // An exception must not leave the thread (that would end the program): it goes back to the
    // thread that started the job.
    std::exception_ptr failure;
    try {
      (*job)(worker);
    } catch (...) {
      failure = std::current_exception();
    }
    {
      std::lock_guard lock(mutex_);
      if (failure && !failure_) failure_ = std::move(failure);
      if (--inside_ == 0) done_.notify_all();
    }
  }
}

TrialBatch::TrialBatch(TrialWorkers& workers, const std::function<void(int)>& job) : workers_(workers) {
  workers_.start(job);
}

TrialBatch::~TrialBatch() {
  if (!finished_) workers_.withdraw();
}

void TrialBatch::finish() {
  finished_ = true;
  if (std::exception_ptr failure = workers_.withdraw()) std::rethrow_exception(failure);
}

int defaultTrialWorkerCount() { return std::max(static_cast<int>(std::thread::hardware_concurrency()) - 1, 1); }

}  // namespace morvane
