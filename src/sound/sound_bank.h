#pragma once
// Loads the five clip files into the mixer, opening the output device on first use. Runs at
// every round set-up; a reload replaces the clips and keeps the one device.
#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "sound/audio_output.h"
#include "sound/mixer.h"
#include "sound/wav_reader.h"
#include "world/sound_sink.h"

namespace morvane {

// The clip files, indexed by SoundId, which is also the load order.
constexpr std::array<const char*, soundCount> soundFileNames = {
    "clickb.wav", "clickbb.wav", "clicke.wav", "hit.wav", "pocket.wav"};

class SoundBank {
 public:
  // Both must outlive the bank; the device must be closed before the mixer goes away.
  SoundBank(Mixer& mixer, AudioOutput& output);

  // Loads the five files from `folder` (empty: the working directory) in SoundId order. Stops
  // at the first failure and returns it; clips loaded before it stay in the mixer. Each loaded
  // clip may sound once 1 ms after `nowMs`.
  std::optional<LoadFailure> loadSounds(uint32_t nowMs, const std::string& folder = {});

  // The rate the device runs at; 0 until it has been opened.
  uint32_t deviceRate() const { return deviceRate_; }

 private:
  Mixer& mixer_;
  AudioOutput& output_;
  uint32_t deviceRate_ = 0;
};

}  // namespace morvane
