#pragma once
// The settings dialog's controls as plain data: ids, kinds, labels, rectangles in dialog units
// and the help texts. The toolkit code builds its widgets from this table, in this order,
// which is also the order the Tab key walks.
#include <array>
#include <cstddef>

namespace morvane {

enum class ControlKind { groupBox, staticText, edit, digitEdit, pushButton, checkBox, radioButton };

struct DialogControl {
  int id;
  ControlKind kind;
  const char* labelUtf8;  // nullptr for edits: their starting texts come from defaultDialogInput()
  int x, y, width, height;  // dialog units, from the dialog's top-left corner
};

namespace controlId {
constexpr int ok = 1;
constexpr int quit = 2;
constexpr int player1Name = 104;
constexpr int player2Name = 105;
constexpr int player2Computer = 106;
constexpr int arenaSize = 109;
constexpr int rack = 111;
constexpr int preSimulation = 113;
constexpr int chaoticRack = 114;
constexpr int difficultyGroup = 119;
constexpr int multiplier = 120;
constexpr int rounds = 122;
constexpr int player1Computer = 125;
constexpr int winnerStarts = 126;
constexpr int randomStart = 127;
}  // namespace controlId

constexpr int dialogWidthUnits = 305;
constexpr int dialogHeightUnits = 263;
constexpr const char* dialogTitleUtf8 = "Morvane - Beállítás";
constexpr const char* helpCaptionUtf8 = "[i]";

// The five difficulty radio buttons, levels 0 (easiest) to 4.
constexpr std::array<int, 5> difficultyRadioIds = {116, 117, 118, 123, 124};

constexpr std::size_t dialogControlCount = 30;
extern const std::array<DialogControl, dialogControlCount> dialogControls;

// The one-sentence help shown for a control, or nullptr when the control explains nothing.
const char* controlHelpText(int id);

}  // namespace morvane
