// The sound: the WAV reader's layouts and refusals, the conversion to the device's format, the
// sound bank that loads the five clips, and the mixer that plays them.
#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <fstream>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "math/random.h"
#include "sound/mixer_sink.h"
#include "sound/sound_bank.h"
#include "sound/wav_reader.h"

namespace morvane {
namespace {

using Bytes = std::vector<uint8_t>;
using Samples = std::vector<int16_t>;

// A stereo clip whose left channel counts frames (1, 2, 3, ...) and whose right channel is the
// negative, so the mixed output shows where a voice stands; or one constant value.
Clip countingClip(int frames) {
  Clip clip;
  for (int16_t i = 1; i <= frames; ++i) clip.samples.insert(clip.samples.end(), {i, int16_t(-i)});
  return clip;
}
Clip constantClip(int frames, int16_t value) { return Clip{Samples(size_t(frames) * 2, value)}; }

// Mixes `frames` frames; with leftOnly, returns the left channel alone.
Samples mix(Mixer& mixer, size_t frames, bool leftOnly = false) {
  Samples out(frames * 2, 12345), left;
  mixer.mix(out.data(), frames);
  for (size_t i = 0; i < out.size(); i += 2) left.push_back(out[i]);
  return leftOnly ? left : out;
}

TEST(Mixer, PanVolumes) {
  // 32767.5 -+ pan * 65535 / 2, truncated; outside -1..1 the low 16 bits wrap.
  const struct { float pan; uint16_t left, right; } cases[] = {
      {-1.0f, 65535, 0}, {0.0f, 32767, 32767}, {1.0f, 0, 65535}, {0.5f, 16383, 49151}, {2.0f, 32769, 32766}};
  for (const auto& c : cases)
    EXPECT_EQ(std::pair(panVolumes(c.pan).left, panVolumes(c.pan).right), std::pair(c.left, c.right)) << c.pan;
}

TEST(Mixer, AClipPlaysOnceFromItsStartAndReloadingStopsIt) {
  Mixer mixer;
  mixer.setClip(SoundId::wall, countingClip(3), 0);
  EXPECT_EQ(mix(mixer, 2), Samples(4, 0));  // loaded, not asked for: silent
  mixer.playSound(SoundId::wall, -1.0f, 2);
  EXPECT_EQ(mix(mixer, 2), (Samples{1, 0, 2, 0}));  // full left: the right channel is silent
  EXPECT_EQ(mix(mixer, 3), (Samples{3, 0, 0, 0, 0, 0}));  // and it never loops
  mixer.playSound(SoundId::wall, -1.0f, 100);
  mixer.setClip(SoundId::wall, constantClip(2, 9), 110);
  EXPECT_EQ(mix(mixer, 1), Samples(2, 0));
  mixer.playSound(SoundId::wall, -1.0f, 112);
  EXPECT_EQ(mix(mixer, 3, true), (Samples{9, 9, 0}));
}

TEST(Mixer, AClipAskedForWithin50MsSoundsOnceAndLaterRestarts) {
  Mixer mixer;
  mixer.setClip(SoundId::pocket, countingClip(100), 0);
  mixer.playSound(SoundId::pocket, -1.0f, 100);
  EXPECT_EQ(mix(mixer, 3, true), (Samples{1, 2, 3}));
  mixer.playSound(SoundId::pocket, -1.0f, 120);
  mixer.playSound(SoundId::pocket, -1.0f, 150);  // exactly 50 ms: still too soon
  EXPECT_EQ(mix(mixer, 2, true), (Samples{4, 5}));
  mixer.playSound(SoundId::pocket, -1.0f, 151);  // cuts the running playback
  EXPECT_EQ(mix(mixer, 2, true), (Samples{1, 2}));
}

TEST(Mixer, VoicesAreScaledSummedAndSaturated) {
  Mixer mixer;
  mixer.setClip(SoundId::softClick, constantClip(4, 1000), 0);
  mixer.setClip(SoundId::wall, constantClip(2, 300), 0);
  mixer.playSound(SoundId::softClick, -1.0f, 40);  // two different clips in the same step
  mixer.playSound(SoundId::wall, 1.0f, 40);
  EXPECT_EQ(mix(mixer, 4), (Samples{1000, 300, 1000, 300, 1000, 0, 1000, 0}));

  uint32_t ticks = 100;  // the sink plays centred at the game's time
  MixerSink sink(mixer, [&ticks] { return ticks; });
  mixer.setClip(SoundId::pocket, constantClip(1, -32768), 0);
  sink.play(SoundId::pocket);
  EXPECT_EQ(mix(mixer, 1), (Samples{-16383, -16383}));  // -32768 * 32767 / 65535, truncated

  // Two loud clips on the left, three on the right.
  for (int id = 0; id < soundCount; ++id) {
    mixer.setClip(SoundId(id), constantClip(2, id < 2 ? 30000 : -30000), 200);
    mixer.playSound(SoundId(id), id < 2 ? -1.0f : 1.0f, 210);
  }
  EXPECT_EQ(mix(mixer, 1), (Samples{32767, -32768}));
  // A sum that overshoots on the way but ends in range is exact.
  for (SoundId id : {SoundId::wall, SoundId::softClick, SoundId::hardClick}) mixer.playSound(id, -1.0f, 300);
  EXPECT_EQ(mix(mixer, 1, true), (Samples{30000}));
}

// Each voice writes its own bit field of one channel (full left or full right), so that every
// pulled frame tells, voice by voice, where the voice stands: 0 silent, 1 its clip's first frame
// and nowhere else, then 2, 3, ... up to the field's largest value and round again from 2.
// Voices 0 and 1 have seven bits each of the left channel, voices 2 to 4 five bits each of the
// right; the fields never carry into each other. The clips are long, so that a voice is usually
// still playing when it is restarted or reloaded.
struct VoiceField {
  float pan;
  bool left;
  int shift;
  int length;  // frames
  int largest() const { return left ? 0x7F : 0x1F; }
  // The field's value at frame i (from 1) of the clip.
  int valueAt(int i) const { return i == 1 ? 1 : 2 + (i - 2) % (largest() - 1); }
};
constexpr VoiceField voiceFields[soundCount] = {{-1.0f, true, 0, 1500},
                                                {-1.0f, true, 7, 2100},
                                                {1.0f, false, 0, 900},
                                                {1.0f, false, 5, 700},
                                                {1.0f, false, 10, 1200}};

Clip fieldClip(int voice) {
  const VoiceField& f = voiceFields[voice];
  Clip clip;
  for (int i = 1; i <= f.length; ++i) clip.samples.insert(clip.samples.end(), 2, int16_t(f.valueAt(i) << f.shift));
  return clip;
}

// Follows each voice through the pulled blocks: a voice starts (frame 1) or is cut off (by a
// reload) only at a block's first frame, since a command never lands inside a mix, and otherwise
// plays its frames one after another to the clip's end. Keeps the first thing that breaks this.
struct StreamChecker {
  void take(const Samples& block) {
    const size_t frames = block.size() / 2;
    for (size_t frame = 0; frame < frames; ++frame) {
      if ((block[2 * frame] & ~0x3FFF) != 0 || (block[2 * frame + 1] & ~0x7FFF) != 0) fail(frame, -1, "stray bits");
      for (int v = 0; v < soundCount; ++v) {
        const VoiceField& f = voiceFields[v];
        const int value = (block[2 * frame + (f.left ? 0 : 1)] >> f.shift) & f.largest();
        int& at = position_[v];  // the clip frame heard last, 0 when silent
        if (value == 1) {
          ++starts[v];
          if (frame != 0) fail(frame, v, "started inside a mix");
          at = 1;
        } else if (value == 0) {
          if (at != 0 && at != f.length) {
            ++cuts[v];
            if (frame != 0) fail(frame, v, "cut off inside a mix");
          }
          at = 0;
        } else if (at == 0 || at == f.length || value != f.valueAt(at + 1)) {
          fail(frame, v, "not the next frame of the clip");
          at = 0;
        } else {
          ++at;
        }
      }
    }
    ++blocks;
  }
  void fail(size_t frame, int voice, const char* what) {
    if (firstFault.empty()) {
      firstFault = std::string(what) + ": voice " + std::to_string(voice) + ", block " + std::to_string(blocks) +
                   ", frame " + std::to_string(frame);
    }
  }

