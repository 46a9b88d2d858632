#pragma once
// --stats: once a second of the tick counter, one line on stderr with the ticks run, the frames
// drawn and dropped, and the longest frame of that second.
#include <cstdint>
#include <cstdio>

#include "game/main_loop.h"
#include "graphics/render_thread.h"

namespace morvane {

class StatsLine final : public PassObserver {
 public:
  explicit StatsLine(RenderThread& render) : render_(render) {}
  void afterPass(uint32_t nowMs, bool ticked) override {
    if (!started_) {
      started_ = true;
      secondStart_ = nowMs;
      render_.takeStats();
    }
    ticks_ += ticked ? 1 : 0;
    if (nowMs - secondStart_ < 1000) return;
    const FrameStats frames = render_.takeStats();
    std::fprintf(stderr, "stats: ticks=%u frames=%u dropped=%u longest_frame_ms=%.1f\n", ticks_, frames.frames,
                 frames.dropped, frames.longestFrameMs);
    ticks_ = 0;
    secondStart_ += 1000 * ((nowMs - secondStart_) / 1000);
  }

 private:
  RenderThread& render_;
  bool started_ = false;
  uint32_t secondStart_ = 0;
  uint32_t ticks_ = 0;
};

}  // namespace morvane
