#pragma once
// How the computer's search tells the game thread how far it has got. Always called on the
// thread that runs the turn, in the order of the trials.
#include <string>

namespace morvane {

class ProgressReporter {
 public:
  virtual ~ProgressReporter() = default;
  // caption: Windows-1250 bytes ("C: 3/1000", "V: 17/2000"); fraction 0..1 of the bar.
  virtual void report(const std::string& captionCp1250, float fraction) = 0;
  // The search is over: the bar goes away.
  virtual void hide() {}
};

}  // namespace morvane
