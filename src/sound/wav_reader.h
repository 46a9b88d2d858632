#pragma once
// Our own RIFF/WAVE reader. A clip file becomes signed 16-bit stereo frames at the rate the
// output device runs at, converted once at load so that the mixer only scales and adds.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace morvane {

// A loading failure as the player sees it: the text (plain ASCII) and the source line that
// the stop names ("HANG:<line>").
struct LoadFailure {
  std::string message;
  int line = 0;
};

// The line each loading failure names, in the order the loader meets them.
namespace loadLine {
constexpr int fileNotFound = 80;
constexpr int notWaveform = 87;
constexpr int fmtChunk = 94;          // no "fmt " chunk, or one cut off by the end of the file
constexpr int unplayableFormat = 96;  // anything but 8/16-bit integer PCM, mono or stereo
constexpr int dataChunk = 102;        // no "data" chunk, or one cut off by the end of the file
constexpr int clipTooLong = 104;      // longer than maxClipSeconds once converted
constexpr int outOfMemory = 106;      // the samples or the converted clip could not be allocated
constexpr int noDevice = 112;
}  // namespace loadLine

// A clip is a short effect; the cap keeps a long file from asking for hundreds of megabytes
// once resampled.
constexpr uint32_t maxClipSeconds = 60;

// The largest clip file read: a minute of 16-bit stereo at 48 kHz is 11 MB. A larger file (or an
// endless one) is refused as not a waveform file before it is read into memory.
constexpr uint64_t maxWavFileBytes = 16 * 1024 * 1024;

// Sample rates a clip may have; outside them the format cannot be played. The lower bound keeps
// a tiny file from turning into millions of frames at the device rate.
constexpr uint32_t minSampleRate = 1000;
constexpr uint32_t maxSampleRate = 384000;

// The "fmt " chunk, reduced to what the mixer takes: integer PCM, little-endian.
struct PcmFormat {
  uint16_t channels = 0;       // 1 or 2
  uint32_t sampleRate = 0;     // frames per second, minSampleRate .. maxSampleRate
  uint16_t bitsPerSample = 0;  // 8 (unsigned, 128 is silence) or 16 (signed)
  uint16_t blockAlign = 0;     // bytes per frame = channels * bitsPerSample / 8
};

// A parsed file: its format and the bytes of its "data" chunk, cut to whole frames.
struct WavFile {
  PcmFormat format;
  std::vector<uint8_t> samples;
};

// A clip in the mixer's format: interleaved left/right signed 16-bit samples at the device rate.
struct Clip {
  std::vector<int16_t> samples;
  size_t frameCount() const { return samples.size() / 2; }
};

// Reads the file at `path` and parses it; `path` is the name the messages show. Only a regular
// file of at most maxWavFileBytes is read; it is opened non-blocking, so a FIFO cannot hang it.
std::optional<LoadFailure> readWavFile(const std::string& path, WavFile& wav);

// Parses the bytes of a whole file; never reads outside `bytes`.
std::optional<LoadFailure> parseWav(std::span<const uint8_t> bytes, const std::string& name,
                                    WavFile& wav);

// Converts to stereo 16-bit at `deviceRate` (linear interpolation); fails if the result would
// exceed maxClipSeconds. In all three, memory that cannot be had is a refusal, not an exception.
std::optional<LoadFailure> convertForDevice(const WavFile& wav, uint32_t deviceRate,
                                            const std::string& name, Clip& clip);

}  // namespace morvane
