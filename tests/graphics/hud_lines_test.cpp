#include "graphics/hud_lines.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

#include "text/cp1250.h"

namespace morvane {
namespace {

constexpr int W = 1280, H = 1024;

// A still table with the given coloured balls at distinct places, the lowest colour the
// target, no multipliers, five rounds, player 1 to move.
Game tableWith(std::initializer_list<BallColour> colours, int32_t ballInHand = 0) {
  Game game;
  game.settings = defaultMatchSettings();
  int slot = 0;
  for (BallColour colour : colours) game.world.balls[slot].init(Vec3{slot++ * 50.0f, 0.0f, 0.0f}, Vec3{}, colour);
  game.match.targetColour = std::min(colours);
  game.match.ballInHand = ballInHand;
  return game;
}

std::string cp(const char* utf8) { return toCp1250(utf8); }

auto look(const HudText& t) { return std::tuple(t.bytes, t.r, t.g, t.b, t.x, t.y); }
auto rgb(const HudText& t) { return std::tuple(t.r, t.g, t.b); }

void expectLines(const std::vector<HudText>& got, const std::vector<HudText>& want) {
  ASSERT_EQ(got.size(), want.size());
  for (size_t i = 0; i < got.size(); ++i) EXPECT_EQ(look(got[i]), look(want[i])) << i;
}

TEST(HudStatusLines, LayoutWithoutMultipliersAndWhoseTurnItIs) {
  Game game = tableWith({colourBlue, colourBlue, colourGreen});  // 4 points, no win in sight
  game.match.roundsWon = {1, 2};
  game.cue.shotStrength = 149.6f;
  expectLines(hudStatusLines(game, W, H),
              {{"Er\xF5ss\xE9g: 150", 1, 0, 1, 640, 15}, {"[1 (5) 2]", 0, 1, 1, 640, 30}, {"4 pont maradt", 0, 1, 1, 640, 45},
               {cp("<Játékos1>: 0"), 1, 1, 0, 0, 15}, {cp("<Játékos2>: 0"), .3f, .3f, .3f, 1080, 15},
               {cp("KÉK"), 0, 0, 1, 1180, 1004}});
  // Player 2 to move, a ball rolling: the strength greys out and the player colours swap.
  game.match.currentPlayer = 1;
  game.world.balls[2].velocity = Vec3{0.0f, 0.0f, 30.0f};
  const auto lines = hudStatusLines(game, W, H);
  ASSERT_EQ(lines.size(), 6u);
  const auto grey = std::tuple(.3f, .3f, .3f), yellow = std::tuple(1.0f, 1.0f, 0.0f);
  EXPECT_EQ(std::tuple(rgb(lines[0]), rgb(lines[3]), rgb(lines[4])), std::tuple(grey, grey, yellow));
}

TEST(HudStatusLines, NextBallWinsTheRoundOrTheMoversMatch) {
  for (const auto& [roundsWon, notice] : {std::pair{std::array{2, 0}, "Következőre nyersz!"},
                                          {std::array{0, 2}, "KÖVETKEZŐRE NYERED A MECCSET!"}}) {
    Game game = tableWith({colourRed});  // 10 with one red (5) left passes the winning 7
    game.match.currentPlayer = 1;
    game.match.scores = {0.0f, 10.0f};
    game.match.roundsWon = roundsWon;
    const auto lines = hudStatusLines(game, W, H);
    ASSERT_EQ(lines.size(), 7u);
    EXPECT_EQ(lines[2].bytes, "5 pont maradt");
    EXPECT_EQ(look(lines[3]), look({cp(notice), 0, 1, 1, 640, 60}));
  }
}

TEST(HudStatusLines, MultipliersHideThePointLinesAndShowInPlayerLines) {
  Game game = tableWith({colourRed});
  game.settings.multiplierEnabled = 1;
  game.match.scores = {12.6f, 40.0f};
  game.match.roundsWon = {0, 2};
  game.match.currentPlayer = 1;  // would win the match with the next ball without multipliers
  for (const auto& [m1, m2, text1, text2] : {std::tuple{1.5f, 2.0f, "13 [1.5X]", "40 [2X]"}, {1.0f, 1.0f, "13 [1X]", "40 [1X]"}}) {
    game.match.multipliers = {m1, m2};
    expectLines(hudStatusLines(game, W, H),
                {{cp("Erősség: 0"), 1, 0, 1, 640, 15}, {"[0 (5) 2]", 0, 1, 1, 640, 30},
                 {cp("<Játékos1>: ") + text1, .3f, .3f, .3f, 0, 15}, {cp("<Játékos2>: ") + text2, 1, 1, 0, 1080, 15},
                 {"PIROS", 1, 0, 0, 1180, 1004}});
  }
  // The longest name with the largest score still fits the buffer.
  game.settings.player2Name = std::string(maxNameBytes, '\xE1');
  game.match.scores = {0.0f, 3.0e38f};
  game.match.multipliers = {1.0f, 1.5f};
  const std::string line = hudStatusLines(game, W, H)[3].bytes;
  EXPECT_EQ(line.substr(0, maxNameBytes + 2) + line.substr(line.size() - 7), game.settings.player2Name + ":  [1.5X]");
  EXPECT_LT(line.size(), static_cast<size_t>(hudTextBufferBytes));
}

TEST(HudStatusLines, BallInHandNoticeIsWrittenOverTheFoulAndTheCueBallNeedsNoWord) {
  Game game = tableWith({colourBlue}, 1);
  game.match.targetColour = colourCueBall;
  game.match.foulCommitted = 1;
  auto lines = hudStatusLines(game, W, H);
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(look(lines[lines.size() - 2]), look({cp("HIBÁZOTT!"), 1, 0, 0, 0, H - 20}));
  EXPECT_EQ(look(lines.back()), look({cp("Golyó a \"kézben\", állj arra a helyre, ahobá ki szeretnéd tenni, majd "
                                         "kattints az egérrel."), 0, 1, 0, 0, H - 20}));
  for (const HudText& line : lines) EXPECT_FALSE(line.x == W - 100 && line.y == H - 20) << line.bytes;
  game.world.balls[0].velocity = Vec3{5.0f, 0.0f, 0.0f};  // while a ball rolls only the foul shows
  EXPECT_EQ(hudStatusLines(game, W, H).back().bytes, cp("HIBÁZOTT!"));
}

TEST(HudHelpScreen, TwentyEightGreenLinesAtTheirRows) {
  const auto& lines = helpScreenLines();
  ASSERT_EQ(lines.size(), static_cast<size_t>(helpLineCount));
  const int rows[helpLineCount] = {50,  70,  90,  105, 120, 135, 150, 165, 185, 200, 215, 235, 250, 270,
                                   290, 310, 330, 345, 360, 375, 390, 405, 420, 435, 455, 475, 490, 505};
  for (int i = 0; i < helpLineCount; ++i) {
    EXPECT_EQ(look(lines[i]), look({lines[i].bytes, 0, 1, 0, 0, rows[i]})) << i;
    EXPECT_EQ(lines[i].bytes.find('?'), std::string::npos) << i;  // every letter had a code
  }
  EXPECT_EQ(lines[0].bytes, "Morvane v1.2 menetk\xF6zbeni s\xFAg\xF3");
  EXPECT_EQ(lines[16].bytes, "8,5: el\xF5re, h\xE1tra");
  EXPECT_EQ(lines[26].bytes.substr(lines[26].bytes.size() - 5), "eg\xE9r-");  // split words keep hyphens
}

TEST(HudProgressBar, ShownOnlyWhileASearchRunsWithItsCaptionAsStored) {
  Game game = tableWith({colourBlue});
  game.progress.progressCaption = "100% %d";
  game.progress.progressFraction = 0.25f;
  EXPECT_FALSE(progressBarShape(game, W, H).has_value());
  game.progress.progressVisible = 1;
  const auto shape = progressBarShape(game, W - 1, H);
  ASSERT_TRUE(shape.has_value());
  EXPECT_EQ(std::tuple(shape->left, shape->fillRight, shape->outlineRight, shape->top, shape->bottom),
            std::tuple(589.0f, 614.0f, 689.0f, 994.0f, 1004.0f));
  EXPECT_EQ(look(shape->caption), look({"100% %d", 0, 1, 0, 589, 989}));
}

}  // namespace
}  // namespace morvane
