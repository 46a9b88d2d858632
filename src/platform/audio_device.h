#pragma once
// The one SDL audio output device, pulling from the mixer on SDL's audio thread, and the stop
// the game makes when a clip cannot be loaded.
#include <cstdint>

#include "sound/audio_output.h"
#include "sound/mixer.h"
#include "sound/wav_reader.h"

namespace morvane {

class SdlAudioOutput final : public AudioOutput {
 public:
  // The mixer must outlive this object: the device is closed (and its callback stopped) here.
  explicit SdlAudioOutput(Mixer& mixer);
  ~SdlAudioOutput() override;
  SdlAudioOutput(const SdlAudioOutput&) = delete;
  SdlAudioOutput& operator=(const SdlAudioOutput&) = delete;

  // Initialises SDL audio if needed and opens signed 16-bit stereo; returns the rate or 0.
  uint32_t open(uint32_t preferredRate) override;

 private:
  Mixer& mixer_;
  uint32_t device_ = 0;  // SDL_AudioDeviceID; 0 while closed
};

// Shows the failure in a message box (no caption, OK only), writes "HANG:<line>: <message>"
// to stderr, shuts SDL down and exits with status 1.
[[noreturn]] void stopOnLoadFailure(const LoadFailure& failure);

}  // namespace morvane
