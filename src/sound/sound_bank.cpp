#include "sound/sound_bank.h"

#include <utility>

namespace morvane {

SoundBank::SoundBank(Mixer& mixer, AudioOutput& output) : mixer_(mixer), output_(output) {}

std::optional<LoadFailure> SoundBank::loadSounds(uint32_t nowMs, const std::string& folder) {
  for (size_t i = 0; i < soundFileNames.size(); ++i) {
    std::string path = soundFileNames[i];
    if (!folder.empty()) path = folder + "/" + path;

    WavFile wav;
    if (auto failed = readWavFile(path, wav)) return failed;
    // The device is opened after the first file has been read, so a missing file is reported
    // as such even on a machine without a sound card.
    if (deviceRate_ == 0) {
      deviceRate_ = output_.open(preferredOutputRate);
      if (deviceRate_ == 0) {
        return LoadFailure{"Wave mapper could not be opened!", loadLine::noDevice};
      }
    }
    Clip clip;
    if (auto failed = convertForDevice(wav, deviceRate_, path, clip)) return failed;
    mixer_.setClip(static_cast<SoundId>(i), std::move(clip), nowMs);
  }
  return std::nullopt;
}

}  // namespace morvane
