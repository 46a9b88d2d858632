// The sound: the mixer's voices and threads, the WAV reader's layouts and refusals, the
// conversion to the device's format, and the sound bank that loads the five clips.
#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <thread>

#include "sound/mixer_sink.h"
#include "sound/sound_bank.h"

namespace morvane {
namespace {

using Bytes = std::vector<uint8_t>;
using Samples = std::vector<int16_t>;

// A stereo clip whose left channel counts frames (1, 2, 3, ...) and whose right is the negative.
Clip countingClip(int frames) {
  Clip clip;
  for (int16_t i = 1; i <= frames; ++i) clip.samples.insert(clip.samples.end(), {i, int16_t(-i)});
  return clip;
}
Clip constantClip(int frames, int16_t value) { return Clip{Samples(size_t(frames) * 2, value)}; }

Samples mix(Mixer& mixer, size_t frames) {
  Samples out(frames * 2, 12345);
  mixer.mix(out.data(), frames);
  return out;
}

TEST(Mixer, AVoicePlaysOnceFromItsStartAtMostEvery50MsScaledSummedAndSaturated) {
  Mixer mixer;
  mixer.setClip(SoundId::pocket, countingClip(100), 0);
  EXPECT_EQ(mix(mixer, 1), (Samples{0, 0}));  // loaded, not asked for: silent
  mixer.playSound(SoundId::pocket, -1.0f, 100);
  EXPECT_EQ(mix(mixer, 2), (Samples{1, 0, 2, 0}));  // full left
  mixer.playSound(SoundId::pocket, -1.0f, 150);     // exactly 50 ms: too soon, dropped
  EXPECT_EQ(mix(mixer, 1), (Samples{3, 0}));
  mixer.playSound(SoundId::pocket, 1.0f, 151);  // restarts from the first frame, full right
  EXPECT_EQ(mix(mixer, 1), (Samples{0, -1}));
  mixer.setClip(SoundId::pocket, constantClip(2, -32768), 200);  // stops the voice
  MixerSink sink(mixer, [] { return 202u; });
  sink.play(SoundId::pocket);  // centred: -32768 x 32767 / 65535, truncated; once, never looping
  EXPECT_EQ(mix(mixer, 3), (Samples{-16383, -16383, -16383, -16383, 0, 0}));
  EXPECT_EQ(panVolumes(2.0f).left, 32769);  // outside -1..1 the low 16 bits wrap
  // Two loud clips on the left, three on the right: saturated, not wrapped...
  for (int id = 0; id < soundCount; ++id) {
    mixer.setClip(SoundId(id), constantClip(2, id < 2 ? 30000 : -30000), 300);
    mixer.playSound(SoundId(id), id < 2 ? -1.0f : 1.0f, 310);
  }
  EXPECT_EQ(mix(mixer, 1), (Samples{32767, -32768}));
  // ...and 30000 + 30000 - 30000 overshoots on the way but ends in range: exact.
  for (SoundId id : {SoundId::softClick, SoundId::hardClick, SoundId::wall}) mixer.playSound(id, -1.0f, 400);
  EXPECT_EQ(mix(mixer, 1)[0], 30000);
}

// The game thread reloads and starts a voice while the audio thread pulls blocks, as a device
// would; the thread sanitizer runs this to find an unguarded field. A command lands between two
// blocks, never inside one.
TEST(Mixer, GameThreadAndAudioThreadCanWorkAtOnce) {
  Mixer mixer;
  std::atomic<bool> done{false};
  std::atomic<int> breaks{0};
  std::thread audio([&] {
    Samples out(2 * 64);
    while (!done) {
      mixer.mix(out.data(), 64);
      // Within a block the voice runs on frame by frame, or stays silent after its last frame.
      for (size_t i = 2; i < out.size(); i += 2) breaks += out[i] != (out[i - 2] % 1000 == 0 ? 0 : out[i - 2] + 1);
    }
  });
  for (uint32_t now = 0; now < 60 * 3000; now += 60) {  // 60 ms apart: never too soon
    mixer.setClip(SoundId::wall, countingClip(1000), now);
    mixer.playSound(SoundId::wall, -1.0f, now + 2);
  }
  done = true;
  audio.join();
  EXPECT_EQ(breaks, 0);
}

// Little-endian bytes of a value, and two byte strings one after the other.
Bytes le(uint32_t v, int bytes) {
  Bytes out;
  for (int i = 0; i < bytes; ++i) out.push_back(uint8_t(v >> 8 * i));
  return out;
}
Bytes operator+(Bytes a, const Bytes& b) { return a.insert(a.end(), b.begin(), b.end()), a; }

// id, size field (the body's length unless `declared` is given), body, and a pad byte after an
// odd body whose size is not forced.
Bytes chunk(const char* id, const Bytes& body, int64_t declared = -1) {
  const bool pad = declared < 0 && body.size() % 2 != 0;
  return Bytes(id, id + 4) + le(declared >= 0 ? uint32_t(declared) : uint32_t(body.size()), 4) + body + Bytes(pad, 0);
}
Bytes riff(const char* form, const std::vector<Bytes>& chunks, int64_t declared = -1) {
  Bytes body(form, form + 4);
  for (const Bytes& c : chunks) body = body + c;
  return chunk("RIFF", body, declared >= 0 ? declared : int64_t(body.size()));
}
// A 16-byte "fmt " body.
Bytes fmtBody(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bits) {
  const uint32_t a = channels * bits / 8;
  return le(tag, 2) + le(channels, 2) + le(rate, 4) + le(rate * a, 4) + le(a, 2) + le(bits, 2);
}
Bytes wav(const Bytes& fmt, const Bytes& data = Bytes(8, 0)) {
  return riff("WAVE", {chunk("fmt ", fmt), chunk("data", data)});
}

std::string outcome(const std::optional<LoadFailure>& failed) {
  return failed ? std::to_string(failed->line) + ": " + failed->message : "loaded";
}
// The failure, or the samples once parsed and converted at the device rate (their count for a
// long clip). Parses an exactly sized heap copy, so a read past the end trips the address sanitizer.
std::string loaded(const Bytes& bytes, uint32_t deviceRate) {
  WavFile wav;
  Clip clip;
  if (auto failed = parseWav(Bytes(bytes), "x.wav", wav)) return outcome(failed);
  if (auto failed = convertForDevice(wav, deviceRate, "x.wav", clip)) return outcome(failed);
  if (clip.samples.size() > 24) return std::to_string(clip.frameCount()) + " frames";
  std::string samples;
  for (int16_t v : clip.samples) samples += " " + std::to_string(v);
  return samples;
}

TEST(WavReader, EachLayoutIsConvertedToStereo16BitAtTheDeviceRateOrRefusedWithItsLineAndMessage) {
  const std::string bad = "Waveform file x.wav ";
  const std::string noData = "102: " + bad + "is corrupted! 'data' chunk not found!";
  const std::string unplayable = "96: " + bad + "has a format that cannot be played! (8 or 16-bit PCM, mono or stereo)";
  const Bytes data7 = {0xF9, 0xFF, 9, 0}, fmt = chunk("fmt ", fmtBody(1, 1, 8000, 16)), data = chunk("data", data7);
  // WAVE_FORMAT_EXTENSIBLE: cbSize 22, valid bits, channel mask, the sub-format GUID (PCM, then IEEE float).
  const Bytes extensible = fmtBody(0xFFFE, 2, 48000, 16) + Bytes{22, 0, 16, 0, 3, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0x10, 0,
                                                                0x80, 0, 0, 0xAA, 0, 0x38, 0x9B, 0x71};
  Bytes extensibleFloat = extensible;
  extensibleFloat[24] = 3;
  const struct { Bytes file; uint32_t rate; std::string expected; } cases[] = {
      {riff("WAVE", {fmt, chunk("junk", {1, 2, 3}), data}), 8000, " -7 -7 9 9"},  // odd chunk padded
      {riff("WAVE", {fmt, data}, 0xFFFFFF), 8000, " -7 -7 9 9"},                   // a RIFF size beyond the file
      {wav(extensible, data7), 48000, " -7 9"},
      {wav(fmtBody(1, 2, 8000, 16), {1, 0, 2, 0, 3}), 8000, " 1 2"},  // whole frames only
      {wav(fmtBody(1, 1, 384000, 8), {0, 128, 255}), 384000, " -32768 -32768 0 0 32512 32512"},  // 128 is silence
      {wav(fmtBody(1, 2, 48000, 16), {0, 0x80, 0xFF, 0x7F}), 48000, " -32768 32767"},
      // Linear interpolation; after the last sample there is nothing to move towards.
      {wav(fmtBody(1, 1, 22050, 16), {0, 0, 100, 0, 0x9C, 0xFF}), 44100, " 0 0 50 50 100 100 0 0 -100 -100 -100 -100"},
      {wav(fmtBody(1, 1, 44100, 16), {0, 0, 10, 0, 20, 0, 30, 0, 40, 0}), 22050, " 0 0 20 20"},
      {wav(fmtBody(1, 1, 192000, 16), {7, 0}), 8000, " 7 7"},
      {wav(fmtBody(1, 1, 8000, 8), Bytes(480000, 128)), 44100, "2646000 frames"},  // 60 s
      {wav(fmtBody(1, 1, 8000, 8), Bytes(480001, 128)), 44100, "104: " + bad + "is too long to be played!"},  // over 60 s
      {riff("AVI ", {fmt, data}), 8000, "87: Not a waveform file: x.wav"},
      {riff("WAVE", {data}), 8000, "94: " + bad + "is corrupted! 'fmt ' chunk not found!"},
      {riff("WAVE", {chunk("fmt ", Bytes(10, 0), 16)}), 8000, "94: " + bad + "is corrupted! 'fmt ' chunk is cut off!"},
      {riff("WAVE", {data, fmt}), 8000, noData},  // "data" is looked for after "fmt "
      {riff("WAVE", {fmt, chunk("data", data7, 1000)}), 8000, "102: " + bad + "is corrupted! 'data' chunk is cut off!"},
      {riff("WAVE", {fmt, data}, 28), 8000, noData},  // the RIFF chunk ends before "data"
      // IEEE float; a rate so low that a tiny file would become minutes of frames; a short "fmt ".
      {wav(extensibleFloat), 8000, unplayable}, {wav(fmtBody(1, 1, 999, 8)), 8000, unplayable},
      {wav(Bytes(15, 1)), 8000, unplayable},
  };
  for (size_t k = 0; k < std::size(cases); ++k) EXPECT_EQ(loaded(cases[k].file, cases[k].rate), cases[k].expected) << k;
}

struct FakeOutput final : AudioOutput {
  uint32_t open(uint32_t preferredRate) override { return ++openCount, askedRate = preferredRate, rate; }
  uint32_t rate = 0, askedRate = 0, openCount = 0;
};

// Five clips in a fresh folder, each four 8-bit frames at 8 kHz of its own level (256, 512, ...
// in load order once converted); at a device rate of 16 kHz each becomes eight frames.
TEST(SoundBank, AMissingFileComesFirstThenTheDeviceIsOpenedOnceAndTheClipsLoadInOrder) {
  std::string pattern = (std::filesystem::temp_directory_path() / "morvane-sound-XXXXXX").string();
  const std::filesystem::path dir = mkdtemp(pattern.data());
  const auto write = [&dir](const char* name, const Bytes& bytes) {
    std::ofstream(dir / name, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), long(bytes.size()));
  };
  for (size_t i = 1; i < soundFileNames.size(); ++i) write(soundFileNames[i], wav(fmtBody(1, 1, 8000, 8), Bytes(4, 129 + i)));
  Mixer mixer;
  FakeOutput output;  // no sound card yet
  SoundBank bank(mixer, output);
  const auto previous = std::filesystem::current_path();
  std::filesystem::current_path(dir);  // no folder given: the working directory
  EXPECT_EQ(outcome(bank.loadSounds(0)), "80: File not found: clickb.wav");
  write("clickb.wav", wav(fmtBody(1, 1, 8000, 8), Bytes(4, 129)));
  EXPECT_EQ(outcome(bank.loadSounds(0)), "112: Wave mapper could not be opened!");
  std::filesystem::current_path(previous);
  output.rate = 16000;
  ASSERT_EQ(outcome(bank.loadSounds(0, dir.string())), "loaded");
  for (int i = 0; i < soundCount; ++i) {  // each clip fully left: its first, eighth and ninth frames
    mixer.playSound(SoundId(i), -1.0f, 10);
    const Samples out = mix(mixer, 9);
    EXPECT_EQ(std::tuple(out[0], out[14], out[16]), std::tuple(256 * (i + 1), 256 * (i + 1), 0)) << i;
  }
  // A reload (every round lays out again) keeps the device; that it re-arms each clip is the mixer's.
  ASSERT_EQ(outcome(bank.loadSounds(1000, dir.string())), "loaded");
  EXPECT_EQ(std::tuple(output.openCount, output.askedRate), std::tuple(2u, 44100u));
  // A file over the 16 MiB cap is refused before it is read, whatever it holds.
  std::filesystem::resize_file(dir / "hit.wav", maxWavFileBytes + 1);
  WavFile read;
  EXPECT_EQ(outcome(readWavFile((dir / "hit.wav").string(), read)), "87: Not a waveform file: " + (dir / "hit.wav").string());
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace morvane
