#pragma once
// The world and the rules ask for sounds through this; they never see a device.
// A pre-simulated shot runs with a SilentSink, tests with a recording sink.

namespace morvane {

// In the order in which the clips are loaded.
enum class SoundId { softClick = 0, hardClick = 1, wall = 2, shot = 3, pocket = 4 };
constexpr int soundCount = 5;

class SoundSink {
 public:
  virtual ~SoundSink() = default;
  virtual void play(SoundId id) = 0;
};

class SilentSink final : public SoundSink {
 public:
  void play(SoundId) override {}
};

}  // namespace morvane
