#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cstdint>
#include <limits>
#include <memory>
#include <string>
#include <tuple>

#include "game/game.h"
#include "math/random.h"
#include "rules/setup.h"
#include "settings/ok_processing.h"

namespace morvane {
namespace {

constexpr int32_t intMax = std::numeric_limits<int32_t>::max();
constexpr float inf = std::numeric_limits<float>::infinity();
const std::string p1 = "<J\xE1t\xE9kos1>", p2 = "<J\xE1t\xE9kos2>";

OkOutcome okWith(const DialogInput& input) {
  Random random(7);
  return processOk(input, random);
}

DialogInput typed(const std::string& arena, const std::string& rack, const std::string& rounds, bool chaotic = false) {
  DialogInput input = defaultDialogInput();
  input.arenaSize = arena, input.rack = rack, input.rounds = rounds, input.chaoticRack = chaotic;
  return input;
}

// Every field, floats bit for bit, so one comparison shows all differences.
auto fields(const MatchSettings& s) {
  return std::tuple(std::bit_cast<uint32_t>(s.arenaHalfSize), std::bit_cast<uint32_t>(s.aimError),
                    s.roundsPerMatch, s.rackSize, s.player1Computer, s.player2Computer, s.chaoticRack,
                    s.preSimulation, s.multiplierEnabled, s.winnerStartsNextRound, s.randomStart,
                    s.player1Name, s.player2Name);
}

const MatchSettings defaults{.arenaHalfSize = 500.0f, .roundsPerMatch = 5, .aimError = 0.06992681f,
                             .rackSize = 10, .preSimulation = 1, .randomStart = 1,
                             .player1Name = p1, .player2Name = p2};

TEST(OkProcessing, DefaultControlsGiveTheDefaultSettings) {
  const OkOutcome out = okWith(defaultDialogInput());
  ASSERT_TRUE(out.accepted());
  EXPECT_EQ(fields(out.settings), fields(defaults));
  EXPECT_EQ(fields(defaultMatchSettings()), fields(defaults));
}

const char* const badRack = "A lerakat érvénytelen!";

// Fields are read from their leading part, then checked: the rack, the arena, the rounds.
void expectRead(const DialogInput& input, float halfSize, int32_t rackSize, int32_t rounds, const char* refusal) {
  SCOPED_TRACE(input.arenaSize + " | " + input.rack + (input.chaoticRack ? " chaotic | " : " | ") + input.rounds);
  const OkOutcome out = okWith(input);
  EXPECT_EQ(out.settings.arenaHalfSize, halfSize);
  EXPECT_EQ(out.settings.rackSize, rackSize);
  EXPECT_EQ(out.settings.roundsPerMatch, rounds);
  ASSERT_EQ(out.accepted(), refusal == nullptr);
  if (refusal) {
    EXPECT_EQ(out.refusal->captionUtf8 + ": " + out.refusal->messageUtf8, std::string("HIBA!: ") + refusal);
  }
}

TEST(OkProcessing, RackLimitsDependOnTheChaoticLayout) {
  struct Case { const char* rack; bool chaotic; int32_t rackSize; bool ok; };
  const Case cases[] = {
      {"1", 0, 2, 1},   {"8", 0, 16, 1},  {"9", 0, 18, 0},   {"0", 0, 0, 0}, {"abc", 0, 0, 0}, {"", 0, 0, 0},
      {"1", 1, 2, 1},   {"50", 1, 100, 1}, {"51", 1, 102, 0}, {"0", 1, 0, 0}, {"x5", 1, 0, 0},  {"-3", 1, -6, 0},
      // Saturated at the int range before doubling, so it cannot wrap into 2..16.
      {"99999999999999", 0, intMax, 0}, {"-99999999999999", 1, std::numeric_limits<int32_t>::min(), 0}};
  for (const Case& c : cases) {
    expectRead(typed("1000", c.rack, "5", c.chaotic), 500, c.rackSize, 5, c.ok ? nullptr : badRack);
  }
  expectRead(typed("0", "9", "0"), 0, 18, 0, badRack);  // the rack comes first
}

TEST(OkProcessing, ArenaAndRoundsAreReadFromTheirLeadingPartAndChecked) {
  struct Case { std::string arena, rounds; float halfSize; int32_t roundsRead; const char* refusal; };
  const char* arena = "A térméret érvénytelen!";
  const char* rounds = "A körök száma érvénytelen!";
  const Case cases[] = {
      {"  1500.5xyz", "\t12abc", 750.25f, 12, nullptr}, {"2e3", "7.9", 1000, 7, nullptr},
      {"800e", "5", 400, 5, nullptr},   {"2000000", "1", 1e6f, 1, nullptr}, {"2000001", "5", 1000000.5f, 5, arena},
      {"0", "5", 0, 5, arena},         {"nincs", "5", 0, 5, arena},        {"-", "5", 0, 5, arena},
      {"0x400", "5", 0, 5, arena},     {"inf", "5", 0, 5, arena},          {"-1000", "5", -500, 5, arena},
      {"1e999", "5", inf, 5, arena},   {"-1e999", "5", -inf, 5, arena},    {"1e-999", "5", 0, 5, arena},
      {std::string(300, '9'), "5", inf, 5, arena}, {"0", "0", 0, 0, arena}, {"1000", "0", 500, 0, rounds},
      {"1000", "", 500, 0, rounds},    {"1000", "-4", 500, -4, rounds},
      {"1000", "99999999999999", 500, intMax, nullptr}};
  for (const Case& c : cases) {
    expectRead(typed(c.arena, "5", c.rounds), c.halfSize, 10, c.roundsRead, c.refusal);
  }
  expectRead(typed("1000", " +3 balls", "5"), 500, 6, 5, nullptr);
}

// The smallest "Térméret" that holds each diamond: below it a ball lies beyond a wall (n = 1 up
// to 56, n >= 3 up to the size before the smallest) or every grid pocket holds a ball.
TEST(OkProcessing, TheArenaMustHoldTheRackAndLeaveAPocket) {
  const char* arena = "A térméret érvénytelen!";
  struct Case { int n; const char* size; bool chaotic, ok; };
  const Case cases[] = {
      {1, "56", 0, 0},   {1, "57", 0, 0},   {1, "103", 0, 0},  {1, "104", 0, 1},  {2, "159", 0, 0},  {2, "160", 0, 1},
      {3, "169", 0, 0},  {3, "170", 0, 1},  {4, "282", 0, 0},  {4, "283", 0, 1},  {5, "395", 0, 0},  {5, "396", 0, 1},
      {6, "509", 0, 0},  {6, "510", 0, 1},  {7, "622", 0, 0},  {7, "623", 0, 1},  {8, "735", 0, 0},  {8, "736", 0, 1},
      {8, "50", 0, 0},   {5, "100", 0, 0},  {5, "395.97", 0, 0}, {5, "395.98", 0, 1},
      // Chaotic: at 100 every ball blocks every place a pocket may take; at 50 and 33 pockets
      // find room only beyond the walls, out of the balls' reach; at 20 the scatter reaches past
      // the walls.
      {1, "100", 1, 0},  {5, "100", 1, 0},  {50, "100", 1, 0}, {50, "50", 1, 0}, {5, "33", 1, 0},
      {1, "20", 1, 0},   {50, "1000", 1, 1}, {1, "400", 1, 1}};
  for (const Case& c : cases) {
    expectRead(typed(c.size, std::to_string(c.n), "5", c.chaotic), static_cast<float>(std::stod(c.size) * 0.5),
               2 * c.n, 5, c.ok ? nullptr : arena);
  }
}

// A crowded chaotic arena fits or not depending on the generator: the dialog judges the very
// first round the game will lay out (after the start draw), without moving the live generator
// when it refuses.
TEST(OkProcessing, ACrowdedChaoticArenaIsJudgedByTheRoundTheGameWillLayOut) {
  int accepted = 0, refused = 0;
  for (uint32_t seed = 0; seed < 4; ++seed) {
    DialogInput input = typed("150", "1", "3", true);
    input.randomStart = seed % 2 == 0;
    Random random(seed);
    const OkOutcome out = processOk(input, random);
    SCOPED_TRACE(seed);
    Random afterDraw(seed);
    if (input.randomStart) afterDraw.next();
    EXPECT_EQ(random, out.accepted() ? afterDraw : Random(seed));
    auto game = std::make_unique<Game>();
    game->random = random;
    if (out.accepted()) {
      ++accepted;
      startMatch(*game, out.settings, out.currentPlayer);
      auto once = std::make_unique<World>();
      layOutRound(*once, out.settings, afterDraw);
      EXPECT_EQ(worldHash(game->world), worldHash(*once)) << "laid out again although the first round fits";
    } else {
      ++refused;
      auto world = std::make_unique<World>();
      layOutRound(*world, out.settings, afterDraw);
      EXPECT_FALSE(layoutPlayable(*world));
    }
  }
  EXPECT_GT(accepted, 0);
  EXPECT_GT(refused, 0);
}

TEST(OkProcessing, RefusalKeepsTheFieldsReadBeforeTheCheck) {
  DialogInput input = typed("3000", "9", "7");
  input.player1Name = "Béla", input.player2Name = "Ödön", input.difficulty = 4;
  input.player1Computer = input.multiplierEnabled = input.winnerStartsNextRound = true;
  const OkOutcome out = okWith(input);
  ASSERT_FALSE(out.accepted());
  // The typed name is kept: the level name comes only after the checks, as do the later flags.
  EXPECT_EQ(fields(out.settings), fields({.arenaHalfSize = 1500.0f, .roundsPerMatch = 7, .rackSize = 18,
                                          .player1Computer = 1, .player1Name = "B\xE9la",
                                          .player2Name = "\xD6" "d\xF6n"}));
}

// Each level gives its aim error and computer name, each check box only its own flag.
TEST(OkProcessing, EachLevelAndCheckBoxLandsInItsOwnField) {
  const float aimErrors[] = {0.06992681f, 0.03492077f, 0.017455064f, 0.008726867f, 0.0f};
  const char* names[] = {"Trainee", "Rookie", "Moderatus", "The expert", "THE CHAMPION"};
  for (int level = -1; level <= 5; ++level) {  // outside 0..4: the nearest level
    SCOPED_TRACE(level);
    const int nearest = std::clamp(level, 0, 4);
    DialogInput input = defaultDialogInput();
    input.difficulty = level;
    input.player2Computer = true;
    MatchSettings want = defaults;
    want.aimError = aimErrors[nearest], want.player2Computer = 1, want.player2Name = names[nearest];
    want.multiplierEnabled = input.multiplierEnabled = (level == 0);
    want.winnerStartsNextRound = input.winnerStartsNextRound = (level == 1);
    want.chaoticRack = input.chaoticRack = (level == 2);
    EXPECT_EQ(fields(okWith(input).settings), fields(want));
    input.player1Computer = true, want.player1Computer = 1;
    want.player1Name = names[nearest];
    EXPECT_EQ(fields(okWith(input).settings), fields(want));
  }
}

TEST(OkProcessing, NamesBecomeWindows1250CutTo199Bytes) {
  std::string longO;
  for (int i = 0; i < 250; ++i) longO += "ő";  // one byte each: never cut mid-letter
  DialogInput input = defaultDialogInput();
  input.player1Name = std::string(150, 'a') + std::string(60, 'x'), input.player2Name = longO;
  OkOutcome out = okWith(input);
  EXPECT_EQ(out.settings.player1Name, std::string(150, 'a') + std::string(49, 'x'));
  EXPECT_EQ(out.settings.player2Name, std::string(199, '\xF5'));
  input.player1Name = "Zoë 日本 ű€", input.player2Name = "";
  out = okWith(input);
  EXPECT_EQ(out.settings.player1Name, "Zo\xEB ?? \xFB\x80");
  EXPECT_EQ(out.settings.player2Name, "");
}

TEST(OkProcessing, RandomStartDrawsOnceAfterEveryCheckPasses) {
  for (uint32_t seed = 0; seed < 64; ++seed) {
    Random random(seed), expected(seed);
    const int r = expected.next();
    EXPECT_EQ(processOk(defaultDialogInput(), random).currentPlayer, r % 32 < 16 ? 1 : 0) << seed;
    EXPECT_EQ(random, expected) << seed;
  }
  // No draw without "Véletlen kezdés", and none when the dialog refuses.
  DialogInput noDraw = defaultDialogInput();
  noDraw.randomStart = false;
  for (const DialogInput& input : {noDraw, typed("1000", "5", "0")}) {
    Random untouched(2);  // would draw 45: player 2
    EXPECT_EQ(processOk(input, untouched).currentPlayer, 0);
    EXPECT_EQ(untouched, Random(2));
  }
}

}  // namespace
}  // namespace morvane
