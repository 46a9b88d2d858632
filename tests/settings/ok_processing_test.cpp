#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <limits>
#include <string>

#include "math/random.h"
#include "settings/ok_processing.h"

namespace morvane {
namespace {

uint32_t bitsOf(float f) { return std::bit_cast<uint32_t>(f); }

OkOutcome okWith(const DialogInput& input) {
  Random random(7);
  return processOk(input, random);
}

DialogInput withRack(const char* rack, bool chaotic) {
  DialogInput input = defaultDialogInput();
  input.rack = rack;
  input.chaoticRack = chaotic;
  return input;
}

TEST(OkProcessing, DefaultControlsGiveTheDefaultSettings) {
  const OkOutcome out = okWith(defaultDialogInput());
  ASSERT_TRUE(out.accepted());
  const MatchSettings& s = out.settings;
  EXPECT_EQ(s.arenaHalfSize, 500.0f);
  EXPECT_EQ(s.rackSize, 10);
  EXPECT_EQ(s.roundsPerMatch, 5);
  EXPECT_EQ(bitsOf(s.aimError), bitsOf(0.06992681f));
  EXPECT_EQ(s.randomStart, 1);
  EXPECT_EQ(s.preSimulation, 1);
  EXPECT_EQ(s.player1Computer, 0);
  EXPECT_EQ(s.player2Computer, 0);
  EXPECT_EQ(s.chaoticRack, 0);
  EXPECT_EQ(s.multiplierEnabled, 0);
  EXPECT_EQ(s.winnerStartsNextRound, 0);
  EXPECT_EQ(s.player1Name, "<J\xE1t\xE9kos1>");
  EXPECT_EQ(s.player2Name, "<J\xE1t\xE9kos2>");
  EXPECT_EQ(s.player1Name, defaultMatchSettings().player1Name);
}

TEST(OkProcessing, RackLimitsDependOnTheChaoticLayout) {
  struct Case {
    const char* text;
    bool chaotic;
    bool accepted;
    int32_t rackSize;
  };
  const Case cases[] = {
      {"1", false, true, 2},   {"8", false, true, 16},  {"9", false, false, 18},
      {"0", false, false, 0},  {"abc", false, false, 0}, {"", false, false, 0},
      {"1", true, true, 2},    {"50", true, true, 100}, {"51", true, false, 102},
      {"0", true, false, 0},   {"x5", true, false, 0},  {"-3", true, false, -6},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.text) + (c.chaotic ? " chaotic" : " diamond"));
    const OkOutcome out = okWith(withRack(c.text, c.chaotic));
    EXPECT_EQ(out.accepted(), c.accepted);
    EXPECT_EQ(out.settings.rackSize, c.rackSize);
    if (!c.accepted) {
      EXPECT_EQ(out.refusal->messageUtf8, "A lerakat érvénytelen!");
      EXPECT_EQ(out.refusal->captionUtf8, "HIBA!");
    }
  }
}

TEST(OkProcessing, NumbersAreReadFromTheirLeadingPart) {
  DialogInput input = defaultDialogInput();
  input.arenaSize = "  1500.5xyz";
  input.rack = " +3 balls";
  input.rounds = "\t12abc";
  OkOutcome out = okWith(input);
  ASSERT_TRUE(out.accepted());
  EXPECT_EQ(out.settings.arenaHalfSize, 750.25f);
  EXPECT_EQ(out.settings.rackSize, 6);
  EXPECT_EQ(out.settings.roundsPerMatch, 12);

  input.arenaSize = "2e3";
  input.rounds = "7.9";
  out = okWith(input);
  EXPECT_EQ(out.settings.arenaHalfSize, 1000.0f);
  EXPECT_EQ(out.settings.roundsPerMatch, 7);

  // An exponent without digits is not part of the number; neither is a sign without digits.
  input.arenaSize = "3e";
  out = okWith(input);
  EXPECT_EQ(out.settings.arenaHalfSize, 1.5f);
  input.arenaSize = "-";
  out = okWith(input);
  EXPECT_EQ(out.settings.arenaHalfSize, 0.0f);
  // Hexadecimal and the infinity spelling are not numbers here.
  input.arenaSize = "0x400";
  EXPECT_EQ(okWith(input).settings.arenaHalfSize, 0.0f);
  input.arenaSize = "inf";
  EXPECT_EQ(okWith(input).settings.arenaHalfSize, 0.0f);
}

