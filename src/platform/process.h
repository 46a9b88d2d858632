#pragma once
// The running process: where its data is, and starting the game anew after a match.
#include <string>
#include <vector>

namespace morvane {

// The running executable's path with symbolic links resolved; empty when it cannot be read.
std::string runningExecutablePath();

// Makes the directory holding the game's data the working directory (see
// chooseDataDirectory); stays in the current one when that holds the data or nothing does.
// Says on stderr when the chosen directory cannot be entered.
void enterDataDirectory();

// Replaces this process with a fresh copy of the running executable, given these arguments,
// in the same working directory. Returns only if that failed, with the reason on stderr.
void restartSelf(const std::vector<std::string>& arguments);

}  // namespace morvane
