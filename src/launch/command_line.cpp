#include "launch/command_line.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>
#include <optional>
#include <string_view>
#include <system_error>

#include "morvane/build_info.h"
#include "rules/match_settings.h"

namespace morvane {
namespace {

// The argument as typed, with control bytes shown as \xNN so that an escape sequence given as
// an argument cannot act on the player's terminal when it is echoed back.
std::string printable(const std::string& argument) {
  static constexpr char hexDigits[] = "0123456789abcdef";
  std::string shown;
  for (const char c : argument) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7f) {
      shown += "\\x";
      shown += hexDigits[byte >> 4];
      shown += hexDigits[byte & 0xf];
    } else {
      shown += c;
    }
  }
  return shown;
}

// Quoted, so that an empty argument still shows that one was given.
std::string quoted(const std::string& text) { return std::string("'").append(printable(text)).append("'"); }

// The check boxes: "--name" checks one, "--no-name" clears it.
struct CheckBoxOption {
  std::string_view name;
  bool DialogInput::*field;
};
constexpr std::array<CheckBoxOption, 6> checkBoxOptions = {{
    {"computer1", &DialogInput::player1Computer},
    {"computer2", &DialogInput::player2Computer},
    {"chaotic", &DialogInput::chaoticRack},
    {"multiplier", &DialogInput::multiplierEnabled},
    {"winner-starts", &DialogInput::winnerStartsNextRound},
    {"random-start", &DialogInput::randomStart},
}};

// The edits. A number must be what its edit could hold as one: digits only, within int32; the
// OK processing then judges it (a rack of 99 gets the dialog's own refusal, not ours).
struct EditOption {
  std::string_view name;
  std::string DialogInput::*field;
  bool wholeNumber;
};
constexpr std::array<EditOption, 7> editOptions = {{
    {"record", nullptr, false},
    {"replay", nullptr, false},
    {"player1", &DialogInput::player1Name, false},
    {"player2", &DialogInput::player2Name, false},
    {"arena", &DialogInput::arenaSize, true},
    {"rack", &DialogInput::rack, true},
    {"rounds", &DialogInput::rounds, true},
}};

constexpr std::array<std::string_view, 4> switchOptions = {"help", "version", "stats", "no-dialog"};

bool isWholeNumber(std::string_view text) {
  int32_t value = 0;
  const char* const end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, value);
  return !text.starts_with('-') && error == std::errc() && stop == end;
}

char lowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// The level's number 0..4 or its name in any case.
std::optional<int> levelNamed(std::string_view text) {
  if (text.size() == 1 && text[0] >= '0' && text[0] < '0' + difficultyLevelCount) return text[0] - '0';
  for (int level = 0; level < difficultyLevelCount; ++level) {
    const std::string_view name = difficultyLevels[static_cast<std::size_t>(level)].name;
    if (name.size() == text.size() &&
        std::equal(name.begin(), name.end(), text.begin(), [](char a, char b) { return lowerAscii(a) == lowerAscii(b); })) {
      return level;
    }
  }
  return std::nullopt;
}

LaunchDecision refuse(const std::string& reason) {
  LaunchDecision refused;
  refused.exitCode = 2;
  refused.standardError = "morvane: " + reason + "\nTry 'morvane --help' for more information.\n";
  return refused;
}

}  // namespace

std::string usageText() {
  std::string text =
      "Usage: morvane [OPTION]...\n"
      "\n"
      "Morvane is a 3-D billiards game played inside a closed cube without gravity.\n"
      "It opens its settings dialog, then the game full screen. The settings options\n"
      "fill the dialog's fields; a match's end starts the game again with the same\n"
      "options (less --no-dialog).\n"
      "\n"
      "Settings:\n"
      "  --player1 NAME, --player2 NAME   the players' names\n"
      "  --computer1, --computer2         the computer plays player 1 / player 2\n"
      "  --level LEVEL        the computer's level: 0-4 or Trainee, Rookie, Moderatus,\n"
      "                       \"The expert\", \"THE CHAMPION\" (any case)\n"
      "  --arena N            the arena's edge length (\"Térméret\", 1000)\n"
      "  --rack N             the rack (\"Lerakat\": diamond 1-8, chaotic 1-50; 5)\n"
      "  --chaotic            balls and pockets scattered at random\n"
      "  --rounds N           rounds in a match (\"Körök száma\", 5)\n"
      "  --multiplier         pocketing streaks multiply the points\n"
      "  --winner-starts      the round's winner starts the next round\n"
      "  --random-start       a random player starts (on by default)\n"
      "  --no-X               clears the check box X, e.g. --no-random-start\n"
      "  --no-dialog          start the match at once; settings the dialog would refuse\n"
      "                       are refused on stderr with exit code 2\n"
      "A value follows its option or an '=': --rack 8 or --rack=8.\n"
      "Example: morvane --player1 Anna --computer2 --level Rookie --rack 8 --no-dialog\n"
      "\n"
      "Recordings:\n"
      "  --record FILE   write the match to FILE, which must not exist yet; the next\n"
      "                  match goes to FILE.2, then FILE.3 ...\n"
      "  --replay FILE   play a recorded match back (no dialog); says whether the world\n"
      "                  ends as recorded and exits 0 if it does, 1 if not, 2 for a file\n"
      "                  that is not a readable recording\n"
      "\n"
      "Other options:\n"
      "  --stats    once a second, print on stderr the ticks run, the frames drawn and\n"
      "             dropped and the longest frame, e.g.\n"
      "             stats: ticks=64 frames=20 dropped=0 longest_frame_ms=17.4\n"
      "  --help     print this help and exit\n"
      "  --version  print the version and exit\n"
      "\n"
      "Data: walltex.bmp, clickb.wav, clickbb.wav, clicke.wav, hit.wav and pocket.wav\n"
      "are read from the working directory. The game stays in the current directory\n"
      "if it holds walltex.bmp; otherwise it moves to its installed data directory\n"
      "(";
  text += installedDataFromExecutable;
  text +=
      " from the executable's directory) or, run from its build\n"
      "tree, to the source tree's assets/.\n"
      "\n"
      "Without a sound device the game stops at start;\n"
      "SDL_AUDIODRIVER=dummy morvane plays without sound.\n";
  return text;
}

