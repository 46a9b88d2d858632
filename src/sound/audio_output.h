#pragma once
// The sound card as the loader sees it. The platform implements it with SDL; tests use fakes,
// including one that cannot be opened.
#include <cstdint>

namespace morvane {

// The stream format every device is opened with; clips are converted to it at load.
constexpr int outputChannels = 2;             // interleaved left, right
constexpr uint32_t preferredOutputRate = 44100;  // frames per second; the device may choose another

class AudioOutput {
 public:
  virtual ~AudioOutput() = default;

  // Opens the device for signed 16-bit stereo near `preferredRate` and starts it pulling from
  // the mixer. Returns the rate it actually runs at, or 0 when no device could be opened.
  virtual uint32_t open(uint32_t preferredRate) = 0;
};

}  // namespace morvane
