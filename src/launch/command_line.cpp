#include "launch/command_line.h"

#include "morvane/build_info.h"

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

}  // namespace

std::string usageText() {
  std::string text =
      "Usage: morvane [--stats] | --help | --version\n"
      "\n"
      "Morvane is a 3-D billiards game played inside a closed cube without gravity.\n"
      "With no argument it opens its settings dialog, then the game full screen.\n"
      "\n"
      "Options:\n"
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

std::string versionText() { return std::string("morvane ") + morvaneVersion + "\n"; }

LaunchDecision decideLaunch(const std::vector<std::string>& arguments) {
  LaunchDecision decision;
  const std::string* answer = nullptr;
  for (const std::string& argument : arguments) {
    if (argument == "--help" || argument == "--version") {
      if (answer == nullptr) answer = &argument;
      continue;
    }
    if (argument == "--stats") {
      decision.stats = true;
      continue;
    }
    // Quoted, so that an empty argument still shows that one was given.
    LaunchDecision refused;
    refused.exitCode = 2;
    refused.standardError = "morvane: unknown argument '" + printable(argument) + "'\n" + usageText();
    return refused;
  }
  if (answer == nullptr) {
    decision.play = true;
  } else {
    decision.standardOutput = *answer == "--help" ? usageText() : versionText();
  }
  return decision;
}

}  // namespace morvane
