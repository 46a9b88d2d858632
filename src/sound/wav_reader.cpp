#include "sound/wav_reader.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <new>

#include "io/little_endian.h"
#include "io/whole_file.h"

namespace morvane {
namespace {

constexpr uint16_t formatPcm = 0x0001;
constexpr uint16_t formatExtensible = 0xFFFE;
constexpr size_t chunkHeaderSize = 8;  // four-character id, 32-bit little-endian size
constexpr size_t plainFmtSize = 16;
constexpr size_t extensibleFmtSize = 40;
// A file is a handful of chunks; the bound keeps a file of millions of empty chunks cheap.
constexpr int maxChunksWalked = 1024;

// KSDATAFORMAT_SUBTYPE_PCM as it lies in the file.
constexpr std::array<uint8_t, 16> pcmSubFormat = {0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x10, 0x00,
                                                  0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};

bool hasId(std::span<const uint8_t> bytes, size_t at, const char* id) {
  return std::memcmp(bytes.data() + at, id, 4) == 0;
}

LoadFailure failure(int line, std::string message) { return LoadFailure{std::move(message), line}; }

LoadFailure notFound(const std::string& name) {
  return failure(loadLine::fileNotFound, "File not found: " + name);
}

LoadFailure notWaveform(const std::string& name) {
  return failure(loadLine::notWaveform, "Not a waveform file: " + name);
}

LoadFailure outOfMemory(const std::string& name) {
  return failure(loadLine::outOfMemory, "Not enough memory for waveform file " + name + "!");
}

LoadFailure corrupted(const std::string& name, const char* chunk, int line, bool truncated) {
  return failure(line, "Waveform file " + name + " is corrupted! '" + chunk + "' chunk " +
                           (truncated ? "is cut off!" : "not found!"));
}

enum class Search { found, missing, truncated };

struct Chunk {
  size_t body = 0;  // offset of the first byte after the header
  uint32_t size = 0;
};

// Walks the chunks in [from, end) for `id`. A chunk that claims more bytes than lie before
// `end` ends the walk: either it is the one sought (truncated) or nothing after it can be
// trusted (missing). Bodies of odd size are followed by one pad byte.
Search findChunk(std::span<const uint8_t> bytes, size_t from, size_t end, const char* id,
                 int& chunksWalked, Chunk& chunk) {
  size_t at = from;
  while (at <= end && end - at >= chunkHeaderSize) {
    if (++chunksWalked > maxChunksWalked) return Search::missing;
    const uint32_t size = readU32(bytes, at + 4);
    const size_t body = at + chunkHeaderSize;
    const bool fits = size <= end - body;
    if (hasId(bytes, at, id)) {
      if (!fits) return Search::truncated;
      chunk = Chunk{body, size};
      return Search::found;
    }
    if (!fits) return Search::missing;
    at = body + size + (size & 1u);
  }
  return Search::missing;
}

// Reads the "fmt " body into `format`; false for anything the mixer cannot play.
bool readFormat(std::span<const uint8_t> body, PcmFormat& format) {
  if (body.size() < plainFmtSize) return false;
  const uint16_t tag = readU16(body, 0);
  if (tag == formatExtensible) {
    // cbSize (offset 16) must cover the 22 extension bytes that end with the sub-format GUID.
    if (body.size() < extensibleFmtSize || readU16(body, 16) < 22) return false;
    if (!std::equal(pcmSubFormat.begin(), pcmSubFormat.end(), body.begin() + 24)) return false;
  } else if (tag != formatPcm) {
    return false;
  }
  format.channels = readU16(body, 2);
  format.sampleRate = readU32(body, 4);
  format.blockAlign = readU16(body, 12);
  format.bitsPerSample = readU16(body, 14);
  if (format.channels != 1 && format.channels != 2) return false;
  if (format.bitsPerSample != 8 && format.bitsPerSample != 16) return false;
  if (format.sampleRate < minSampleRate || format.sampleRate > maxSampleRate) return false;
  return format.blockAlign == format.channels * format.bitsPerSample / 8;
}

// One input frame as a left/right pair of signed 16-bit values.
struct Frame {
  int32_t left = 0;
  int32_t right = 0;
};

Frame frameAt(const WavFile& wav, size_t index) {
  const PcmFormat& f = wav.format;
  const std::span<const uint8_t> bytes(wav.samples);
  const size_t at = index * f.blockAlign;
  auto sample = [&](size_t channel) -> int32_t {
    if (f.bitsPerSample == 8) return (static_cast<int32_t>(bytes[at + channel]) - 128) * 256;
    return static_cast<int16_t>(readU16(bytes, at + channel * 2));
  };
  const int32_t left = sample(0);
  return Frame{left, f.channels == 2 ? sample(1) : left};
}

int16_t interpolate(int32_t a, int32_t b, uint64_t fraction, uint64_t denominator) {
  const int64_t step = static_cast<int64_t>(b - a) * static_cast<int64_t>(fraction) /
                       static_cast<int64_t>(denominator);
  return static_cast<int16_t>(a + step);
}

// A whole regular file of at most maxWavFileBytes. Anything else that opens (a directory, a
// FIFO, a device such as /dev/zero) counts as no file.
std::optional<LoadFailure> readClipFile(const std::string& path, std::vector<uint8_t>& bytes) {
  switch (readWholeFile(path, maxWavFileBytes, bytes).status) {
    case WholeFileStatus::ok: return std::nullopt;
    case WholeFileStatus::tooLarge: return notWaveform(path);
    case WholeFileStatus::notFound:
    case WholeFileStatus::unreadable: break;
  }
  return notFound(path);
}

}  // namespace

std::optional<LoadFailure> readWavFile(const std::string& path, WavFile& wav) {
  try {
    std::vector<uint8_t> bytes;
    if (auto failed = readClipFile(path, bytes)) return failed;
    return parseWav(bytes, path, wav);
  } catch (const std::bad_alloc&) {
    return outOfMemory(path);
  }
}

std::optional<LoadFailure> parseWav(std::span<const uint8_t> bytes, const std::string& name,
                                    WavFile& wav) {
  // "RIFF", size, form type "WAVE"; the size must at least hold the form type.
  if (bytes.size() < 12 || !hasId(bytes, 0, "RIFF") || !hasId(bytes, 8, "WAVE") ||
      readU32(bytes, 4) < 4) {
    return notWaveform(name);
  }
  // Subchunks are looked for inside the RIFF chunk only, and never past the end of the file.
  const size_t riffEnd = std::min<size_t>(size_t{8} + readU32(bytes, 4), bytes.size());
  int chunksWalked = 0;

  Chunk fmt;
  Search found = findChunk(bytes, 12, riffEnd, "fmt ", chunksWalked, fmt);
  if (found != Search::found) {
    return corrupted(name, "fmt ", loadLine::fmtChunk, found == Search::truncated);
  }
  PcmFormat format;
  if (!readFormat(bytes.subspan(fmt.body, fmt.size), format)) {
    return failure(loadLine::unplayableFormat,
                   "Waveform file " + name +
                       " has a format that cannot be played! (8 or 16-bit PCM, mono or stereo)");
  }

  // "data" is looked for after "fmt ", where a well-formed file puts it.
  Chunk data;
  const size_t afterFmt = fmt.body + fmt.size + (fmt.size & 1u);
  found = findChunk(bytes, afterFmt, riffEnd, "data", chunksWalked, data);
  if (found != Search::found) {
    return corrupted(name, "data", loadLine::dataChunk, found == Search::truncated);
  }
  // A trailing partial frame has no sample for every channel: it is dropped.
  const size_t wholeBytes = data.size - data.size % format.blockAlign;
  try {
    wav.samples.assign(bytes.begin() + static_cast<std::ptrdiff_t>(data.body),
                       bytes.begin() + static_cast<std::ptrdiff_t>(data.body + wholeBytes));
  } catch (const std::bad_alloc&) {
    return outOfMemory(name);
  }
  wav.format = format;
  return std::nullopt;
}

std::optional<LoadFailure> convertForDevice(const WavFile& wav, uint32_t deviceRate,
                                            const std::string& name, Clip& clip) {
  const uint64_t inRate = wav.format.sampleRate;
  const uint64_t outRate = deviceRate;
  const uint64_t inFrames = wav.format.blockAlign == 0 ? 0 : wav.samples.size() / wav.format.blockAlign;
  if (inRate == 0 || outRate == 0) {
    return failure(loadLine::unplayableFormat,
                   "Waveform file " + name + " has a format that cannot be played!");
  }
  uint64_t outFrames = inFrames * outRate / inRate;
  if (inFrames > 0 && outFrames == 0) outFrames = 1;  // a very short clip still clicks
  if (outFrames > uint64_t{maxClipSeconds} * outRate) {
    return failure(loadLine::clipTooLong, "Waveform file " + name + " is too long to be played!");
  }

  try {
    clip.samples.resize(static_cast<size_t>(outFrames) * 2);
  } catch (const std::bad_alloc&) {
    return outOfMemory(name);
  }
  // Output frame i lies at input position i * inRate / outRate; integer arithmetic keeps the
  // result exact and the same on every build.
  for (uint64_t i = 0; i < outFrames; ++i) {
    const uint64_t position = i * inRate;
    const uint64_t index = position / outRate;
    const uint64_t fraction = position % outRate;
    const Frame a = frameAt(wav, static_cast<size_t>(index));
    const Frame b = frameAt(wav, static_cast<size_t>(std::min(index + 1, inFrames - 1)));
    clip.samples[2 * i] = interpolate(a.left, b.left, fraction, outRate);
    clip.samples[2 * i + 1] = interpolate(a.right, b.right, fraction, outRate);
  }
  return std::nullopt;
}

}  // namespace morvane
