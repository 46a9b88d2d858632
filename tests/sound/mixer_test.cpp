#include "sound/mixer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "sound/mixer_sink.h"

namespace morvane {
namespace {

// A stereo clip whose left channel counts frames (1, 2, 3, ...) and whose right channel is
// the negative, so the mixed output shows where a voice stands.
Clip countingClip(int frames) {
  Clip clip;
  for (int i = 1; i <= frames; ++i) {
    clip.samples.push_back(static_cast<int16_t>(i));
    clip.samples.push_back(static_cast<int16_t>(-i));
  }
  return clip;
}

Clip constantClip(int frames, int16_t value) {
  Clip clip;
  clip.samples.assign(static_cast<size_t>(frames) * 2, value);
  return clip;
}

std::vector<int16_t> mixFrames(Mixer& mixer, size_t frames) {
  std::vector<int16_t> out(frames * 2, 12345);
  mixer.mix(out.data(), frames);
  return out;
}

// Left channel of each frame.
std::vector<int16_t> left(const std::vector<int16_t>& mixed) {
  std::vector<int16_t> out;
  for (size_t i = 0; i < mixed.size(); i += 2) out.push_back(mixed[i]);
  return out;
}

using Samples = std::vector<int16_t>;

TEST(MixerPan, VolumesForFullLeftCentreAndFullRight) {
  EXPECT_EQ(panVolumes(-1.0f).left, 65535);
  EXPECT_EQ(panVolumes(-1.0f).right, 0);
  EXPECT_EQ(panVolumes(0.0f).left, 32767);
  EXPECT_EQ(panVolumes(0.0f).right, 32767);
  EXPECT_EQ(panVolumes(1.0f).left, 0);
  EXPECT_EQ(panVolumes(1.0f).right, 65535);
  // Truncation toward zero: 32767.5 -+ 16383.75.
  EXPECT_EQ(panVolumes(0.5f).left, 16383);
  EXPECT_EQ(panVolumes(0.5f).right, 49151);
  // Outside -1..1 the low 16 bits wrap: 32767.5 + 65535 = 98302.5 -> 98302 - 65536.
  EXPECT_EQ(panVolumes(2.0f).right, 32766);
  EXPECT_EQ(panVolumes(2.0f).left, static_cast<uint16_t>(-32767));
}

TEST(Mixer, PlaysAClipOnceFromItsStartAndNeverLoops) {
  Mixer mixer;
  mixer.setClip(SoundId::wall, countingClip(3), 0);
  EXPECT_EQ(mixFrames(mixer, 4), Samples(8, 0));  // loaded, not asked for: silent
  mixer.playSound(SoundId::wall, -1.0f, 10);
  // Full left: the left channel is the clip as it stands, the right one is silent.
  EXPECT_EQ(mixFrames(mixer, 2), (Samples{1, 0, 2, 0}));
  EXPECT_EQ(mixFrames(mixer, 3), (Samples{3, 0, 0, 0, 0, 0}));
  EXPECT_EQ(mixFrames(mixer, 3), Samples(6, 0));
}

TEST(Mixer, AClipAskedForWithin50MsSoundsOnceAndLaterRestarts) {
  Mixer mixer;
  mixer.setClip(SoundId::pocket, countingClip(100), 0);
  mixer.playSound(SoundId::pocket, -1.0f, 100);
  EXPECT_EQ(left(mixFrames(mixer, 3)), (Samples{1, 2, 3}));
  mixer.playSound(SoundId::pocket, -1.0f, 120);
  mixer.playSound(SoundId::pocket, -1.0f, 150);  // exactly 50 ms: still too soon
  EXPECT_EQ(left(mixFrames(mixer, 2)), (Samples{4, 5}));
  mixer.playSound(SoundId::pocket, -1.0f, 151);  // cuts the running playback
  EXPECT_EQ(left(mixFrames(mixer, 2)), (Samples{1, 2}));
}

TEST(Mixer, ALoadedClipCanSoundOnceMoreThan1MsHasPassed) {
  Mixer mixer;
  mixer.setClip(SoundId::shot, countingClip(4), 1000);
  mixer.playSound(SoundId::shot, -1.0f, 1001);
  EXPECT_EQ(left(mixFrames(mixer, 1)), (Samples{0}));
  mixer.playSound(SoundId::shot, -1.0f, 1002);
  EXPECT_EQ(left(mixFrames(mixer, 1)), (Samples{1}));
}

TEST(Mixer, ReloadingStopsTheVoiceAndReplacesItsSamples) {
  Mixer mixer;
  mixer.setClip(SoundId::hardClick, countingClip(10), 0);
  mixer.playSound(SoundId::hardClick, -1.0f, 5);
  mixFrames(mixer, 2);
  // Many rounds, each loading the clips again; the sanitizer build checks nothing leaks.
  for (uint32_t round = 0; round < 200; ++round) mixer.setClip(SoundId::hardClick, countingClip(10), 10);
  EXPECT_EQ(mixFrames(mixer, 2), Samples(4, 0));
  mixer.setClip(SoundId::hardClick, constantClip(2, 9), 10);
  mixer.playSound(SoundId::hardClick, -1.0f, 12);
  EXPECT_EQ(left(mixFrames(mixer, 3)), (Samples{9, 9, 0}));
}

TEST(Mixer, DifferentClipsInTheSameStepBothSound) {
  Mixer mixer;
  mixer.setClip(SoundId::softClick, constantClip(4, 1000), 0);
  mixer.setClip(SoundId::wall, constantClip(2, 300), 0);
  mixer.playSound(SoundId::softClick, -1.0f, 40);
  mixer.playSound(SoundId::wall, 1.0f, 40);
  EXPECT_EQ(mixFrames(mixer, 3), (Samples{1000, 300, 1000, 300, 1000, 0}));
}

TEST(Mixer, ChannelsAreScaledByVolumeOver65535) {
  Mixer mixer;
  mixer.setClip(SoundId::pocket, constantClip(1, -32768), 0);
  mixer.playSound(SoundId::pocket, 0.0f, 10);
  // -32768 * 32767 / 65535, truncated toward zero.
  EXPECT_EQ(mixFrames(mixer, 1), (Samples{-16383, -16383}));
}

TEST(Mixer, LoudSumsSaturateInsteadOfWrapping) {
  Mixer mixer;
  mixer.setClip(SoundId::softClick, constantClip(2, 30000), 0);
  mixer.setClip(SoundId::hardClick, constantClip(2, 30000), 0);
  mixer.setClip(SoundId::wall, constantClip(2, -30000), 0);
  mixer.setClip(SoundId::shot, constantClip(2, -30000), 0);
  mixer.setClip(SoundId::pocket, constantClip(2, -30000), 0);
  mixer.playSound(SoundId::softClick, -1.0f, 10);
  mixer.playSound(SoundId::hardClick, -1.0f, 10);
  mixer.playSound(SoundId::wall, 1.0f, 10);
  mixer.playSound(SoundId::shot, 1.0f, 10);
  mixer.playSound(SoundId::pocket, 1.0f, 10);
  EXPECT_EQ(mixFrames(mixer, 1), (Samples{32767, -32768}));
  // A sum that overshoots on the way but ends in range is exact.
  mixer.playSound(SoundId::wall, -1.0f, 100);
  mixer.playSound(SoundId::softClick, -1.0f, 100);
  mixer.playSound(SoundId::hardClick, -1.0f, 100);
  EXPECT_EQ(left(mixFrames(mixer, 1)), (Samples{30000}));
}

TEST(MixerSink, PlaysCentredAtTheGameTime) {
  Mixer mixer;
  uint32_t ticks = 0;
  MixerSink sink(mixer, [&ticks] { return ticks; });
  mixer.setClip(SoundId::shot, constantClip(8, 20000), 0);
  ticks = 1;
  sink.play(SoundId::shot);  // within 1 ms of loading: dropped
  EXPECT_EQ(mixFrames(mixer, 1), (Samples{0, 0}));
  ticks = 2;
  sink.play(SoundId::shot);
  EXPECT_EQ(mixFrames(mixer, 1), (Samples{9999, 9999}));
  ticks = 52;
  sink.play(SoundId::shot);  // 50 ms after the start: dropped, the clip plays on
  EXPECT_EQ(mixFrames(mixer, 1), (Samples{9999, 9999}));
}

TEST(Mixer, GameThreadAndAudioThreadCanWorkAtOnce) {
  Mixer mixer;
  std::atomic<bool> done{false};
  std::thread audio([&] {
    std::vector<int16_t> block(512 * 2);
    while (!done.load()) mixer.mix(block.data(), 512);
  });
  for (uint32_t t = 0; t < 2000; ++t) {
    if (t % 7 == 0) mixer.setClip(static_cast<SoundId>(t % soundCount), countingClip(300), t);
    mixer.playSound(static_cast<SoundId>(t % soundCount), 0.0f, t * 20);
  }
  done = true;
  audio.join();
  SUCCEED();
}

}  // namespace
}  // namespace morvane
