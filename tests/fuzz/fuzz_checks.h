#pragma once
// What must hold for any input to the four byte-level entry points: the BMP decoder, the WAV
// parser and converter, the settings dialog's OK processing and the UTF-8 converter. The
// libFuzzer harness (fuzz_target.cpp) stops on the first broken rule; the corpus replay test runs
// the same checks over the committed corpus in every build.
#include <algorithm>
#include <iterator>
#include <map>

#include "graphics/bmp_image.h"
#include "launch/command_line.h"
#include "replay/recording.h"
#include "settings/ok_processing.h"
#include "sound/wav_reader.h"
#include "text/cp1250.h"

namespace morvane::fuzz {

using Bytes = std::span<const uint8_t>;

// What broke ("" when every rule held) and whether the input was accepted: an image, a clip,
// settings, or a text converted without a '?'.
struct Verdict { std::string broken; bool accepted = false; };

// The name the checked code is given; every refusal must show it.
inline const std::string fileName = "fuzz.file";

// The code points of well-formed UTF-8, read by the table of well-formed byte sequences (the
// second byte's range depends on the lead byte) rather than by bit patterns, so it is a reading
// independent of the converter's.
inline std::optional<std::u32string> wellFormedUtf8(std::string_view text) {
  std::u32string codePoints;
  for (size_t i = 0; i < text.size();) {
    const auto lead = static_cast<uint8_t>(text[i]);
    const size_t length = lead < 0x80 ? 1 : lead < 0xC2 ? 0 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : lead < 0xF5 ? 4 : 0;
    if (length == 0 || text.size() - i < length) return std::nullopt;
    const uint8_t secondLow = lead == 0xE0 ? 0xA0 : lead == 0xF0 ? 0x90 : 0x80;
    const uint8_t secondHigh = lead == 0xED ? 0x9F : lead == 0xF4 ? 0x8F : 0xBF;
    char32_t codePoint = length == 1 ? lead : lead & (0x7F >> length);
    for (size_t k = 1; k < length; ++k) {
      const auto byte = static_cast<uint8_t>(text[i + k]);
      if (byte < (k == 1 ? secondLow : 0x80) || byte > (k == 1 ? secondHigh : 0xBF)) return std::nullopt;
      codePoint = (codePoint << 6) | (byte & 0x3F);
    }
    codePoints.push_back(codePoint);
    i += length;
  }
  return codePoints;
}

// UTF-8 to Windows-1250: each well-formed character becomes its code-page byte (the table read
// backwards) or '?', malformed input gets a '?', and whatever comes out survives the way to the
// screen and back.
inline Verdict checkCp1250(Bytes bytes) {
  static const std::map<char32_t, char> codePageByte = [] {
    std::map<char32_t, char> table;
    for (int b = 255; b > 0; --b) table[cp1250CodePoint(static_cast<unsigned char>(b))] = static_cast<char>(b);
    table.erase(0xFFFD);
    return table;
  }();
  const std::string_view input(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  const std::string out = toCp1250(input);
  const auto codePoints = wellFormedUtf8(input);
  if (out.find('\0') != std::string::npos || out.size() > input.size()) return {"a NUL byte or more bytes out than in"};
  if (toCp1250(cp1250ToUtf8(out)) != out) return {"the converted text does not round-trip"};
  if (!codePoints && out.find('?') == std::string::npos) return {"malformed input converted without a '?'"};
  if (codePoints && out.size() != codePoints->size()) return {"well-formed input: not one byte per character"};
  for (size_t i = 0; codePoints && i < out.size(); ++i) {
    const auto found = codePageByte.find((*codePoints)[i]);
    if (out[i] != (found == codePageByte.end() ? '?' : found->second)) return {"a character converted wrongly"};
  }
  return {"", out.find('?') == std::string::npos};
}

// The BMP decoder: width x height RGBA pixels within the cap, black and only black see-through;
// or a refusal that names the file and carries no image.
inline Verdict checkBmp(Bytes bytes) {
  const BmpResult r = decodeBmp(bytes, fileName);
  const RgbaImage& image = r.image;
  const bool named = r.errorUtf8.find(fileName) != std::string::npos;
  if (!r.ok) return {named && image.pixels.empty() ? "" : "a refusal unnamed or with pixels"};
  const int64_t pixels = int64_t{image.width} * image.height;
  if (!r.errorUtf8.empty() || std::min(image.width, image.height) <= 0 || pixels > maxBmpPixels) return {"bad size"};
  if (image.pixels.size() != static_cast<size_t>(pixels) * 4) return {"not width x height pixels"};
  for (size_t i = 0; i < image.pixels.size(); i += 4) {
    const bool black = (image.pixels[i] | image.pixels[i + 1] | image.pixels[i + 2]) == 0;
    if (image.pixels[i + 3] != (black ? 0 : 255)) return {"alpha is not 0 for black and 255 else"};
  }
  return {"", true};
}

// The WAV parser: a refusal names the file and keeps no samples, a parsed clip has whole frames
// from within the file.
inline Verdict checkWav(Bytes bytes) {
  WavFile wav;
  if (const auto failed = parseWav(bytes, fileName, wav)) {
    return {failed->message.find(fileName) != std::string::npos && wav.samples.empty() ? "" : "a bad refusal"};
  }
  const PcmFormat& f = wav.format;
  // The smallest header before the samples: RIFF, a 16-byte "fmt " chunk and the "data" header.
  if (wav.samples.size() % f.blockAlign != 0 || wav.samples.size() + 44 > bytes.size()) return {"bad samples"};
  // Converted for a device rate below and one above the usual clip rates: stereo, as many frames
  // as the rate asks (at least one), or refused when that is longer than the cap.
  for (const uint64_t rate : {8000u, 48000u}) {
    Clip clip;
    const uint64_t inFrames = wav.samples.size() / f.blockAlign;
    const uint64_t frames = std::max<uint64_t>(inFrames * rate / f.sampleRate, inFrames > 0 ? 1 : 0);
    const bool refused = convertForDevice(wav, static_cast<uint32_t>(rate), fileName, clip).has_value();
    if (refused != (frames > maxClipSeconds * rate) || (!refused && clip.samples.size() != frames * 2)) {
      return {"converted wrongly at " + std::to_string(rate) + " Hz"};
    }
  }
  return {"", true};
}

// Fuzz bytes as the dialog's controls: a byte of check boxes (bit 0 player 1 computer, 1 player 2
// computer, 2 chaotic, 3 multiplier, 4 winner starts, 5 random start), the difficulty as a
// signed byte, four bytes of generator seed, then the two names, the arena, the rack and the
// rounds, each as a length byte and that many bytes (fewer if the input ends).
// A refusal leaves the generator alone; accepted settings are
// ones the game can run with, and the start is drawn once exactly when asked for.
inline Verdict checkOkProcessing(Bytes bytes) {
  size_t at = 0;
  auto next = [&]() -> uint8_t { return at < bytes.size() ? bytes[at++] : 0; };
  DialogInput in;
  const uint8_t boxes = next();
  bool* flags[] = {&in.player1Computer, &in.player2Computer,       &in.chaoticRack,
                   &in.multiplierEnabled, &in.winnerStartsNextRound, &in.randomStart};
  for (size_t bit = 0; bit < std::size(flags); ++bit) *flags[bit] = (boxes >> bit & 1) != 0;
  in.difficulty = static_cast<int8_t>(next());
  uint32_t seed = 0;
  for (int i = 0; i < 4; ++i) seed |= uint32_t{next()} << (8 * i);
  for (std::string* field : {&in.player1Name, &in.player2Name, &in.arenaSize, &in.rack, &in.rounds}) {
    // The length byte first: what remains is counted after it has been taken.
    for (size_t length = next(); length > 0 && at < bytes.size(); --length) field->push_back(static_cast<char>(next()));
  }
  Random random(seed), drawn(seed);
  const OkOutcome out = processOk(in, random);
  const MatchSettings& s = out.settings;
  if (!out.accepted()) return {random == drawn ? "" : "a refusal drew from the generator"};
  const bool rackOk =
      s.rackSize % 2 == 0 && s.rackSize >= (in.chaoticRack ? 1 : 2) && s.rackSize <= (in.chaoticRack ? 100 : 16);
  if (!rackOk || !(s.arenaHalfSize > 0.0f && s.arenaHalfSize <= maxArenaHalfSize) || s.roundsPerMatch <= 0) {
    return {"accepted a bad rack, arena or number of rounds"};
  }
  if (in.randomStart) drawn.next();  // drawn once exactly when asked for; player 2 never starts without it
  if (!(random == drawn) || out.currentPlayer < 0 || out.currentPlayer > (in.randomStart ? 1 : 0)) return {"a bad start"};
  return {"", true};
}

// The arguments are the input split at zero bytes. Whatever they are, nothing echoed holds a
// control byte but the line ends, and a rematch's arguments ask for the same dialog again.
inline Verdict checkCommandLine(Bytes bytes) {
  std::vector<std::string> args(bytes.empty() ? 0 : 1);
  for (const uint8_t b : bytes) {
    if (b == 0) args.emplace_back();
    else args.back().push_back(static_cast<char>(b));
  }
  const LaunchDecision d = decideLaunch(args);
  if (std::any_of(d.standardError.begin(), d.standardError.end(), [](char c) { return (c >= 0 && c < 0x20 && c != '\n') || c == 0x7f; })) {
    return {"a control byte echoed"};
  }
  if (d.play && !(decideLaunch(d.rematchArguments).dialog == d.dialog)) return {"the rematch asks for something else"};
  return {"", d.play};
}

// A recording is refused with a reason or read whole; one read whole, written back with the
// recorder's own lines, reads back to the same text.
inline Verdict checkRecording(Bytes bytes) {
  const ParsedRecording parsed = parseRecording({reinterpret_cast<const char*>(bytes.data()), bytes.size()});
  if (!parsed.recording) return {parsed.error.empty() ? "a refusal without a reason" : ""};
  const auto written = [](const Recording& r) {
    std::string text = recordingHeader(r.settings, r.firstPlayer, r.generatorState);
    for (const RecordedStep& s : r.steps) {
      text += s.isTick ? recordedTickLine(s.nowMs, s.worldHash) : recordedEventLine(s.event, s.clientWidth, s.clientHeight);
    }
    return text + recordingEndLine(r.ticks);
  };
  const std::string once = written(*parsed.recording);
  const ParsedRecording again = parseRecording(once);
  if (!again.recording || written(*again.recording) != once) return {"written back, it reads otherwise: " + again.error};
  return {"", true};
}

}  // namespace morvane::fuzz
