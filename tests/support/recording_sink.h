#pragma once
// A SoundSink that remembers every clip asked for, in order.
#include <algorithm>
#include <vector>

#include "world/sound_sink.h"

namespace morvane {

struct RecordingSink final : SoundSink {
  void play(SoundId id) override { played.push_back(id); }
  int count(SoundId id) const { return static_cast<int>(std::count(played.begin(), played.end(), id)); }
  void clear() { played.clear(); }
  std::vector<SoundId> played;
};

}  // namespace morvane
