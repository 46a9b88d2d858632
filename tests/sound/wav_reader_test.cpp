#include "sound/wav_reader.h"

#include <gtest/gtest.h>

#include "sound/wav_bytes.h"

namespace morvane {
namespace {

using testing::Bytes;
using testing::chunk;
using testing::chunkClaiming;
using testing::fmtBody;
using testing::pcmFmt;
using testing::riff;
using testing::samples16;

// Parses from an exactly sized heap copy, so a read past the end trips the address sanitizer.
std::optional<LoadFailure> parse(const Bytes& bytes, WavFile& wav) {
  const Bytes exact(bytes.begin(), bytes.end());
  return parseWav(exact, "x.wav", wav);
}

void expectFailure(const Bytes& bytes, int line, const std::string& message) {
  WavFile wav;
  const auto failed = parse(bytes, wav);
  ASSERT_TRUE(failed.has_value()) << message;
  EXPECT_EQ(failed->line, line);
  EXPECT_EQ(failed->message, message);
}

const std::string noFmt = "Waveform file x.wav is corrupted! 'fmt ' chunk not found!";
const std::string noData = "Waveform file x.wav is corrupted! 'data' chunk not found!";
const std::string unplayable =
    "Waveform file x.wav has a format that cannot be played! (8 or 16-bit PCM, mono or stereo)";

TEST(WavReader, MissingFileIsNotFoundAtLine80) {
  testing::TempDir dir;
  WavFile wav;
  const auto failed = readWavFile(dir.file("pocket.wav"), wav);
  ASSERT_TRUE(failed.has_value());
  EXPECT_EQ(failed->line, 80);
  EXPECT_EQ(failed->message, "File not found: " + dir.file("pocket.wav"));
  // A folder of that name is no file either.
  const auto folder = readWavFile(dir.path(), wav);
  ASSERT_TRUE(folder.has_value());
  EXPECT_EQ(folder->line, 80);
}

TEST(WavReader, AnythingButARiffWaveFormIsNotAWaveformFile) {
  const Bytes data = chunk("data", samples16({0}));
  expectFailure(riff("AVI ", {pcmFmt(1, 8000, 16), data}), 87, "Not a waveform file: x.wav");
  Bytes rifx = riff("WAVE", {pcmFmt(1, 8000, 16), data});
  rifx[3] = 'X';
  expectFailure(rifx, 87, "Not a waveform file: x.wav");
  expectFailure(Bytes{'R', 'I', 'F'}, 87, "Not a waveform file: x.wav");
  expectFailure(Bytes{}, 87, "Not a waveform file: x.wav");
  // A RIFF size too small to hold even the form type.
  Bytes tiny = riff("WAVE", {});
  tiny[4] = 3;
  expectFailure(tiny, 87, "Not a waveform file: x.wav");
}

TEST(WavReader, MissingChunksAreReportedByName) {
  expectFailure(riff("WAVE", {chunk("data", samples16({0}))}), 94, noFmt);
  expectFailure(riff("WAVE", {}), 94, noFmt);
  expectFailure(riff("WAVE", {pcmFmt(1, 8000, 16)}), 102, noData);
  expectFailure(riff("WAVE", {pcmFmt(1, 8000, 16), chunk("LIST", Bytes(6, 0))}), 102, noData);
  // "data" is looked for after "fmt ", where every writer puts it.
  expectFailure(riff("WAVE", {chunk("data", samples16({0})), pcmFmt(1, 8000, 16)}), 102, noData);
}

TEST(WavReader, ChunkSizesBeyondTheFileAreCorruption) {
  // The data chunk claims more than the file holds.
  expectFailure(riff("WAVE", {pcmFmt(1, 8000, 16), chunkClaiming("data", 1000, samples16({1, 2}))}),
                102, "Waveform file x.wav is corrupted! 'data' chunk is cut off!");
  expectFailure(riff("WAVE", {chunkClaiming("fmt ", 16, Bytes(10, 0))}), 94,
                "Waveform file x.wav is corrupted! 'fmt ' chunk is cut off!");
  // A chunk in the way that claims everything: nothing after it can be found.
  expectFailure(riff("WAVE", {chunkClaiming("junk", 0xFFFFFFFF, Bytes(40, 0))}), 94, noFmt);
  expectFailure(riff("WAVE", {pcmFmt(1, 8000, 16), chunkClaiming("junk", 0xFFFFFFF0, Bytes(3, 0))}),
                102, noData);
  // A header cut in the middle.
  Bytes cut = riff("WAVE", {pcmFmt(1, 8000, 16), chunk("data", samples16({1}))});
  cut.erase(cut.end() - 6, cut.end());
  expectFailure(cut, 102, noData);
}

TEST(WavReader, RiffSizeLimitsTheWalkButNeverReachesPastTheFile) {
  Bytes file = riff("WAVE", {pcmFmt(1, 8000, 16), chunk("data", samples16({5, 6}))});
  // A RIFF size larger than the file is cut back to the file.
  file[4] = 0xFF;
  file[5] = 0xFF;
  file[6] = 0xFF;
  WavFile wav;
  ASSERT_FALSE(parse(file, wav).has_value());
  EXPECT_EQ(wav.samples, samples16({5, 6}));
  // A RIFF size that ends before "data": the chunk is not in the RIFF chunk.
  Bytes shortRiff = riff("WAVE", {pcmFmt(1, 8000, 16), chunk("data", samples16({5, 6}))});
  shortRiff[4] = 4 + 24;
  shortRiff[5] = shortRiff[6] = shortRiff[7] = 0;
  expectFailure(shortRiff, 102, noData);
}

TEST(WavReader, OddChunksArePaddedToEven) {
  const Bytes file = riff("WAVE", {pcmFmt(1, 8000, 16), chunk("junk", Bytes{1, 2, 3}),
                                   chunk("data", samples16({-7, 9}))});
  WavFile wav;
  ASSERT_FALSE(parse(file, wav).has_value());
  EXPECT_EQ(wav.samples, samples16({-7, 9}));
}

TEST(WavReader, TheChunkWalkIsBounded) {
  std::vector<Bytes> chunks(2000, chunk("junk", {}));
  chunks.push_back(pcmFmt(1, 8000, 16));
  chunks.push_back(chunk("data", samples16({1})));
  expectFailure(riff("WAVE", chunks), 94, noFmt);
}

TEST(WavReader, LongFmtChunksAreReadSafely) {
  // WAVE_FORMAT_EXTENSIBLE: cbSize 22, valid bits, channel mask, PCM sub-format.
  Bytes extensible = fmtBody(0xFFFE, 2, 48000, 16);
  testing::putU16(extensible, 22);
  testing::putU16(extensible, 16);
  testing::putU32(extensible, 3);
  const Bytes pcmGuid = {0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x10, 0x00,
                         0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};
  extensible.insert(extensible.end(), pcmGuid.begin(), pcmGuid.end());
  ASSERT_EQ(extensible.size(), 40u);
  WavFile wav;
  ASSERT_FALSE(parse(riff("WAVE", {chunk("fmt ", extensible), chunk("data", samples16({1, 2}))}), wav));
  EXPECT_EQ(wav.format.channels, 2);
  EXPECT_EQ(wav.format.sampleRate, 48000u);
  EXPECT_EQ(wav.format.bitsPerSample, 16);

  // The same with an IEEE float sub-format.
  Bytes floatSub = extensible;
  floatSub[24] = 0x03;
  expectFailure(riff("WAVE", {chunk("fmt ", floatSub), chunk("data", samples16({1, 2}))}), 96, unplayable);
  // Plain PCM with trailing bytes after the 16 that matter.
  Bytes padded = fmtBody(1, 1, 8000, 8);
  padded.resize(50, 0xEE);
  ASSERT_FALSE(parse(riff("WAVE", {chunk("fmt ", padded), chunk("data", Bytes{128})}), wav));
  EXPECT_EQ(wav.format.bitsPerSample, 8);
}

TEST(WavReader, FormatsTheMixerCannotPlayAreRefused) {
  const Bytes data = chunk("data", Bytes(16, 0));
  auto withFmt = [&](const Bytes& body) { return riff("WAVE", {chunk("fmt ", body), data}); };
  expectFailure(withFmt(fmtBody(3, 1, 8000, 32)), 96, unplayable);   // IEEE float
  expectFailure(withFmt(fmtBody(2, 1, 8000, 4, 256)), 96, unplayable);  // MS ADPCM
  expectFailure(withFmt(fmtBody(1, 1, 8000, 24)), 96, unplayable);
  expectFailure(withFmt(fmtBody(1, 3, 8000, 16)), 96, unplayable);
  expectFailure(withFmt(fmtBody(1, 0, 8000, 16)), 96, unplayable);
  expectFailure(withFmt(fmtBody(1, 1, 0, 16)), 96, unplayable);
  expectFailure(withFmt(fmtBody(1, 2, 8000, 16, 2)), 96, unplayable);  // block alignment
  expectFailure(withFmt({}), 96, unplayable);
  expectFailure(withFmt(Bytes(15, 1)), 96, unplayable);
}

TEST(WavReader, DataIsCutToWholeFrames) {
  WavFile wav;
  ASSERT_FALSE(parse(riff("WAVE", {pcmFmt(2, 8000, 16), chunk("data", Bytes{1, 0, 2, 0, 3})}), wav));
  EXPECT_EQ(wav.samples, (Bytes{1, 0, 2, 0}));
}

WavFile pcm(uint16_t channels, uint32_t rate, uint16_t bits, Bytes samples) {
  WavFile wav;
  wav.format = PcmFormat{channels, rate, bits, static_cast<uint16_t>(channels * bits / 8)};
  wav.samples = std::move(samples);
  return wav;
}

TEST(WavConversion, EightBitIsUnsignedAndMonoFeedsBothChannels) {
  Clip clip;
  ASSERT_FALSE(convertForDevice(pcm(1, 44100, 8, {0, 128, 255}), 44100, "x.wav", clip));
  EXPECT_EQ(clip.samples, (std::vector<int16_t>{-32768, -32768, 0, 0, 32512, 32512}));
}

TEST(WavConversion, SixteenBitStereoAtTheDeviceRateIsCopied) {
  Clip clip;
  ASSERT_FALSE(convertForDevice(pcm(2, 48000, 16, samples16({-32768, 32767, 5, -5})), 48000, "x.wav", clip));
  EXPECT_EQ(clip.samples, (std::vector<int16_t>{-32768, 32767, 5, -5}));
}

TEST(WavConversion, ResamplingInterpolatesLinearly) {
  Clip up;
  ASSERT_FALSE(convertForDevice(pcm(1, 22050, 16, samples16({0, 100, -100})), 44100, "x.wav", up));
  // Between samples the midpoint; after the last one there is nothing to move towards.
  EXPECT_EQ(up.samples, (std::vector<int16_t>{0, 0, 50, 50, 100, 100, 0, 0, -100, -100, -100, -100}));

  Clip down;
  ASSERT_FALSE(convertForDevice(pcm(1, 44100, 16, samples16({0, 10, 20, 30, 40})), 22050, "x.wav", down));
  EXPECT_EQ(down.samples, (std::vector<int16_t>{0, 0, 20, 20}));

  // One sample at a high rate still gives one frame.
  Clip single;
  ASSERT_FALSE(convertForDevice(pcm(1, 192000, 16, samples16({7})), 8000, "x.wav", single));
  EXPECT_EQ(single.samples, (std::vector<int16_t>{7, 7}));
}

TEST(WavConversion, ClipsThatWouldGrowPastTheCapAreRefused) {
  Clip clip;
  // 1000 frames at 1 Hz would be 1000 seconds once converted.
  const auto failed = convertForDevice(pcm(1, 1, 8, Bytes(1000, 128)), 44100, "x.wav", clip);
  ASSERT_TRUE(failed.has_value());
  EXPECT_EQ(failed->line, 104);
  EXPECT_EQ(failed->message, "Waveform file x.wav is too long to be played!");
  EXPECT_TRUE(clip.samples.empty());
}

}  // namespace
}  // namespace morvane
