#pragma once
// How the computer's search tells the game thread how far it has got. Always called on the
// thread that runs the turn, in the order of the trials.
#include <cstdint>
#include <functional>
#include <string>

#include "game/main_loop.h"

namespace morvane {

class ProgressReporter {
 public:
  virtual ~ProgressReporter() = default;
  // caption: Windows-1250 bytes ("C: 3/1000", "V: 17/2000"); fraction 0..1 of the bar.
  virtual void report(const std::string& captionCp1250, float fraction) = 0;
};

// The live game's reporter: showProgress, which stores the caption and offers a frame.
class ShowProgressReporter final : public ProgressReporter {
 public:
  ShowProgressReporter(Game& game, FrameDrawer& drawer, std::function<uint32_t()> nowMs)
      : game_(game), drawer_(drawer), nowMs_(std::move(nowMs)) {}
  void report(const std::string& captionCp1250, float fraction) override {
    showProgress(game_, captionCp1250, fraction, nowMs_(), drawer_);
  }

 private:
  Game& game_;
  FrameDrawer& drawer_;
  std::function<uint32_t()> nowMs_;
};

}  // namespace morvane
