#include "replay/recording.h"

#include <bit>
#include <cstdint>
#include <charconv>
#include <system_error>

#include "io/whole_file.h"

namespace morvane {
namespace {

constexpr std::string_view magic = "morvane-recording";
constexpr int keyCount = static_cast<int>(GameKey::e) + 1;
constexpr int buttonCount = static_cast<int>(MouseButton::other) + 1;

std::string hexBytes(const std::string& bytes) {
  if (bytes.empty()) return "-";
  static constexpr char digits[] = "0123456789abcdef";
  std::string hex;
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    hex += digits[byte >> 4];
    hex += digits[byte & 0xf];
  }
  return hex;
}

std::string number(uint64_t value, int base = 10) {
  char text[24];
  return std::string(text, std::to_chars(text, text + sizeof text, value, base).ptr);
}

// Reads one line's fields, strictly: single spaces between them, nothing else.
class LineReader {
 public:
  explicit LineReader(std::string_view line) : line_(line) {}
  std::optional<std::string_view> word() {
    if (at_ > line_.size()) return std::nullopt;
    const std::size_t space = line_.find(' ', at_);
    const std::size_t end = space == std::string_view::npos ? line_.size() : space;
    const std::string_view word = line_.substr(at_, end - at_);
    at_ = end + 1;
    if (word.empty()) return std::nullopt;
    return word;
  }
  template <typename T>
  std::optional<T> integer(T low, T high, int base = 10) {
    const std::optional<std::string_view> text = word();
    if (!text) return std::nullopt;
    T value{};
    const auto [end, error] = std::from_chars(text->data(), text->data() + text->size(), value, base);
    if (error != std::errc() || end != text->data() + text->size() || value < low || value > high) return std::nullopt;
    return value;
  }
  std::optional<float> bitsOfFloat() {
    const std::optional<uint32_t> bits = integer<uint32_t>(0, UINT32_MAX, 16);
    if (!bits) return std::nullopt;
    return std::bit_cast<float>(*bits);
  }
  std::optional<std::string> bytes() {
    const std::optional<std::string_view> hex = word();
    if (!hex) return std::nullopt;
    if (*hex == "-") return std::string();
    if (hex->size() % 2 != 0) return std::nullopt;
    std::string bytes;
    for (std::size_t i = 0; i < hex->size(); i += 2) {
      uint8_t byte = 0;
      const auto [end, error] = std::from_chars(hex->data() + i, hex->data() + i + 2, byte, 16);
      if (error != std::errc() || end != hex->data() + i + 2) return std::nullopt;
      bytes.push_back(static_cast<char>(byte));
    }
    return bytes;
  }
  bool done() const { return at_ > line_.size(); }

 private:
  std::string_view line_;
  std::size_t at_ = 0;
};

std::optional<bool> downOrUp(LineReader& fields) {
  const std::optional<std::string_view> word = fields.word();
  if (word == "down") return true;
  if (word == "up") return false;
  return std::nullopt;
}

// One input or tick line into a step; false when the line is not one.
bool readStep(std::string_view kind, LineReader& fields, RecordedStep& step) {
  if (kind == "tick") {
    const auto nowMs = fields.integer<uint32_t>(0, UINT32_MAX);
    const auto hash = fields.integer<uint64_t>(0, UINT64_MAX, 16);
    if (!nowMs || !hash) return false;
    step.isTick = true, step.nowMs = *nowMs, step.worldHash = *hash;
  } else if (kind == "key" || kind == "button") {
    const std::optional<bool> down = downOrUp(fields);
    const auto index = fields.integer<int>(0, kind == "key" ? keyCount - 1 : buttonCount - 1);
    if (!down || !index) return false;
    if (kind == "key") {
      step.event.kind = *down ? EventKind::keyDown : EventKind::keyUp;
      step.event.key = static_cast<GameKey>(*index);
    } else {
      step.event.kind = *down ? EventKind::buttonDown : EventKind::buttonUp;
      step.event.button = static_cast<MouseButton>(*index);
    }
  } else if (kind == "motion") {
    const auto x = fields.integer<int>(-1'000'000, 1'000'000), y = fields.integer<int>(-1'000'000, 1'000'000);
    const auto modifiers = fields.integer<int>(0, 7);
    const auto width = fields.integer<int>(1, 1'000'000), height = fields.integer<int>(1, 1'000'000);
    if (!x || !y || !modifiers || !width || !height) return false;
    step.event.kind = EventKind::motion;
    step.event.motion = MouseMotion{*x, *y, (*modifiers & 1) != 0, (*modifiers & 2) != 0, (*modifiers & 4) != 0};
    step.clientWidth = *width, step.clientHeight = *height;
  } else {
    return false;
  }
  return fields.done();
}

}  // namespace

