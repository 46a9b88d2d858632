#pragma once
// Five voices, one per clip, mixed into one signed 16-bit stereo stream. Each voice plays its
// clip once from the start when asked, cutting what it was playing, so different effects can
// sound together while one effect never stacks on itself.
//
// playSound and setClip run on the game thread, mix on the audio thread; a mutex held for a
// few field writes (and for one mix block) keeps them apart. mix never allocates.
#include <array>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <vector>

#include "math/frame_timer.h"
#include "sound/wav_reader.h"
#include "world/sound_sink.h"

namespace morvane {

// Full scale of a channel volume; a sample is scaled by volume / 65535.
constexpr uint32_t fullVolume = 65535;
// A clip restarts at most this often; requests in between are dropped.
constexpr uint32_t replayIntervalMs = 50;
// A freshly loaded clip may sound once this has passed.
constexpr uint32_t loadedReplayIntervalMs = 1;

// The two channel volumes for a pan from -1 (left) to +1 (right); 0 gives 32767 on both.
struct PanVolumes {
  uint16_t left = 0;
  uint16_t right = 0;
};

// left = 32767.5 - pan * 65535 / 2 and right = 32767.5 + pan * 65535 / 2, each computed in
// double, truncated toward zero, low 16 bits kept.
PanVolumes panVolumes(float pan);

class Mixer {
 public:
  // Replaces the clip of a voice (stopping it) and lets it sound once 1 ms has passed.
  void setClip(SoundId id, Clip clip, uint32_t nowMs);

  // Restarts the voice from its first sample at the pan's volumes, unless it was started less
  // than 50 ms before (then the request is dropped).
  void playSound(SoundId id, float pan, uint32_t nowMs);

  // Writes `frames` interleaved stereo frames of the sum of all playing voices, saturated.
  void mix(int16_t* out, size_t frames);

 private:
  struct Voice {
    std::vector<int16_t> samples;  // interleaved left/right
    size_t nextSample = 0;         // index into samples; == size() when idle
    PanVolumes volumes;
    FrameTimer replayTimer;
  };

  std::mutex mutex_;
  std::array<Voice, soundCount> voices_;
};

}  // namespace morvane
