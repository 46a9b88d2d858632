// The settings dialog as plain computation: its controls, and what OK makes of them.
#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <memory>
#include <set>

#include "rules/setup.h"
#include "settings/dialog_layout.h"
#include "settings/ok_processing.h"

namespace morvane {
namespace {

// Every field, floats bit for bit, so one comparison shows all differences.
auto fields(const MatchSettings& s) {
  return std::tuple(std::bit_cast<uint32_t>(s.arenaHalfSize), std::bit_cast<uint32_t>(s.aimError), s.roundsPerMatch,
                    s.rackSize, s.player1Computer, s.player2Computer, s.chaoticRack, s.preSimulation,
                    s.multiplierEnabled, s.winnerStartsNextRound, s.randomStart, s.player1Name, s.player2Name);
}

TEST(OkProcessing, FieldsAreReadFromTheirLeadingPartThenTheRackTheArenaAndTheRoundsAreChecked) {
  const char *rack = "A lerakat érvénytelen!", *arena = "A térméret érvénytelen!", *rounds = "A körök száma érvénytelen!";
  const struct { const char *size, *rack, *rounds; bool chaotic; float half; int32_t rackRead, roundsRead; const char* refusal; } cases[] = {
      {"1000", "8", "5", 0, 500, 16, 5, nullptr},     {"1000", "9", "5", 0, 500, 18, 5, rack},
      {"1000", "0", "5", 0, 500, 0, 5, rack},         {"1000", " +3 balls", "5", 0, 500, 6, 5, nullptr},
      {"1000", "50", "5", 1, 500, 100, 5, nullptr},   {"1000", "51", "5", 1, 500, 102, 5, rack},
      {"1000", "0", "5", 1, 500, 0, 5, rack},         {"0", "9", "0", 0, 0, 18, 0, rack},  // the rack first
      {"1000", "99999999999999999999999999", "5", 1, 500, INT32_MAX, 5, rack},  // saturated before doubling
      {"  1500.5xyz", "5", "\t12abc", 0, 750.25f, 10, 12, nullptr}, {"2e3", "5", "7.9", 0, 1000, 10, 7, nullptr},
      {"800e", "5", "5", 0, 400, 10, 5, nullptr},      {"2000000", "1", "1", 0, 1e6f, 2, 1, nullptr},
      {"2000001", "5", "5", 0, 1000000.5f, 10, 5, arena}, {"0", "5", "0", 0, 0, 10, 0, arena},
      {"0x400", "5", "5", 0, 0, 10, 5, arena},        {"inf", "5", "5", 0, 0, 10, 5, arena},
      {"-1000", "5", "5", 0, -500, 10, 5, arena},     {"1e999", "5", "5", 0, INFINITY, 10, 5, arena},
      {"1e-999", "5", "5", 0, 0, 10, 5, arena},       {"1000", "5", "", 0, 500, 10, 0, rounds},
      {"1000", "5", "-4", 0, 500, 10, -4, rounds},    {"1000", "5", "99999999999999", 0, 500, 10, INT32_MAX, nullptr},
      // The smallest arena that holds the diamond; below it a ball lies beyond a wall or every grid
      // pocket holds a ball. Chaotic: at 33 pockets find room only beyond the walls; at 20 the
      // scatter reaches past the walls.
      {"103", "1", "5", 0, 51.5f, 2, 5, arena},       {"104", "1", "5", 0, 52, 2, 5, nullptr},
      {"395.97", "5", "5", 0, 197.985f, 10, 5, arena}, {"395.98", "5", "5", 0, 197.99f, 10, 5, nullptr},
      {"33", "5", "5", 1, 16.5f, 10, 5, arena}, {"20", "1", "5", 1, 10, 2, 5, arena}, {"400", "1", "5", 1, 200, 2, 5, nullptr},
  };
  for (const auto& c : cases) {
    DialogInput input = defaultDialogInput();
    input.arenaSize = c.size, input.rack = c.rack, input.rounds = c.rounds, input.chaoticRack = c.chaotic;
    Random random(7);
    const OkOutcome out = processOk(input, random);
    EXPECT_EQ(std::tuple(out.settings.arenaHalfSize, out.settings.rackSize, out.settings.roundsPerMatch,
                         out.accepted() ? "" : out.refusal->captionUtf8 + ": " + out.refusal->messageUtf8),
              std::tuple(c.half, c.rackRead, c.roundsRead, c.refusal ? std::string("HIBA!: ") + c.refusal : ""))
        << c.size << " | " << c.rack << (c.chaotic ? " chaotic | " : " | ") << c.rounds;
    // The start is drawn once every check has passed: below 16 of every 32, player 2 starts.
    EXPECT_EQ(out.currentPlayer, out.accepted() && Random(7).next() % 32 < 16 ? 1 : 0);
  }
}

TEST(OkProcessing, TheDefaultControlsGiveTheDefaultSettingsAndNamesBecomeWindows1250CutTo199Bytes) {
  Random random(7);
  ASSERT_EQ(fields(processOk(defaultDialogInput(), random).settings), fields(defaultMatchSettings()));
  DialogInput input = defaultDialogInput();
  input.player1Name = std::string(150, 'a') + std::string(60, 'x');
  input.player2Name = "Zoë Ödön 日本 ű€";
  const OkOutcome out = processOk(input, random);
  EXPECT_EQ(std::pair(out.settings.player1Name, out.settings.player2Name),
            std::pair(std::string(150, 'a') + std::string(49, 'x'), std::string("Zo\xEB \xD6" "d\xF6n ?? \xFB\x80")));
}

// The arena check lays out the first round on copies exactly as the game will: after the start
// draw when the start is random. At arena 150, rack 1, the layouts with and without that draw
// disagree on about a third of the seeds.
TEST(OkProcessing, TheArenaCheckJudgesTheFirstRoundTheGameWillLayOut) {
  DialogInput input = defaultDialogInput();
  input.arenaSize = std::string("150"), input.rack = std::string("1"), input.chaoticRack = true, input.randomStart = true;
  int accepted = 0;
  for (uint32_t seed = 1; seed <= 100; ++seed) {
    Random live(seed);
    const OkOutcome out = processOk(input, live);
    Random game(seed);
    game.next();  // the start draw, made before the game lays out its first round
    auto world = std::make_unique<World>();
    layOutRound(*world, out.settings, game);
    EXPECT_EQ(out.accepted(), layoutPlayable(*world)) << "seed " << seed;
    EXPECT_EQ(live, out.accepted() ? skipDraws(Random(seed), 1) : Random(seed)) << "seed " << seed;
    accepted += out.accepted();
  }
  EXPECT_TRUE(accepted > 0 && accepted < 100) << accepted;  // both verdicts are tried
}

TEST(DialogLayout, ControlsFitTheDialogInputsExplainThemselvesAndTheRadioButtonsFollowTheirGroup) {
  EXPECT_EQ(std::string(controlHelpText(104)), "A kezdő játékos nevét kell ide beírni. ");
  std::set<int> ids;
  for (const DialogControl& c : dialogControls) {
    EXPECT_TRUE(c.id > 0 && ids.insert(c.id).second) << c.id;  // the toolkit finds widgets by id; no row left empty
    EXPECT_TRUE(c.x >= 0 && c.y >= 0 && c.x + c.width <= dialogWidthUnits && c.y + c.height <= dialogHeightUnits) << c.id;
    const bool passive = c.kind == ControlKind::pushButton || c.kind == ControlKind::groupBox || c.kind == ControlKind::staticText;
    EXPECT_EQ(controlHelpText(c.id) == nullptr, passive) << c.id;
  }
  // The toolkit makes the radio buttons one group only if they follow their group box directly.
  auto group = std::find_if(dialogControls.begin(), dialogControls.end(), [](auto& c) { return c.id == controlId::difficultyGroup; });
  for (int id : difficultyRadioIds) EXPECT_EQ((++group)->id, id);
  EXPECT_NE((++group)->kind, ControlKind::radioButton);
}

}  // namespace
}  // namespace morvane