std::string recordingHeader(const MatchSettings& s, int32_t firstPlayer, uint32_t generatorState) {
  std::string text = std::string(magic) + " " + number(recordingVersion) + "\nsettings";
  const auto bits = [](float value) { return number(std::bit_cast<uint32_t>(value), 16); };
  for (const std::string& field :
       {bits(s.arenaHalfSize), number(static_cast<uint32_t>(s.roundsPerMatch)), bits(s.aimError), number(static_cast<uint32_t>(s.rackSize)),
        number(s.player1Computer != 0), number(s.player2Computer != 0), number(s.chaoticRack != 0), number(s.preSimulation != 0),
        number(s.multiplierEnabled != 0), number(s.winnerStartsNextRound != 0), number(s.randomStart != 0)}) {
    text += " " + field;
  }
  text += "\nnames " + hexBytes(s.player1Name) + " " + hexBytes(s.player2Name);
  text += "\nstart " + number(firstPlayer != 0) + " " + number(generatorState) + "\n";
  return text;
}

std::string recordedEventLine(const InputEvent& event, int clientWidth, int clientHeight) {
  switch (event.kind) {
    case EventKind::keyDown:
    case EventKind::keyUp:
      return std::string("key ") + (event.kind == EventKind::keyDown ? "down " : "up ") +
             number(static_cast<uint32_t>(event.key)) + "\n";
    case EventKind::buttonDown:
    case EventKind::buttonUp:
      return std::string("button ") + (event.kind == EventKind::buttonDown ? "down " : "up ") +
             number(static_cast<uint32_t>(event.button)) + "\n";
    case EventKind::motion: {
      const MouseMotion& m = event.motion;
      const int modifiers = (m.ctrl ? 1 : 0) | (m.shift ? 2 : 0) | (m.anyButton ? 4 : 0);
      return "motion " + std::to_string(m.x) + " " + std::to_string(m.y) + " " + std::to_string(modifiers) + " " +
             std::to_string(clientWidth) + " " + std::to_string(clientHeight) + "\n";
    }
    case EventKind::quit:
    case EventKind::other: break;
  }
  return "";
}

std::string recordedTickLine(uint32_t nowMs, uint64_t worldHash) {
  return "tick " + number(nowMs) + " " + number(worldHash, 16) + "\n";
}

std::string recordingEndLine(uint64_t ticks) { return "end " + number(ticks) + "\n"; }

