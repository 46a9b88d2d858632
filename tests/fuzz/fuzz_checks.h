#pragma once
// What must hold for any input to the four byte-level entry points: the BMP decoder, the WAV
// parser and converter, the settings dialog's OK processing and the UTF-8 converter. The
// libFuzzer harnesses stop on the first broken rule; the corpus replay test runs the same
// checks over the committed corpus in every build. Each check returns "" when everything holds,
// otherwise what broke.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "math/random.h"
#include "graphics/bmp_image.h"
#include "rules/match_settings.h"
#include "settings/ok_processing.h"
#include "sound/wav_reader.h"
#include "text/cp1250.h"

namespace morvane::fuzz {

using Bytes = std::span<const uint8_t>;

// The names the checked code is given; every refusal must show it.
inline const std::string bmpName = "fuzz.bmp";
inline const std::string wavName = "fuzz.wav";

// Stops a fuzzing run on a broken rule, so libFuzzer keeps the input as a crasher.
inline void enforce(const std::string& broken) {
  if (broken.empty()) return;
  std::fprintf(stderr, "broken: %s\n", broken.c_str());
  std::abort();
}

// The code points of `text` if it is well-formed UTF-8, read by the table of well-formed byte
// sequences (the second byte's range depends on the lead byte) rather than by bit patterns, so
// it is an independent reading of what the converter decodes.
inline std::optional<std::vector<char32_t>> wellFormedUtf8(std::string_view text) {
  std::vector<char32_t> codePoints;
  for (size_t i = 0; i < text.size();) {
    const auto lead = static_cast<uint8_t>(text[i]);
    size_t length = 0;
    uint8_t secondLow = 0x80, secondHigh = 0xBF;
    if (lead <= 0x7F) {
      length = 1;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
      length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      length = 3;
      if (lead == 0xE0) secondLow = 0xA0;
      if (lead == 0xED) secondHigh = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      length = 4;
      if (lead == 0xF0) secondLow = 0x90;
      if (lead == 0xF4) secondHigh = 0x8F;
    } else {
      return std::nullopt;
    }
    if (text.size() - i < length) return std::nullopt;
    char32_t codePoint = length == 1 ? lead : lead & (0x7F >> length);
    for (size_t k = 1; k < length; ++k) {
      const auto byte = static_cast<uint8_t>(text[i + k]);
      const uint8_t low = k == 1 ? secondLow : 0x80, high = k == 1 ? secondHigh : 0xBF;
      if (byte < low || byte > high) return std::nullopt;
      codePoint = (codePoint << 6) | (byte & 0x3F);
    }
    codePoints.push_back(codePoint);
    i += length;
  }
  return codePoints;
}

// The byte of each character the code page has, from the table read backwards.
inline const std::map<char32_t, char>& cp1250Bytes() {
  static const std::map<char32_t, char> bytes = [] {
    std::map<char32_t, char> table;
    for (int byte = 1; byte < 256; ++byte) {
      const char32_t cp = cp1250CodePoint(static_cast<unsigned char>(byte));
      if (cp != 0xFFFD) table.emplace(cp, static_cast<char>(byte));
    }
    return table;
  }();
  return bytes;
}

// UTF-8 → Windows-1250 on the input as UTF-8, and Windows-1250 → UTF-8 → Windows-1250 on the
// input as Windows-1250 bytes.
inline std::string checkCp1250(Bytes bytes) {
  const std::string_view input(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  const std::string out = toCp1250(input);
  if (out.find('\0') != std::string::npos) return "a NUL byte in the converted text";
  if (out.size() > input.size()) return "more bytes out than in";
  // Whatever comes out is a stored text: it must survive the way to the screen and back.
  if (toCp1250(cp1250ToUtf8(out)) != out) return "the converted text does not round-trip";

  if (const auto codePoints = wellFormedUtf8(input)) {
    if (out.size() != codePoints->size()) return "well-formed input: not one byte per character";
    for (size_t i = 0; i < out.size(); ++i) {
      const char32_t cp = (*codePoints)[i];
      const auto found = cp1250Bytes().find(cp);
      const char expected = cp == 0 || found == cp1250Bytes().end() ? '?' : found->second;
      if (out[i] != expected) return "well-formed input: a character converted wrongly";
    }
  } else if (out.find('?') == std::string::npos) {
    return "malformed input converted without a '?'";
  }

  const std::string utf8 = cp1250ToUtf8(input);
  if (!wellFormedUtf8(utf8)) return "Windows-1250 converted to malformed UTF-8";
  const std::string back = toCp1250(utf8);
  if (back.size() != input.size()) return "Windows-1250 round trip changed the length";
  for (size_t i = 0; i < input.size(); ++i) {
    const auto byte = static_cast<unsigned char>(input[i]);
    const bool keeps = byte != 0 && cp1250CodePoint(byte) != 0xFFFD;
    if (back[i] != (keeps ? input[i] : '?')) return "Windows-1250 round trip changed a byte";
  }
  return "";
}

// The BMP decoder: an image of width × height RGBA pixels with black, and only black, see-through;
// or a refusal that names the file and carries no image.
inline std::string checkBmp(Bytes bytes) {
  const BmpResult result = decodeBmp(bytes, bmpName);
  if (!result.ok) {
    if (result.errorUtf8.find(bmpName) == std::string::npos) return "a refusal without the file name";
    if (!wellFormedUtf8(result.errorUtf8)) return "a refusal that is not UTF-8";
    if (!result.image.pixels.empty()) return "a refusal with pixels";
    return "";
  }
  const RgbaImage& image = result.image;
  if (!result.errorUtf8.empty()) return "an image with a message";
  if (image.width <= 0 || image.height <= 0) return "an image without size";
  const int64_t pixels = int64_t{image.width} * image.height;
  if (pixels > maxBmpPixels) return "an image above the pixel cap";
  if (image.pixels.size() != static_cast<size_t>(pixels) * 4) return "not width x height pixels";
  for (size_t i = 0; i < image.pixels.size(); i += 4) {
    const bool black = (image.pixels[i] | image.pixels[i + 1] | image.pixels[i + 2]) == 0;
    if (image.pixels[i + 3] != (black ? 0 : 255)) return "alpha is not 0 for black and 255 else";
  }
  return "";
}

// One input frame of a parsed clip as the converter must see it: 8-bit samples are unsigned
// with 128 as silence, 16-bit ones signed; a mono frame feeds both channels.
inline std::pair<int16_t, int16_t> firstFrame(const WavFile& wav) {
  auto sample = [&](size_t channel) -> int16_t {
    if (wav.format.bitsPerSample == 8) return static_cast<int16_t>((wav.samples[channel] - 128) * 256);
    return static_cast<int16_t>(wav.samples[2 * channel] | (wav.samples[2 * channel + 1] << 8));
  };
  return {sample(0), sample(wav.format.channels == 2 ? 1 : 0)};
}

// Converting a parsed clip for one device rate.
inline std::string checkConversion(const WavFile& wav, uint32_t deviceRate) {
  Clip clip;
  const auto failed = convertForDevice(wav, deviceRate, wavName, clip);
  const uint64_t inFrames = wav.samples.size() / wav.format.blockAlign;
  const uint64_t exact = inFrames * deviceRate / wav.format.sampleRate;
  const uint64_t limit = uint64_t{maxClipSeconds} * deviceRate;
  if (failed) {
    if (failed->line != loadLine::clipTooLong) return "conversion refused with " + std::to_string(failed->line);
    if (failed->message.find(wavName) == std::string::npos) return "conversion refusal without the file name";
    if (exact <= limit) return "a clip within the minute refused as too long";
    return "";
  }
  const uint64_t frames = clip.frameCount();
  if (clip.samples.size() != frames * 2) return "a converted clip that is not stereo";
  if (frames > limit) return "a converted clip longer than the cap";
  if (frames != std::max<uint64_t>(exact, inFrames > 0 ? 1 : 0)) return "wrong converted length";
  if (frames == 0) return "";
  const auto [left, right] = firstFrame(wav);
  if (clip.samples[0] != left || clip.samples[1] != right) return "the first frame changed";
  if (wav.format.channels == 1) {
    for (size_t i = 0; i < clip.samples.size(); i += 2) {
      if (clip.samples[i] != clip.samples[i + 1]) return "a mono clip converted to different channels";
    }
  }
  return "";
}

// The WAV parser and the conversion for two device rates, one below and one above the usual
// clip rates; a refusal carries one of the parser's lines and the file name.
inline std::string checkWav(Bytes bytes) {
  WavFile wav;
  const auto failed = parseWav(bytes, wavName, wav);
  if (failed) {
    const int line = failed->line;
    if (line != loadLine::notWaveform && line != loadLine::fmtChunk && line != loadLine::unplayableFormat &&
        line != loadLine::dataChunk && line != loadLine::outOfMemory) {
      return "parser refused with line " + std::to_string(line);
    }
    if (failed->message.find(wavName) == std::string::npos) return "a refusal without the file name";
    if (!wav.samples.empty()) return "a refusal with samples";
    return "";
  }
  const PcmFormat& f = wav.format;
  if (f.channels != 1 && f.channels != 2) return "a parsed clip with " + std::to_string(f.channels) + " channels";
  if (f.bitsPerSample != 8 && f.bitsPerSample != 16) return "a parsed clip with unplayable sample size";
  if (f.sampleRate < minSampleRate || f.sampleRate > maxSampleRate) return "a parsed clip with a rate out of range";
  if (f.blockAlign != f.channels * f.bitsPerSample / 8) return "a parsed clip with a wrong block alignment";
  if (wav.samples.size() % f.blockAlign != 0) return "a partial frame kept";
  // The smallest header before the samples: RIFF, a 16-byte "fmt " chunk and the "data" header.
  if (wav.samples.size() + 44 > bytes.size()) return "more samples than the file holds";
  for (const uint32_t deviceRate : {8000u, 48000u}) {
    if (std::string broken = checkConversion(wav, deviceRate); !broken.empty()) {
      return broken + " at " + std::to_string(deviceRate) + " Hz";
    }
  }
  return "";
}

// Fuzz bytes as the dialog's controls: a byte of check boxes (bit 0 player 1 computer, 1 player 2
// computer, 2 chaotic, 3 multiplier, 4 winner starts, 5 random start), the difficulty as a
// signed byte, four bytes of generator seed, then the two names, the arena, the rack and the
// rounds, each as a length byte and that many bytes (fewer if the input ends).
struct OkCase {
  DialogInput input;
  uint32_t seed = 0;
};

inline OkCase okCaseFromBytes(Bytes bytes) {
  size_t at = 0;
  auto next = [&]() -> uint8_t { return at < bytes.size() ? bytes[at++] : 0; };
  OkCase c;
  const uint8_t checks = next();
  c.input.player1Computer = (checks & 1) != 0;
  c.input.player2Computer = (checks & 2) != 0;
  c.input.chaoticRack = (checks & 4) != 0;
  c.input.multiplierEnabled = (checks & 8) != 0;
  c.input.winnerStartsNextRound = (checks & 16) != 0;
  c.input.randomStart = (checks & 32) != 0;
  c.input.difficulty = static_cast<int8_t>(next());
  for (int i = 0; i < 4; ++i) c.seed |= uint32_t{next()} << (8 * i);
  for (std::string* field : {&c.input.player1Name, &c.input.player2Name, &c.input.arenaSize, &c.input.rack,
                             &c.input.rounds}) {
    // The length byte is taken first: what remains is counted after it (argument order is not
    // fixed, so the two must not share one expression).
    const size_t wanted = next();
    const size_t start = std::min(at, bytes.size());
    const size_t length = std::min(wanted, bytes.size() - start);
    field->assign(reinterpret_cast<const char*>(bytes.data()) + start, length);
    at += length;
  }
  return c;
}

// A stored name: at most 199 bytes, no NUL; a plain ASCII name that fits is kept as typed.
inline std::string checkName(const std::string& stored, const std::string& typed) {
  if (stored.size() > static_cast<size_t>(maxNameBytes)) return "a name longer than 199 bytes";
  if (stored.find('\0') != std::string::npos) return "a NUL byte in a name";
  const bool plain = typed.size() <= static_cast<size_t>(maxNameBytes) &&
                     std::all_of(typed.begin(), typed.end(), [](char ch) { return ch > 0; });
  if (plain && stored != typed) return "a plain ASCII name changed";
  return "";
}

// The OK processing: a refusal is one of the three messages and draws nothing; an accepted
// dialog gives settings the game can run with and draws the start only when asked to.
inline std::string checkOkProcessing(Bytes bytes) {
  const OkCase c = okCaseFromBytes(bytes);
  const DialogInput& in = c.input;
  Random random(c.seed);
  const OkOutcome out = processOk(in, random);
  const MatchSettings& s = out.settings;
  Random unchanged(c.seed);

  if (!out.accepted()) {
    const std::string& message = out.refusal->messageUtf8;
    if (message != "A lerakat érvénytelen!" && message != "A térméret érvénytelen!" &&
        message != "A körök száma érvénytelen!") {
      return "an unknown refusal: " + message;
    }
    if (out.refusal->captionUtf8 != "HIBA!") return "a refusal without the caption HIBA!";
    if (!(random == unchanged)) return "a refusal drew from the generator";
    if (std::string broken = checkName(s.player1Name, in.player1Name); !broken.empty()) return broken;
    return checkName(s.player2Name, in.player2Name);
  }

  const bool chaotic = in.chaoticRack;
  if (s.rackSize % 2 != 0 || s.rackSize < (chaotic ? 1 : 2) || s.rackSize > (chaotic ? 100 : 16)) {
    return "accepted a rack of " + std::to_string(s.rackSize);
  }
  if (!(s.arenaHalfSize > 0.0f && s.arenaHalfSize <= maxArenaHalfSize)) return "accepted an arena out of range";
  if (s.roundsPerMatch <= 0) return "accepted a number of rounds below 1";
  if (s.preSimulation != 1) return "pre-simulation is not set";
  const int32_t flags[] = {s.player1Computer, s.player2Computer,       s.chaoticRack,
                           s.multiplierEnabled, s.winnerStartsNextRound, s.randomStart};
  const bool boxes[] = {in.player1Computer, in.player2Computer,       in.chaoticRack,
                        in.multiplierEnabled, in.winnerStartsNextRound, in.randomStart};
  for (size_t i = 0; i < std::size(flags); ++i) {
    if (flags[i] != (boxes[i] ? 1 : 0)) return "check box " + std::to_string(i) + " not stored as 0 or 1";
  }
  const DifficultyLevel& level = difficultyLevels[static_cast<size_t>(std::clamp(in.difficulty, 0, 4))];
  if (s.aimError != level.aimError) return "the aim error is not the level's";
  for (const auto& [isComputer, stored, typed] : {std::tuple(in.player1Computer, &s.player1Name, &in.player1Name),
                                                  std::tuple(in.player2Computer, &s.player2Name, &in.player2Name)}) {
    if (isComputer && *stored != level.name) return "a computer player without the level's name";
    if (!isComputer) {
      if (std::string broken = checkName(*stored, *typed); !broken.empty()) return broken;
    }
  }
  if (out.currentPlayer != 0 && out.currentPlayer != 1) return "no such first player";
  Random drawnOnce(c.seed);
  if (in.randomStart) drawnOnce.next();
  if (!(random == drawnOnce)) return "the start was not drawn exactly once when asked for";
  if (!in.randomStart && out.currentPlayer != 0) return "player 2 starts without a draw";
  return "";
}

}  // namespace morvane::fuzz
