#include "sound/mixer.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace morvane {
namespace {

// The low 16 bits of trunc(value), taken arithmetically so that any finite value is defined
// (a pan outside -1..1 wraps as the 16-bit volume field would); NaN and infinities give 0.
uint16_t lowSixteenBits(double value) {
  if (!std::isfinite(value)) return 0;
  double wrapped = std::fmod(std::trunc(value), 65536.0);
  if (wrapped < 0) wrapped += 65536.0;
  return static_cast<uint16_t>(wrapped);
}

int16_t saturate(int32_t sum) {
  return static_cast<int16_t>(std::clamp<int32_t>(sum, INT16_MIN, INT16_MAX));
}

size_t indexOf(SoundId id) { return static_cast<size_t>(id); }

}  // namespace

PanVolumes panVolumes(float pan) {
  const double half = static_cast<double>(pan) * 65535.0 * 0.5;
  return PanVolumes{lowSixteenBits(32767.5 - half), lowSixteenBits(32767.5 + half)};
}

void Mixer::setClip(SoundId id, Clip clip, uint32_t nowMs) {
  {
    std::lock_guard lock(mutex_);
    Voice& voice = voices_[indexOf(id)];
    voice.samples.swap(clip.samples);
    voice.nextSample = voice.samples.size();
    voice.replayTimer.restart(nowMs, loadedReplayIntervalMs);
  }
  // The previous samples are freed here, after the audio thread may run again.
}

void Mixer::playSound(SoundId id, float pan, uint32_t nowMs) {
  const PanVolumes volumes = panVolumes(pan);
  std::lock_guard lock(mutex_);
  Voice& voice = voices_[indexOf(id)];
  if (!voice.replayTimer.hasElapsed(nowMs)) return;
  voice.replayTimer.restart(nowMs, replayIntervalMs);
  voice.volumes = volumes;
  voice.nextSample = 0;
}

void Mixer::mix(int16_t* out, size_t frames) {
  const size_t count = frames * 2;
  std::lock_guard lock(mutex_);
  std::array<size_t, soundCount> take{};
  for (size_t v = 0; v < voices_.size(); ++v) {
    take[v] = std::min(count, voices_[v].samples.size() - voices_[v].nextSample);
  }
  // Sum every voice first and saturate once: a loud sum comes out at full scale instead of
  // wrapping round to the opposite sign.
  for (size_t i = 0; i < count; ++i) {
    const size_t channel = i & 1;  // voices advance by whole frames, so parity is the channel
    int32_t sum = 0;
    for (size_t v = 0; v < voices_.size(); ++v) {
      if (i >= take[v]) continue;
      const Voice& voice = voices_[v];
      const int64_t volume = channel == 0 ? voice.volumes.left : voice.volumes.right;
      sum += static_cast<int32_t>(voice.samples[voice.nextSample + i] * volume / int64_t{fullVolume});
    }
    out[i] = saturate(sum);
  }
  for (size_t v = 0; v < voices_.size(); ++v) voices_[v].nextSample += take[v];
}

}  // namespace morvane
