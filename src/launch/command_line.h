#pragma once
// The command line: --help and --version answer and stop; --stats plays and reports the rate;
// anything else unknown is refused; no argument at all starts the game.
#include <string>
#include <vector>

namespace morvane {

// What main() does with the arguments: play, or print the texts and exit with the code.
struct LaunchDecision {
  bool play = false;
  bool stats = false;  // --stats: a line a second on stderr about ticks and frames
  int exitCode = 0;
  std::string standardOutput;
  std::string standardError;
};

// Decides on the arguments after the program name. An unknown argument anywhere is refused
// (exit 2, its name and the usage on stderr); otherwise the first of --help and --version
// answers (exit 0, on stdout).
LaunchDecision decideLaunch(const std::vector<std::string>& arguments);

// The usage text: what the game is, the options, where its data is looked for, playing
// without a sound device.
std::string usageText();

// "morvane <version>" and a newline.
std::string versionText();

}  // namespace morvane
