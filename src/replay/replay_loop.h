#pragma once
// The windowed replay: the recording's steps in real time. Each tick runs when the counter has
// advanced from the replay's start as far as it had from the recording's first tick; inputs
// come from the recording; frames are offered between. Live input is ignored but for closing
// the window.
#include "game/main_loop.h"
#include "replay/replayer.h"

namespace morvane {

// Until the recording ends (true) or the window is closed (false).
bool runReplayLoop(Game& game, Replayer& replayer, LoopPlatform& platform, FrameDrawer& drawer);

}  // namespace morvane
