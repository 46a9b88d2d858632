#include "sound/mixer_sink.h"

#include <utility>

namespace morvane {

MixerSink::MixerSink(Mixer& mixer, std::function<uint32_t()> nowMs)
    : mixer_(mixer), nowMs_(std::move(nowMs)) {}

void MixerSink::play(SoundId id) { mixer_.playSound(id, 0.0f, nowMs_()); }

}  // namespace morvane
