#pragma once
// A match as it was played: the settings, the generator's state at the start, and in order every
// input the game was handed and every tick, with the tick counter's value and the world's hash
// after it. Kept as text, one record a line, so that a recording reads in a diff and a damaged
// one is refused exactly:
//
//   morvane-recording 1
//   settings <arena half> <rounds> <aim error> <rack> <computer 1> <computer 2> <chaotic>
//            <pre-simulation> <multiplier> <winner starts> <random start>   (floats as bit patterns)
//   names <player 1> <player 2>        Windows-1250 bytes in hex, "-" for an empty name
//   start <first player> <generator state>
//   key <down|up> <key>  |  button <down|up> <button>  |  motion <x> <y> <modifiers> <width> <height>
//   tick <counter ms> <world hash>     counter values never go backwards
//   end <ticks>                        the number of tick lines; what a complete recording ends with
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "game/main_loop.h"
#include "rules/match_settings.h"

namespace morvane {

constexpr int recordingVersion = 1;
// About ten hours of play; anything larger is not ours.
constexpr std::size_t maxRecordingBytes = std::size_t{64} << 20;

struct RecordedStep {
  bool isTick = false;
  InputEvent event;  // when not a tick: a key, a button or a motion
  int clientWidth = 0, clientHeight = 0;  // what a motion was measured against
  uint32_t nowMs = 0;                     // when a tick: the counter's value
  uint64_t worldHash = 0;                 // when a tick: the world after it
};

struct Recording {
  MatchSettings settings;
  int32_t firstPlayer = 0;
  uint32_t generatorState = 0;  // the generator as the match started, after the dialog's draw
  std::vector<RecordedStep> steps;
  uint64_t ticks = 0;
};

// The lines a recorder writes, each with its newline.
std::string recordingHeader(const MatchSettings& settings, int32_t firstPlayer, uint32_t generatorState);
std::string recordedEventLine(const InputEvent& event, int clientWidth, int clientHeight);  // "" for an event the game ignores
std::string recordedTickLine(uint32_t nowMs, uint64_t worldHash);
std::string recordingEndLine(uint64_t ticks);

// A recording read back, or why not (one line of English, naming the line at fault).
struct ParsedRecording {
  std::optional<Recording> recording;
  std::string error;
};
ParsedRecording parseRecording(std::string_view text);

// A recording file read whole (through the safe reader) and parsed; the error names the file.
ParsedRecording readRecordingFile(const std::string& path);

}  // namespace morvane
