#include "sound/sound_bank.h"

#include <gtest/gtest.h>

#include <vector>

#include "sound/wav_bytes.h"

namespace morvane {
namespace {

class FakeOutput final : public AudioOutput {
 public:
  explicit FakeOutput(uint32_t rate) : rate_(rate) {}
  uint32_t open(uint32_t preferredRate) override {
    ++openCount;
    askedRate = preferredRate;
    return rate_;
  }
  int openCount = 0;
  uint32_t askedRate = 0;

 private:
  uint32_t rate_;
};

// Writes the five clips, each a different constant so the mixed output tells them apart.
void writeAllClips(const testing::TempDir& dir, uint32_t rate = 44100) {
  for (size_t i = 0; i < soundFileNames.size(); ++i) {
    const int16_t value = static_cast<int16_t>(100 * (i + 1));
    dir.write(soundFileNames[i], testing::pcmWav(1, rate, std::vector<int16_t>(4, value)));
  }
}

// Plays one clip fully to the left and mixes it to its end (so it does not sound into the
// next call); returns the first left sample.
int16_t firstLeftSample(Mixer& mixer, SoundId id, uint32_t nowMs) {
  mixer.playSound(id, -1.0f, nowMs);
  std::vector<int16_t> out(8);
  mixer.mix(out.data(), 4);
  return out[0];
}

TEST(SoundBank, LoadsTheFiveClipsIntoTheirVoices) {
  testing::TempDir dir;
  writeAllClips(dir);
  Mixer mixer;
  FakeOutput output(44100);
  SoundBank bank(mixer, output);
  ASSERT_FALSE(bank.loadSounds(0, dir.path()).has_value());
  EXPECT_EQ(output.askedRate, 44100u);
  EXPECT_EQ(firstLeftSample(mixer, SoundId::softClick, 10), 100);
  EXPECT_EQ(firstLeftSample(mixer, SoundId::hardClick, 10), 200);
  EXPECT_EQ(firstLeftSample(mixer, SoundId::wall, 10), 300);
  EXPECT_EQ(firstLeftSample(mixer, SoundId::shot, 10), 400);
  EXPECT_EQ(firstLeftSample(mixer, SoundId::pocket, 10), 500);
}

TEST(SoundBank, ReloadsKeepTheOneDeviceAndReArmTheClips) {
  testing::TempDir dir;
  writeAllClips(dir);
  Mixer mixer;
  FakeOutput output(44100);
  SoundBank bank(mixer, output);
  ASSERT_FALSE(bank.loadSounds(0, dir.path()).has_value());
  EXPECT_EQ(firstLeftSample(mixer, SoundId::shot, 10), 400);
  for (uint32_t round = 1; round <= 5; ++round) {
    ASSERT_FALSE(bank.loadSounds(round * 1000, dir.path()).has_value());
  }
  EXPECT_EQ(output.openCount, 1);
  // The reload re-armed the timer with 1 ms: silent at +1, sounding at +2.
  EXPECT_EQ(firstLeftSample(mixer, SoundId::shot, 5001), 0);
  EXPECT_EQ(firstLeftSample(mixer, SoundId::shot, 5002), 400);
}

TEST(SoundBank, ClipsAreConvertedToTheRateTheDeviceRunsAt) {
  testing::TempDir dir;
  writeAllClips(dir, 8000);
  Mixer mixer;
  FakeOutput output(16000);
  SoundBank bank(mixer, output);
  ASSERT_FALSE(bank.loadSounds(0, dir.path()).has_value());
  EXPECT_EQ(bank.deviceRate(), 16000u);
  // Four frames at 8 kHz are eight at 16 kHz.
  mixer.playSound(SoundId::wall, -1.0f, 10);
  std::vector<int16_t> out(20);
  mixer.mix(out.data(), 10);
  for (size_t frame = 0; frame < 10; ++frame) EXPECT_EQ(out[2 * frame], frame < 8 ? 300 : 0) << frame;
}

TEST(SoundBank, AMissingPocketClipStopsAfterTheOtherFourLoaded) {
  testing::TempDir dir;
  writeAllClips(dir);
  std::filesystem::remove(dir.file("pocket.wav"));
  Mixer mixer;
  FakeOutput output(44100);
  SoundBank bank(mixer, output);
  const auto failed = bank.loadSounds(0, dir.path());
  ASSERT_TRUE(failed.has_value());
  EXPECT_EQ(failed->line, 80);
  EXPECT_EQ(failed->message, "File not found: " + dir.file("pocket.wav"));
  EXPECT_EQ(firstLeftSample(mixer, SoundId::hardClick, 10), 200);
  EXPECT_EQ(firstLeftSample(mixer, SoundId::shot, 10), 400);
}

TEST(SoundBank, TheFirstFailureInLoadOrderIsReported) {
  testing::TempDir dir;
  writeAllClips(dir);
  dir.write("clicke.wav", testing::riff("AVI ", {}));
  dir.write("hit.wav", testing::riff("WAVE", {}));
  Mixer mixer;
  FakeOutput output(44100);
  SoundBank bank(mixer, output);
  const auto failed = bank.loadSounds(0, dir.path());
  ASSERT_TRUE(failed.has_value());
  EXPECT_EQ(failed->line, 87);
  EXPECT_EQ(failed->message, "Not a waveform file: " + dir.file("clicke.wav"));
}

TEST(SoundBank, ADeviceThatCannotBeOpenedIsReportedAfterTheFirstFileIsRead) {
  testing::TempDir dir;
  writeAllClips(dir);
  Mixer mixer;
  FakeOutput output(0);
  SoundBank bank(mixer, output);
  const auto failed = bank.loadSounds(0, dir.path());
  ASSERT_TRUE(failed.has_value());
  EXPECT_EQ(failed->line, 112);
  EXPECT_EQ(failed->message, "Wave mapper could not be opened!");
  EXPECT_EQ(output.openCount, 1);

  // Without the files, the missing file is what the player hears about.
  testing::TempDir empty;
  const auto missing = bank.loadSounds(0, empty.path());
  ASSERT_TRUE(missing.has_value());
  EXPECT_EQ(missing->line, 80);
  EXPECT_EQ(missing->message, "File not found: " + empty.file("clickb.wav"));
}

TEST(SoundBank, TheWorkingDirectoryIsTheDefaultFolder) {
  testing::TempDir dir;
  const auto previous = std::filesystem::current_path();
  std::filesystem::current_path(dir.path());
  Mixer mixer;
  FakeOutput output(44100);
  SoundBank bank(mixer, output);
  const auto failed = bank.loadSounds(0);
  std::filesystem::current_path(previous);
  ASSERT_TRUE(failed.has_value());
  EXPECT_EQ(failed->message, "File not found: clickb.wav");
}

}  // namespace
}  // namespace morvane