std::string nextRecordingPath(const std::string& path) {
  const std::size_t dot = path.find_last_of("./");
  const std::string_view count = dot == std::string::npos || path[dot] != '.' ? "" : std::string_view(path).substr(dot + 1);
  int32_t n = 0;
  if (isWholeNumber(count) && count[0] != '0' && std::from_chars(count.data(), count.data() + count.size(), n).ec == std::errc() && n < INT32_MAX) {
    return path.substr(0, dot + 1) + std::to_string(n + 1);
  }
  return path + ".2";
}

std::string versionText() { return std::string("morvane ") + morvaneVersion + "\n"; }

LaunchDecision decideLaunch(const std::vector<std::string>& arguments, const std::string& workingDirectory) {
  LaunchDecision decision;
  std::string answer;  // the first of "help" and "version"
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    const std::string shown = quoted(argument);
    if (!argument.starts_with("--") || argument.size() == 2) return refuse("unknown argument " + shown);
    const std::size_t equals = argument.find('=');
    const std::string name = argument.substr(2, equals == std::string::npos ? std::string::npos : equals - 2);
    const std::string option = std::string("option ") + quoted("--" + name);
    const std::optional<std::string> attached =
        equals == std::string::npos ? std::nullopt : std::optional(argument.substr(equals + 1));

    const auto checkBox = std::find_if(checkBoxOptions.begin(), checkBoxOptions.end(), [&](const CheckBoxOption& o) {
      return o.name == name || std::string("no-").append(o.name) == name;
    });
    const auto edit = std::find_if(editOptions.begin(), editOptions.end(), [&](const EditOption& o) { return o.name == name; });
    const bool isSwitch = std::find(switchOptions.begin(), switchOptions.end(), name) != switchOptions.end();
    if (isSwitch || checkBox != checkBoxOptions.end()) {
      if (attached) return refuse(option + " takes no value");
      if (name == "help" || name == "version") {
        if (answer.empty()) answer = name;
      } else if (name == "stats") {
        decision.stats = true;
      } else if (name == "no-dialog") {
        decision.noDialog = true;
      } else {
        decision.dialog.*(checkBox->field) = !name.starts_with("no-");
      }
      if (name != "no-dialog") decision.rematchArguments.push_back(argument);
      continue;
    }
    if (edit == editOptions.end() && name != "level") return refuse("unknown argument " + shown);

    if (!attached && i + 1 == arguments.size()) return refuse(option + " needs a value");
    const std::string value = attached ? *attached : arguments[++i];
    if (name == "level") {
      const std::optional<int> level = levelNamed(value);
      if (!level) return refuse(option + ": " + quoted(value) + " is not a level (0-4 or a level's name)");
      decision.dialog.difficulty = *level;
    } else if (edit->field == nullptr) {
      if (value.empty()) return refuse(option + " needs a file name");
      (name == "record" ? decision.recordPath : decision.replayPath) = value;
      if (name == "record") {
        const bool relative = !value.starts_with('/') && !workingDirectory.empty();
        const std::string absolute = relative ? workingDirectory + (workingDirectory.ends_with('/') ? "" : "/") + value : value;
        decision.rematchArguments.insert(decision.rematchArguments.end(), {"--record", nextRecordingPath(absolute)});
        continue;
      }
    } else {
      if (edit->wholeNumber && !isWholeNumber(value)) {
        return refuse(option + ": " + quoted(value) + " is not a whole number from 0 to 2147483647");
      }
      decision.dialog.*(edit->field) = value;
    }
    decision.rematchArguments.insert(decision.rematchArguments.end(), {"--" + name, value});
  }
  if (!decision.recordPath.empty() && !decision.replayPath.empty()) {
    return refuse("options '--record' and '--replay' do not go together");
  }
  if (answer.empty()) {
    decision.play = true;
  } else {
    decision.standardOutput = answer == "help" ? usageText() : versionText();
  }
  return decision;
}

}  // namespace morvane