  int starts[soundCount] = {}, cuts[soundCount] = {};
  int blocks = 0;
  std::string firstFault;

 private:
  int position_[soundCount] = {};
};

// The game thread restarts and reloads voices while the audio thread pulls blocks, as a device
// would, without pause; every pulled frame must be a mix the voices can give, and every start the
// game asked for must be heard from its first frame.
TEST(Mixer, GameThreadAndAudioThreadCanWorkAtOnce) {
  constexpr size_t blockFrames = 37;
  Mixer mixer;
  for (int v = 0; v < soundCount; ++v) mixer.setClip(SoundId(v), fieldClip(v), 0);
  std::atomic<int> blocksPulled{0};
  std::atomic<bool> done{false};
  StreamChecker checker;  // the audio thread's until it is joined
  std::thread audio([&] {
    Samples block(blockFrames * 2);
    while (!done.load()) {
      mixer.mix(block.data(), blockFrames);
      checker.take(block);
      blocksPulled.fetch_add(1, std::memory_order_release);
    }
  });

  int plays[soundCount] = {}, reloads[soundCount] = {};
  Random random(2024);
  uint32_t now = 10;
  for (int command = 0; command < 1000; ++command, now += 60) {  // 60 ms apart: never too soon
    const int v = random.next() % soundCount;
    if (random.next() % 5 == 0) {
      mixer.setClip(SoundId(v), fieldClip(v), now);  // goes on at once: may land in the next mix
      ++reloads[v];
      continue;
    }
    mixer.playSound(SoundId(v), voiceFields[v].pan, now);
    ++plays[v];
    // The block being mixed now may have begun before the request; the one after cannot have.
    const int target = blocksPulled.load(std::memory_order_acquire) + 2;
    while (blocksPulled.load(std::memory_order_acquire) < target) std::this_thread::yield();
  }
  done = true;
  audio.join();

  EXPECT_EQ(checker.firstFault, "");
  for (int v = 0; v < soundCount; ++v) {
    EXPECT_EQ(checker.starts[v], plays[v]) << "voice " << v;
    EXPECT_LE(checker.cuts[v], reloads[v]) << "voice " << v;
    EXPECT_GT(plays[v], 0);
  }
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

Bytes riff(const char* form, const std::vector<Bytes>& chunks) {
  Bytes body(form, form + 4);
  for (const Bytes& c : chunks) body.insert(body.end(), c.begin(), c.end());
  return chunk("RIFF", body, int64_t(body.size()));
}

// A 16-byte "fmt " body; block alignment follows from the other fields unless given.
Bytes fmtBody(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bits, int align = -1) {
  const uint32_t a = align >= 0 ? uint32_t(align) : uint32_t(channels * bits / 8);
  return le(tag, 2) + le(channels, 2) + le(rate, 4) + le(rate * a, 4) + le(a, 2) + le(bits, 2);
}

Bytes pcmFmt(uint16_t channels, uint32_t rate) { return chunk("fmt ", fmtBody(1, channels, rate, 16)); }
Bytes withFmt(const Bytes& f, const Bytes& d = Bytes(8, 0)) { return riff("WAVE", {chunk("fmt ", f), chunk("data", d)}); }
Bytes samples16(const Samples& values) {
  Bytes out;
  for (int16_t v : values) out = out + le(uint16_t(v), 2);
  return out;
}
Bytes patched(Bytes bytes, size_t at, const Bytes& with) {
  std::copy(with.begin(), with.end(), bytes.begin() + ptrdiff_t(at));
  return bytes;
}

// WAVE_FORMAT_EXTENSIBLE (40 bytes): cbSize 22, valid bits, channel mask, sub-format GUID.
Bytes extensibleFmt(uint8_t subFormat) {
  return fmtBody(0xFFFE, 2, 48000, 16) +
         Bytes{22, 0, 16, 0, 3, 0, 0, 0, subFormat, 0, 0, 0, 0, 0, 0x10, 0, 0x80, 0, 0, 0xAA, 0, 0x38, 0x9B, 0x71};
}

template <class T>
std::string joined(const std::vector<T>& values) {
  std::string s;
  for (T v : values) {
    s += ' ';
    s += std::to_string(v);
  }
  return s;
}

// "line: message" of a failure, or "loaded".
std::string outcome(const std::optional<LoadFailure>& failed) {
  return failed ? std::to_string(failed->line) + ": " + failed->message : "loaded";
}

// The failure, or channels x bits at rate: the data bytes. Parses an exactly sized heap copy,
// so a read past the end trips the address sanitizer.
std::string parsed(const Bytes& bytes) {
  WavFile wav;
  if (auto failed = parseWav(Bytes(bytes), "x.wav", wav)) return outcome(failed);
  const PcmFormat& f = wav.format;
  return std::to_string(f.channels) + "x" + std::to_string(f.bitsPerSample) + " at " + std::to_string(f.sampleRate) +
         ":" + joined(wav.samples);
}

TEST(WavReader, EachLayoutIsLoadedOrRefusedWithItsLineAndMessage) {
  const std::string notWave = "87: Not a waveform file: x.wav", bad = "Waveform file x.wav ";
  const std::string noFmt = "94: " + bad + "is corrupted! 'fmt ' chunk not found!";
  const std::string noData = "102: " + bad + "is corrupted! 'data' chunk not found!";
  const std::string unplayable =
      "96: " + bad + "has a format that cannot be played! (8 or 16-bit PCM, mono or stereo)";
  const Bytes data7 = samples16({-7, 9}), fmt = pcmFmt(1, 8000), data = chunk("data", data7);
  const Bytes good = riff("WAVE", {fmt, data});
  const std::string loaded = "1x16 at 8000: 249 255 9 0";
  Bytes longFmt = fmtBody(1, 1, 8000, 16);
  longFmt.resize(50, 0xEE);  // bytes after the 16 that matter
  std::vector<Bytes> manyJunk(2000, chunk("junk", {}));
  manyJunk.insert(manyJunk.end(), {fmt, data});
  const std::pair<Bytes, std::string> cases[] = {
      {riff("WAVE", {fmt, chunk("junk", Bytes{1, 2, 3}), data}), loaded},  // odd chunk padded
      {patched(good, 4, {0xFF, 0xFF, 0xFF}), loaded},  // a RIFF size beyond the file
      {withFmt(longFmt, data7), loaded},
      {withFmt(extensibleFmt(0x01), data7), "2x16 at 48000: 249 255 9 0"},
      {riff("WAVE", {pcmFmt(2, 8000), chunk("data", Bytes{1, 0, 2, 0, 3})}), "2x16 at 8000: 1 0 2 0"},  // frames
      {riff("AVI ", {fmt, data}), notWave},
      {patched(good, 3, {'X'}), notWave},  // RIFX
      {Bytes{'R', 'I', 'F'}, notWave},
      {patched(riff("WAVE", {}), 4, {3}), notWave},  // too small to hold the form type
      {riff("WAVE", {data}), noFmt},
      {riff("WAVE", {chunk("fmt ", Bytes(10, 0), 16)}), "94: " + bad + "is corrupted! 'fmt ' chunk is cut off!"},
      {riff("WAVE", {chunk("junk", Bytes(40, 0), 0xFFFFFFFF), fmt, data}), noFmt},  // hides the rest
      {riff("WAVE", manyJunk), noFmt},  // the chunk walk is bounded
      {riff("WAVE", {data, fmt}), noData},  // "data" is looked for after "fmt "
      {riff("WAVE", {fmt, chunk("data", samples16({1, 2}), 1000)}),
       "102: " + bad + "is corrupted! 'data' chunk is cut off!"},
      {riff("WAVE", {fmt, chunk("junk", Bytes(3, 0), 0xFFFFFFF0), data}), noData},
      {Bytes(good.begin(), good.end() - 8), noData},  // a header cut in the middle
      {patched(good, 4, {28, 0, 0, 0}), noData},     // the RIFF chunk ends before "data"
      {withFmt(extensibleFmt(0x03)), unplayable},      // extensible IEEE float
      {withFmt(fmtBody(3, 1, 8000, 32)), unplayable},  // IEEE float
      {withFmt(fmtBody(1, 1, 8000, 24)), unplayable},
      {withFmt(fmtBody(1, 3, 8000, 16)), unplayable},
      {withFmt(fmtBody(1, 0, 8000, 16)), unplayable},
      {withFmt(fmtBody(1, 1, 0, 16)), unplayable},
      {withFmt(fmtBody(1, 2, 8000, 16, 2)), unplayable},  // block alignment
      {withFmt({}), unplayable},  // a fmt chunk of size 0
      {withFmt(Bytes(15, 1)), unplayable},
  };
  for (size_t k = 0; k < std::size(cases); ++k) EXPECT_EQ(parsed(cases[k].first), cases[k].second) << k;
}

WavFile pcm(uint16_t channels, uint32_t rate, uint16_t bits, Bytes samples) {
  return WavFile{PcmFormat{channels, rate, bits, uint16_t(channels * bits / 8)}, std::move(samples)};
}

// The converted samples, or the failure.
std::string converted(const WavFile& wav, uint32_t deviceRate) {
  Clip clip;
  const auto failed = convertForDevice(wav, deviceRate, "x.wav", clip);
  return failed ? outcome(failed) : joined(clip.samples);
}

TEST(WavReader, ClipsAreConvertedToStereo16BitAtTheDeviceRate) {
  const struct { WavFile wav; uint32_t deviceRate; std::string expected; } cases[] = {
      {pcm(1, 44100, 8, {0, 128, 255}), 44100, " -32768 -32768 0 0 32512 32512"},
      {pcm(2, 48000, 16, samples16({-32768, 32767, 5, -5})), 48000, " -32768 32767 5 -5"},
      // Linear interpolation; after the last sample there is nothing to move towards.
      {pcm(1, 22050, 16, samples16({0, 100, -100})), 44100, " 0 0 50 50 100 100 0 0 -100 -100 -100 -100"},
      {pcm(1, 44100, 16, samples16({0, 10, 20, 30, 40})), 22050, " 0 0 20 20"},
      {pcm(1, 192000, 16, samples16({7})), 8000, " 7 7"},
      // 1000 frames at 1 Hz would be 1000 seconds once converted.
      {pcm(1, 1, 8, Bytes(1000, 128)), 44100, "104: Waveform file x.wav is too long to be played!"},
  };
  for (const auto& c : cases) EXPECT_EQ(converted(c.wav, c.deviceRate), c.expected) << c.wav.format.sampleRate;
}

struct FakeOutput final : AudioOutput {
  uint32_t open(uint32_t preferredRate) override { return ++openCount, askedRate = preferredRate, rate; }
  uint32_t rate = 16000, askedRate = 0;
  int openCount = 0;
};

// A fresh folder holding the five clips, each four frames of its own constant (100, 200, ...
// in load order) at 8 kHz; the bank loads them into the mixer through the fake device, which
// runs at 16 kHz, so each clip becomes eight frames.
struct SoundBankTest : ::testing::Test {
  SoundBankTest() {
    std::string pattern = (std::filesystem::temp_directory_path() / "morvane-sound-XXXXXX").string();
    dir = mkdtemp(pattern.data());
    for (size_t i = 0; i < soundFileNames.size(); ++i) write(soundFileNames[i], int16_t((i + 1) * 100));
  }
  ~SoundBankTest() override { std::filesystem::remove_all(dir); }
  std::string file(const char* name) const { return (dir / name).string(); }
  void write(const char* name, int16_t value, const char* form = "WAVE") const {
    const Bytes bytes = riff(form, {pcmFmt(1, 8000), chunk("data", samples16(Samples(4, value)))});
    std::ofstream(file(name), std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), long(bytes.size()));
  }
  // Plays a clip fully left and returns the left channel of the next ten frames.
  Samples sounds(SoundId id, uint32_t nowMs) { return mixer.playSound(id, -1.0f, nowMs), mix(mixer, 10, true); }
  static Samples clip(int16_t v) { return {v, v, v, v, v, v, v, v, 0, 0}; }
  std::filesystem::path dir;
  Mixer mixer;
  FakeOutput output;
  SoundBank bank{mixer, output};
};

TEST_F(SoundBankTest, LoadsTheFiveClipsInOrderAtTheDeviceRateWithOneDevice) {
  ASSERT_FALSE(bank.loadSounds(0, dir.string()).has_value());
  EXPECT_EQ(output.askedRate, 44100u);
  for (int i = 0; i < soundCount; ++i) EXPECT_EQ(sounds(SoundId(i), 10), clip(int16_t(100 * (i + 1)))) << i;
  for (uint32_t round = 1; round <= 5; ++round) ASSERT_FALSE(bank.loadSounds(round * 1000, dir.string()));
  EXPECT_EQ(output.openCount, 1);
  // The reload re-armed the clips with 1 ms: silent at +1, sounding at +2.
  EXPECT_EQ(sounds(SoundId::shot, 5001), Samples(10, 0));
  EXPECT_EQ(sounds(SoundId::shot, 5002), clip(400));
}

TEST_F(SoundBankTest, StopsAtTheFirstFailureInLoadOrder) {
  std::filesystem::remove(file("pocket.wav"));
  EXPECT_EQ(outcome(bank.loadSounds(0, dir.string())), "80: File not found: " + file("pocket.wav"));
  EXPECT_EQ(sounds(SoundId::shot, 10), clip(400));  // the four before it were loaded
  write("clicke.wav", 0, "AVI ");
  write("hit.wav", 0, "WAVX");
  EXPECT_EQ(outcome(bank.loadSounds(100, dir.string())), "87: Not a waveform file: " + file("clicke.wav"));
  EXPECT_EQ(sounds(SoundId::hardClick, 200), clip(200));
  EXPECT_EQ(sounds(SoundId::wall, 200), clip(300));  // still the clip loaded before
}

TEST_F(SoundBankTest, AMissingFileIsReportedBeforeADeviceThatCannotBeOpened) {
  output.rate = 0;
  const std::filesystem::path empty = dir / "empty";
  std::filesystem::create_directory(empty);
  const auto previous = std::filesystem::current_path();
  std::filesystem::current_path(empty);  // the working directory is the default folder
  const std::string missing = outcome(bank.loadSounds(0));
  std::filesystem::current_path(previous);
  EXPECT_EQ(missing, "80: File not found: clickb.wav");
  EXPECT_EQ(output.openCount, 0);
  EXPECT_EQ(outcome(bank.loadSounds(0, dir.string())), "112: Wave mapper could not be opened!");
  EXPECT_EQ(output.openCount, 1);
}

}  // namespace
}  // namespace morvane
