#pragma once
// The modal settings dialog shown at start, before the game window exists. Its translation unit
// is the only code that includes FLTK; the confirmation itself is processOk (ok_processing.h).
#include <cstdint>

#include "math/random.h"
#include "rules/match_settings.h"
#include "settings/ok_processing.h"

namespace morvane {

enum class DialogExit {
  ok,         // settings and the first player are filled in
  quit,       // "Kilépés", Esc or the window's close button: the caller exits with code 0 at once
  noDisplay,  // no dialog could be shown; the reason is on stderr and the caller exits non-zero
};

// Runs the dialog, its controls filled from start, until OK is accepted or the players leave. The dialog never exits the process
// itself, so the caller decides the ending; on quit and noDisplay the outputs are untouched.
// On ok, firstPlayer is 0 for player 1 and 1 for player 2; random is drawn from only then.
DialogExit runSettingsDialog(Random& random, const DialogInput& start, MatchSettings& settings,
                             int32_t& firstPlayer);

}  // namespace morvane