TEST(OkProcessing, HugeAndNegativeNumbersSaturateAndAreRefused) {
  // The typed rack saturates at the int range before doubling, so it cannot wrap into 2..16.
  OkOutcome out = okWith(withRack("99999999999999", false));
  EXPECT_FALSE(out.accepted());
  EXPECT_EQ(out.settings.rackSize, std::numeric_limits<int32_t>::max());
  out = okWith(withRack("-99999999999999", true));
  EXPECT_FALSE(out.accepted());
  EXPECT_EQ(out.settings.rackSize, std::numeric_limits<int32_t>::min());

  DialogInput input = defaultDialogInput();
  input.rounds = "99999999999999";
  out = okWith(input);
  EXPECT_TRUE(out.accepted());
  EXPECT_EQ(out.settings.roundsPerMatch, std::numeric_limits<int32_t>::max());
  input.rounds = "-4";
  out = okWith(input);
  EXPECT_FALSE(out.accepted());
  EXPECT_EQ(out.settings.roundsPerMatch, -4);

  input = defaultDialogInput();
  input.arenaSize = "1e999";
  out = okWith(input);
  EXPECT_FALSE(out.accepted());
  EXPECT_EQ(out.settings.arenaHalfSize, std::numeric_limits<float>::infinity());
  input.arenaSize = "-1e999";
  EXPECT_EQ(okWith(input).settings.arenaHalfSize, -std::numeric_limits<float>::infinity());
  input.arenaSize = "1e-999";
  EXPECT_EQ(okWith(input).settings.arenaHalfSize, 0.0f);
  input.arenaSize = std::string(300, '9');
  out = okWith(input);
  EXPECT_FALSE(out.accepted());
  EXPECT_EQ(out.settings.arenaHalfSize, std::numeric_limits<float>::infinity());
}

TEST(OkProcessing, ArenaAndRoundsAreRefusedAfterTheRack) {
  DialogInput input = defaultDialogInput();
  struct Case {
    const char* arena;
    const char* rounds;
    const char* message;  // nullptr: accepted
  };
  const Case cases[] = {
      {"0", "5", "A térméret érvénytelen!"},
      {"nincs", "5", "A térméret érvénytelen!"},
      {"-1000", "5", "A térméret érvénytelen!"},
      {"2000001", "5", "A térméret érvénytelen!"},
      {"2000000", "5", nullptr},
      {"1", "5", nullptr},
      {"1000", "0", "A körök száma érvénytelen!"},
      {"1000", "", "A körök száma érvénytelen!"},
      {"1000", "1", nullptr},
      {"0", "0", "A térméret érvénytelen!"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.arena) + " / " + c.rounds);
    input.arenaSize = c.arena;
    input.rounds = c.rounds;
    const OkOutcome out = okWith(input);
    if (c.message == nullptr) {
      EXPECT_TRUE(out.accepted());
    } else {
      ASSERT_FALSE(out.accepted());
      EXPECT_EQ(out.refusal->messageUtf8, c.message);
      EXPECT_EQ(out.refusal->captionUtf8, "HIBA!");
    }
  }

  // A bad rack is reported even when the arena and the rounds are bad too.
  input = withRack("9", false);
  input.arenaSize = "0";
  input.rounds = "0";
  EXPECT_EQ(okWith(input).refusal->messageUtf8, "A lerakat érvénytelen!");
}

TEST(OkProcessing, RefusalKeepsTheFieldsReadBeforeTheCheck) {
  DialogInput input = withRack("9", false);
  input.player1Name = "Béla";
  input.player2Name = "Ödön";
  input.arenaSize = "3000";
  input.rounds = "7";
  input.player1Computer = true;
  input.multiplierEnabled = true;
  input.winnerStartsNextRound = true;
  input.difficulty = 4;
  const OkOutcome out = okWith(input);
  ASSERT_FALSE(out.accepted());
  const MatchSettings& s = out.settings;
  // Read before the check, and the typed name kept: the level name comes only after it.
  EXPECT_EQ(s.player1Name, "B\xE9la");
  EXPECT_EQ(s.player2Name, "\xD6\x64\xF6n");
  EXPECT_EQ(s.arenaHalfSize, 1500.0f);
  EXPECT_EQ(s.rackSize, 18);
  EXPECT_EQ(s.roundsPerMatch, 7);
  EXPECT_EQ(s.player1Computer, 1);
  EXPECT_EQ(s.chaoticRack, 0);
  // Never reached.
  EXPECT_EQ(s.preSimulation, 0);
  EXPECT_EQ(s.randomStart, 0);
  EXPECT_EQ(s.multiplierEnabled, 0);
  EXPECT_EQ(s.winnerStartsNextRound, 0);
  EXPECT_EQ(bitsOf(s.aimError), 0u);
}

