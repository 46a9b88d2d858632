#pragma once
// The command line: --help and --version answer and stop; the settings options pre-fill the
// dialog (or, with --no-dialog, stand in for it); --stats plays and reports the rate. Anything
// else is refused, before any window, dialog or sound device opens.
#include <string>
#include <vector>

#include "settings/ok_processing.h"

namespace morvane {

// What main() does with the arguments: play, or print the texts and exit with the code.
struct LaunchDecision {
  bool play = false;
  bool stats = false;     // --stats: a line a second on stderr about ticks and frames
  bool noDialog = false;  // --no-dialog: the OK processing runs on the options, no dialog shows
  DialogInput dialog = defaultDialogInput();  // the dialog's controls as the options set them
  std::string recordPath;  // --record FILE: the match is written there
  std::string replayPath;  // --replay FILE: that recording is played back instead of a match
  std::vector<std::string> rematchArguments;  // what the restart after a match is given
  int exitCode = 0;
  std::string standardOutput;
  std::string standardError;
};

// Decides on the arguments after the program name. Options take GNU forms: "--name VALUE" or
// "--name=VALUE", "--x"/"--no-x" for a check box; a later option overrides an earlier one. An
// unknown argument or a bad value anywhere is refused (exit 2, the reason on stderr); otherwise
// the first of --help and --version answers (exit 0, on stdout).
// A relative --record path is taken from workingDirectory, so that the rematch, which starts in
// the data directory, writes beside the first recording.
LaunchDecision decideLaunch(const std::vector<std::string>& arguments, const std::string& workingDirectory = "");

// The usage text: what the game is, the options, where its data is looked for, playing
// without a sound device.
std::string usageText();

// Where the next match of a recording session goes: "m.rec" -> "m.rec.2" -> "m.rec.3".
std::string nextRecordingPath(const std::string& path);

// "morvane <version>" and a newline.
std::string versionText();

}  // namespace morvane
