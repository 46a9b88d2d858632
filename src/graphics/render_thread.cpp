#include "graphics/render_thread.h"

#include <chrono>
#include <utility>

namespace morvane {

bool RenderThread::start(std::string& error) {
  if (thread_.joinable()) return true;
  {
    std::lock_guard lock(mutex_);
    stopping_ = false;
    begun_.reset();
  }
  thread_ = std::thread([this] { run(); });
  std::unique_lock lock(mutex_);
  wake_.wait(lock, [this] { return begun_.has_value(); });
  if (*begun_) return true;
  error = beginError_;
  lock.unlock();
  thread_.join();
  return false;
}

void RenderThread::submit(FrameSnapshot frame) {
  std::exception_ptr failure;
  {
    std::lock_guard lock(mutex_);
    std::swap(failure, failure_);
    if (waiting_) ++stats_.dropped;
    waiting_ = std::move(frame);
  }
  wake_.notify_all();
  if (failure) std::rethrow_exception(failure);
}

void RenderThread::stop() {
  if (!thread_.joinable()) return;
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_all();
  thread_.join();
  std::lock_guard lock(mutex_);
  waiting_.reset();
}

FrameStats RenderThread::takeStats() {
  std::lock_guard lock(mutex_);
  return std::exchange(stats_, FrameStats{});
}

void RenderThread::run() {
  std::string error;
  const bool begun = drawer_.begin(error);
  {
    std::lock_guard lock(mutex_);
    begun_ = begun;
    beginError_ = error;
  }
  wake_.notify_all();
  if (!begun) return;
  for (;;) {
    FrameSnapshot frame;
    {
      std::unique_lock lock(mutex_);
      wake_.wait(lock, [this] { return stopping_ || waiting_.has_value(); });
      if (stopping_) break;
      frame = std::move(*waiting_);
      waiting_.reset();
    }
    const auto started = std::chrono::steady_clock::now();
    try {
      drawer_.draw(frame);
    } catch (...) {
      std::lock_guard lock(mutex_);
      failure_ = std::current_exception();
      continue;
    }
    const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - started).count();
    std::lock_guard lock(mutex_);
    ++stats_.frames;
    if (ms > stats_.longestFrameMs) stats_.longestFrameMs = ms;
  }
  drawer_.end();
}

}  // namespace morvane
