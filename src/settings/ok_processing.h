#pragma once
// The settings dialog's OK button as a pure function of what the controls hold, so the whole
// confirmation can be checked without a window. The dialog only gathers the control states,
// calls processOk and either closes or shows the refusal.
#include <cstdint>
#include <optional>
#include <string>

#include "math/random.h"
#include "rules/match_settings.h"

namespace morvane {

// Largest accepted arena half-size ("Térméret" is the full edge, so at most 2 000 000 typed).
// Keeps H finite and 2H well inside the int range random coordinates truncate to; an infinite
// or astronomically large arena would leave the wall tiling and ball placement without meaning.
constexpr float maxArenaHalfSize = 1.0e6f;

// What the dialog's controls hold when OK is pressed. Texts are UTF-8, as the toolkit gives them.
struct DialogInput {
  std::string player1Name;             // edit 104
  std::string player2Name;             // edit 105
  std::string arenaSize;               // edit 109 "Térméret": the full edge length
  std::string rack;                    // edit 111 "Lerakat"
  std::string rounds;                  // edit 122 "Körök száma"
  bool player1Computer = false;        // check box 125
  bool player2Computer = false;        // check box 106
  bool chaoticRack = false;            // check box 114 "Kaotikus játék"
  bool multiplierEnabled = false;      // check box 120 "Van szorzó"
  bool winnerStartsNextRound = false;  // check box 126
  bool randomStart = false;            // check box 127 "Véletlen kezdés"
  int difficulty = 0;  // the checked radio button: 116, 117, 118, 123, 124 are levels 0..4

  bool operator==(const DialogInput&) const = default;
};

// Why OK did not close the dialog; shown in a message box with a stop icon and an OK button.
struct Refusal {
  std::string messageUtf8;
  std::string captionUtf8;
};

struct OkOutcome {
  // Complete when accepted. On a refusal only the fields read before the checks are filled
  // (names as typed, arena, computer flags, chaotic flag, rack, rounds); the rest stay zero.
  MatchSettings settings;
  int32_t currentPlayer = 0;       // who shoots first, 0 = player 1; only meaningful when accepted
  std::optional<Refusal> refusal;  // set when the dialog must stay open

  bool accepted() const { return !refusal.has_value(); }
};

// The controls exactly as the dialog opens.
DialogInput defaultDialogInput();

// Reads the controls into MatchSettings in the dialog's fixed order and checks the rack, then
// the arena size (its range, then the first round laid out on copies: every ball within the
// walls and a pocket active), then the number of rounds. Draws one number from random only
// when every check passes and "Véletlen kezdés" is checked. A difficulty outside 0..4 is taken
// as the nearest level.
OkOutcome processOk(const DialogInput& input, Random& random);

}  // namespace morvane
