#pragma once
// Starting the game anew after a match.

namespace morvane {

// Replaces this process with a fresh copy of the running executable, in the same working
// directory. Returns only if that failed, with the reason on stderr.
void restartSelf();

}  // namespace morvane