TEST(OkProcessing, EachLevelGivesItsAimErrorAndComputerName) {
  const float aimErrors[] = {0.06992681f, 0.03492077f, 0.017455064f, 0.008726867f, 0.0f};
  const char* names[] = {"Trainee", "Rookie", "Moderatus", "The expert", "THE CHAMPION"};
  for (int level = 0; level < 5; ++level) {
    SCOPED_TRACE(level);
    DialogInput input = defaultDialogInput();
    input.difficulty = level;
    input.player2Computer = true;
    const OkOutcome out = okWith(input);
    ASSERT_TRUE(out.accepted());
    EXPECT_EQ(bitsOf(out.settings.aimError), bitsOf(aimErrors[level]));
    EXPECT_EQ(out.settings.player1Name, "<J\xE1t\xE9kos1>");
    EXPECT_EQ(out.settings.player2Name, names[level]);
  }

  DialogInput both = defaultDialogInput();
  both.difficulty = 3;
  both.player1Computer = true;
  both.player2Computer = true;
  const OkOutcome out = okWith(both);
  EXPECT_EQ(out.settings.player1Name, "The expert");
  EXPECT_EQ(out.settings.player2Name, "The expert");

  // An index the radio group cannot produce still names a real level.
  both.difficulty = 9;
  EXPECT_EQ(okWith(both).settings.player1Name, "THE CHAMPION");
  both.difficulty = -1;
  EXPECT_EQ(okWith(both).settings.player1Name, "Trainee");
}

TEST(OkProcessing, NamesBecomeWindows1250CutTo199Bytes) {
  DialogInput input = defaultDialogInput();
  input.player1Name = std::string(150, 'a') + std::string(60, 'x');
  // 'ő' is one Windows-1250 byte: 250 of them are cut to 199 bytes, never mid-character.
  input.player2Name.clear();
  for (int i = 0; i < 250; ++i) input.player2Name += "ő";
  OkOutcome out = okWith(input);
  ASSERT_TRUE(out.accepted());
  EXPECT_EQ(out.settings.player1Name, std::string(150, 'a') + std::string(49, 'x'));
  EXPECT_EQ(out.settings.player2Name, std::string(199, '\xF5'));

  input.player1Name = "Zoë 日本 ű€";
  input.player2Name = "";
  out = okWith(input);
  EXPECT_EQ(out.settings.player1Name, "Zo\xEB ?? \xFB\x80");
  EXPECT_EQ(out.settings.player2Name, "");
}

TEST(OkProcessing, RandomStartDrawsOnceAfterEveryCheckPasses) {
  // Seed 2 draws 45 (45 mod 32 = 13, below 16): player 2 starts.
  // Seed 3 draws 48 (48 mod 32 = 16, not below): player 1 starts.
  DialogInput input = defaultDialogInput();
  Random seed2(2);
  OkOutcome out = processOk(input, seed2);
  EXPECT_EQ(out.currentPlayer, 1);
  Random expectedAfterOne(2);
  expectedAfterOne.next();
  EXPECT_EQ(seed2, expectedAfterOne);

  Random seed3(3);
  EXPECT_EQ(processOk(input, seed3).currentPlayer, 0);

  // No draw without "Véletlen kezdés", and none when the dialog refuses.
  input.randomStart = false;
  Random untouched(2);
  out = processOk(input, untouched);
  EXPECT_EQ(out.currentPlayer, 0);
  EXPECT_EQ(out.settings.randomStart, 0);
  EXPECT_EQ(untouched, Random(2));

  DialogInput refused = withRack("9", false);
  Random notDrawn(2);
  EXPECT_FALSE(processOk(refused, notDrawn).accepted());
  EXPECT_EQ(notDrawn, Random(2));
  refused = defaultDialogInput();
  refused.rounds = "0";
  EXPECT_FALSE(processOk(refused, notDrawn).accepted());
  EXPECT_EQ(notDrawn, Random(2));
}

TEST(OkProcessing, EachCheckBoxSetsOnlyItsOwnFlag) {
  DialogInput input = defaultDialogInput();
  input.multiplierEnabled = true;
  OkOutcome out = okWith(input);
  EXPECT_EQ(out.settings.multiplierEnabled, 1);
  EXPECT_EQ(out.settings.winnerStartsNextRound, 0);
  EXPECT_EQ(out.settings.chaoticRack, 0);

  input = defaultDialogInput();
  input.winnerStartsNextRound = true;
  input.chaoticRack = true;
  input.rack = "50";
  out = okWith(input);
  EXPECT_EQ(out.settings.multiplierEnabled, 0);
  EXPECT_EQ(out.settings.winnerStartsNextRound, 1);
  EXPECT_EQ(out.settings.chaoticRack, 1);
}

}  // namespace
}  // namespace morvane