ParsedRecording parseRecording(std::string_view text) {
  const auto fail = [](std::size_t line, const std::string& why) {
    return ParsedRecording{std::nullopt, "line " + std::to_string(line) + ": " + why};
  };
  if (!text.starts_with(magic)) return {std::nullopt, "not a Morvane recording"};
  Recording recording;
  bool ended = false;
  uint32_t lastTickMs = 0;
  std::size_t lineNumber = 0;
  for (std::size_t at = 0; at < text.size();) {
    ++lineNumber;
    const std::size_t newline = text.find('\n', at);
    if (newline == std::string_view::npos) return fail(lineNumber, "cut off (the recording is truncated)");
    LineReader fields(text.substr(at, newline - at));
    at = newline + 1;
    const std::string_view kind = fields.word().value_or("");
    if (ended) return fail(lineNumber, "more after the end");
    if (lineNumber == 1) {
      const auto version = fields.integer<int>(1, INT32_MAX);
      if (kind != magic || !version || !fields.done()) return fail(lineNumber, "not a Morvane recording");
      if (*version > recordingVersion) {
        return fail(lineNumber, "made by a newer Morvane (format " + std::to_string(*version) + ", this one reads " +
                                    std::to_string(recordingVersion) + ")");
      }
    } else if (lineNumber == 2) {
      MatchSettings& s = recording.settings;
      const auto arena = fields.bitsOfFloat();
      const auto rounds = fields.integer<int32_t>(1, INT32_MAX);
      const auto aimError = fields.bitsOfFloat();
      const auto rack = fields.integer<int32_t>(1, 100);
      int32_t* flags[] = {&s.player1Computer, &s.player2Computer, &s.chaoticRack, &s.preSimulation,
                          &s.multiplierEnabled, &s.winnerStartsNextRound, &s.randomStart};
      bool flagsRead = true;
      for (int32_t* flag : flags) {
        const auto value = fields.integer<int32_t>(0, 1);
        flagsRead = flagsRead && value.has_value();
        *flag = value.value_or(0);
      }
      // The dialog's own limits: anything else could lay out a round that never ends.
      if (kind != "settings" || !arena || !(*arena > 0.0f && *arena <= 1.0e6f) || !rounds || !aimError ||
          !(*aimError >= 0.0f && *aimError < 1.0f) || !rack || !flagsRead || !fields.done()) {
        return fail(lineNumber, "bad settings");
      }
      s.arenaHalfSize = *arena, s.roundsPerMatch = *rounds, s.aimError = *aimError, s.rackSize = *rack;
    } else if (lineNumber == 3) {
      auto one = fields.bytes();
      auto two = fields.bytes();
      if (kind != "names" || !one || !two || !fields.done()) return fail(lineNumber, "bad names");
      recording.settings.player1Name = std::move(*one);
      recording.settings.player2Name = std::move(*two);
    } else if (lineNumber == 4) {
      const auto first = fields.integer<int32_t>(0, 1);
      const auto state = fields.integer<uint32_t>(0, UINT32_MAX);
      if (kind != "start" || !first || !state || !fields.done()) return fail(lineNumber, "bad start");
      recording.firstPlayer = *first, recording.generatorState = *state;
    } else if (kind == "end") {
      const auto ticks = fields.integer<uint64_t>(0, UINT64_MAX);
      if (!ticks || !fields.done() || *ticks != recording.ticks) return fail(lineNumber, "the end does not match the ticks");
      ended = true;
    } else {
      RecordedStep step;
      if (!readStep(kind, fields, step)) return fail(lineNumber, "not an input or a tick");
      if (step.isTick) {
        if (recording.ticks > 0 && step.nowMs < lastTickMs) return fail(lineNumber, "a tick goes back in time");
        lastTickMs = step.nowMs;
        ++recording.ticks;
      }
      recording.steps.push_back(step);
    }
  }
  if (!ended) return fail(lineNumber + 1, "no end (the recording is truncated)");
  return {std::move(recording), ""};
}

ParsedRecording readRecordingFile(const std::string& path) {
  std::vector<uint8_t> bytes;
  const std::string named = "the recording '" + path + "' ";
  switch (readWholeFile(path, maxRecordingBytes, bytes).status) {
    case WholeFileStatus::ok: break;
    case WholeFileStatus::notFound: return {std::nullopt, named + "cannot be opened as a regular file"};
    case WholeFileStatus::tooLarge: return {std::nullopt, named + "is too large (over 64 MiB)"};
    case WholeFileStatus::unreadable: return {std::nullopt, named + "cannot be read"};
  }
  ParsedRecording parsed = parseRecording({reinterpret_cast<const char*>(bytes.data()), bytes.size()});
  if (!parsed.recording) parsed.error = named + "is refused: " + parsed.error;
  return parsed;
}

}  // namespace morvane
