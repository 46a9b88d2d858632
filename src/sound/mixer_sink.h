#pragma once
// The sink the world and the rules play into during live play: every event goes to the mixer,
// centred, stamped with the game's tick counter.
#include <cstdint>
#include <functional>

#include "sound/mixer.h"
#include "world/sound_sink.h"

namespace morvane {

class MixerSink final : public SoundSink {
 public:
  // `nowMs` returns the game's current tick count (the value the timers run on).
  MixerSink(Mixer& mixer, std::function<uint32_t()> nowMs);

  // Plays the clip centred (pan 0.0), subject to its replay interval.
  void play(SoundId id) override;

 private:
  Mixer& mixer_;
  std::function<uint32_t()> nowMs_;
};

}  // namespace morvane
