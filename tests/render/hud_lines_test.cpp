#include "render/hud_lines.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "text/cp1250.h"

namespace morvane {
namespace {

constexpr int screenW = 1280;
constexpr int screenH = 1024;

// A still table with the given coloured balls at distinct places, the cue ball in hand, no
// multipliers, five rounds, player 1 to move.
Game tableWith(std::initializer_list<BallColour> colours) {
  Game game;
  game.settings = defaultMatchSettings();
  game.world.arenaHalfSize = game.settings.arenaHalfSize;
  int slot = 0;
  for (BallColour colour : colours) {
    game.world.balls[slot].init(Vec3{slot * 50.0f, 0.0f, 0.0f}, Vec3{}, colour);
    ++slot;
  }
  game.match.targetColour = colours.size() == 0 ? colourCueBall : *std::min_element(colours.begin(), colours.end());
  game.match.ballInHand = 1;
  return game;
}

// Four points left, no ball of which decides the round: no win notice, no ball in hand.
Game quietTable() {
  Game game = tableWith({colourBlue, colourBlue, colourGreen});
  game.match.ballInHand = 0;
  return game;
}

std::vector<std::string> texts(const std::vector<HudText>& lines) {
  std::vector<std::string> out;
  for (const HudText& line : lines) out.push_back(line.bytes);
  return out;
}

std::string cp(const char* utf8) { return toCp1250(utf8); }

void expectColour(const HudText& line, float r, float g, float b) {
  EXPECT_EQ(line.r, r) << line.bytes;
  EXPECT_EQ(line.g, g) << line.bytes;
  EXPECT_EQ(line.b, b) << line.bytes;
}

void expectAt(const HudText& line, int x, int y) {
  EXPECT_EQ(line.x, x) << line.bytes;
  EXPECT_EQ(line.y, y) << line.bytes;
}

TEST(HudStatusLines, StrengthIsRoundedAndStoredAsWindows1250) {
  Game game = tableWith({colourBlue});
  game.cue.shotStrength = 150.0f;
  const std::string expected = {'E', 'r', '\xF5', 's', 's', '\xE9', 'g', ':', ' ', '1', '5', '0'};
  EXPECT_EQ(hudStatusLines(game, screenW, screenH).front().bytes, expected);

  game.cue.shotStrength = 149.6f;
  EXPECT_EQ(hudStatusLines(game, screenW, screenH).front().bytes, cp("Erősség: 150"));
  game.cue.shotStrength = 0.4f;
  EXPECT_EQ(hudStatusLines(game, screenW, screenH).front().bytes, cp("Erősség: 0"));
}

TEST(HudStatusLines, StrengthIsMagentaAtRestAndGreyWhileABallRolls) {
  Game game = tableWith({colourBlue, colourRed});
  expectColour(hudStatusLines(game, screenW, screenH).front(), 1.0f, 0.0f, 1.0f);

  game.world.balls[1].velocity = Vec3{0.0f, 0.0f, 30.0f};
  expectColour(hudStatusLines(game, screenW, screenH).front(), 0.3f, 0.3f, 0.3f);
}

TEST(HudStatusLines, FullLayoutWithoutMultipliers) {
  Game game = quietTable();
  game.match.roundsWon = {1, 2};
  game.cue.shotStrength = 42.0f;
  const auto lines = hudStatusLines(game, screenW, screenH);

  const std::vector<std::string> expected = {
      cp("Erősség: 42"), "[1 (5) 2]", "4 pont maradt", cp("<Játékos1>: 0"), cp("<Játékos2>: 0"), cp("KÉK")};
  ASSERT_EQ(texts(lines), expected);
  expectAt(lines[0], 640, 15);
  expectAt(lines[1], 640, 30);
  expectAt(lines[2], 640, 45);
  expectAt(lines[3], 0, 15);
  expectAt(lines[4], 1080, 15);
  expectAt(lines[5], 1180, 1004);
  expectColour(lines[1], 0.0f, 1.0f, 1.0f);
  expectColour(lines[2], 0.0f, 1.0f, 1.0f);
  expectColour(lines[3], 1.0f, 1.0f, 0.0f);
  expectColour(lines[4], 0.3f, 0.3f, 0.3f);
  expectColour(lines[5], 0.0f, 0.0f, 1.0f);
}

TEST(HudStatusLines, PlayerToMoveIsYellowTheOtherGrey) {
  Game game = quietTable();
  game.match.currentPlayer = 1;
  const auto lines = hudStatusLines(game, screenW, screenH);
  expectColour(lines[3], 0.3f, 0.3f, 0.3f);
  expectColour(lines[4], 1.0f, 1.0f, 0.0f);
}

TEST(HudStatusLines, NextBallWinsTheRound) {
  // 10 : 0 with one red (5) left: 15 passes the winning score of 7.
  Game game = tableWith({colourRed});
  game.match.scores = {10.0f, 0.0f};
  const auto lines = hudStatusLines(game, screenW, screenH);
  ASSERT_GE(lines.size(), 4u);
  EXPECT_EQ(lines[2].bytes, "5 pont maradt");
  EXPECT_EQ(lines[3].bytes, cp("Következőre nyersz!"));
  expectAt(lines[3], 640, 60);
  expectColour(lines[3], 0.0f, 1.0f, 1.0f);
}

TEST(HudStatusLines, NextBallWinsTheMatchReplacesTheRoundNotice) {
  Game game = tableWith({colourRed});
  game.match.currentPlayer = 1;
  game.match.scores = {0.0f, 10.0f};
  game.match.roundsWon = {0, 2};
  const auto lines = hudStatusLines(game, screenW, screenH);
  const auto all = texts(lines);
  EXPECT_EQ(std::count(all.begin(), all.end(), cp("KÖVETKEZŐRE NYERED A MECCSET!")), 1);
  EXPECT_EQ(std::count(all.begin(), all.end(), cp("Következőre nyersz!")), 0);
  expectAt(lines[3], 640, 60);

  // The rounds that count are the mover's: player 1's two rounds do not decide anything here.
  game.match.roundsWon = {2, 0};
  EXPECT_EQ(hudStatusLines(game, screenW, screenH)[3].bytes, cp("Következőre nyersz!"));
}

TEST(HudStatusLines, MultipliersHideThePointLinesAndShowInPlayerLines) {
  Game game = tableWith({colourRed});
  game.settings.multiplierEnabled = 1;
  game.match.scores = {12.6f, 40.0f};
  game.match.multipliers = {1.5f, 2.0f};
  game.match.roundsWon = {0, 2};
  game.match.currentPlayer = 1;  // would win the match with the next ball without multipliers
  game.match.ballInHand = 0;
  auto lines = hudStatusLines(game, screenW, screenH);
  const std::vector<std::string> expected = {
      cp("Erősség: 0"), "[0 (5) 2]", cp("<Játékos1>: 13 [1.5X]"), cp("<Játékos2>: 40 [2X]"), cp("PIROS")};
  EXPECT_EQ(texts(lines), expected);

  game.match.multipliers = {1.0f, 1.0f};
  lines = hudStatusLines(game, screenW, screenH);
  EXPECT_EQ(lines[2].bytes, cp("<Játékos1>: 13 [1X]"));
}

TEST(HudStatusLines, TargetColourWordAndColour) {
  Game game = tableWith({colourGreen});
  game.match.ballInHand = 0;
  auto lines = hudStatusLines(game, screenW, screenH);
  EXPECT_EQ(lines.back().bytes, cp("ZÖLD"));
  expectColour(lines.back(), 0.0f, 1.0f, 0.0f);

  game.match.targetColour = colourRed;
  lines = hudStatusLines(game, screenW, screenH);
  EXPECT_EQ(lines.back().bytes, "PIROS");
  expectColour(lines.back(), 1.0f, 0.0f, 0.0f);

  game.match.targetColour = colourCueBall;
  lines = hudStatusLines(game, screenW, screenH);
  for (const HudText& line : lines) EXPECT_NE(line.y, screenH - 20) << line.bytes;
}

TEST(HudStatusLines, BallInHandNoticeIsWrittenOverTheFoul) {
  Game game = tableWith({colourBlue});
  game.match.targetColour = colourCueBall;  // keep the bottom-right word out of the way
  game.match.foulCommitted = 1;
  game.match.ballInHand = 1;
  auto lines = hudStatusLines(game, screenW, screenH);
  ASSERT_GE(lines.size(), 2u);
  const HudText& foul = lines[lines.size() - 2];
  const HudText& inHand = lines.back();
  EXPECT_EQ(foul.bytes, cp("HIBÁZOTT!"));
  expectColour(foul, 1.0f, 0.0f, 0.0f);
  EXPECT_EQ(inHand.bytes, cp("Golyó a \"kézben\", állj arra a helyre, ahobá ki szeretnéd tenni, majd kattints az "
                             "egérrel."));
  expectColour(inHand, 0.0f, 1.0f, 0.0f);
  expectAt(foul, 0, 1004);
  expectAt(inHand, 0, 1004);

  // While a ball still rolls only the foul shows.
  game.world.balls[0].velocity = Vec3{5.0f, 0.0f, 0.0f};
  lines = hudStatusLines(game, screenW, screenH);
  EXPECT_EQ(lines.back().bytes, cp("HIBÁZOTT!"));
}

TEST(HudStatusLines, LongestNameFitsTheBuffer) {
  Game game = tableWith({colourBlue});
  game.settings.multiplierEnabled = 1;
  game.settings.player2Name = std::string(maxNameBytes, '\xE1');
  game.match.scores = {0.0f, 3.0e38f};
  game.match.multipliers = {1.0f, 1.5f};
  const auto lines = hudStatusLines(game, screenW, screenH);
  const std::string& line = lines[3].bytes;
  EXPECT_EQ(line.substr(0, maxNameBytes + 2), game.settings.player2Name + ": ");
  EXPECT_EQ(line.substr(line.size() - 7), " [1.5X]");
  EXPECT_LT(line.size(), static_cast<size_t>(hudTextBufferBytes));
}

TEST(HudHelpScreen, TwentyEightGreenLinesAtTheirRows) {
  const auto& lines = helpScreenLines();
  ASSERT_EQ(lines.size(), static_cast<size_t>(helpLineCount));
  const int rows[helpLineCount] = {50,  70,  90,  105, 120, 135, 150, 165, 185, 200, 215, 235, 250, 270,
                                   290, 310, 330, 345, 360, 375, 390, 405, 420, 435, 455, 475, 490, 505};
  for (int i = 0; i < helpLineCount; ++i) {
    expectAt(lines[i], 0, rows[i]);
    expectColour(lines[i], 0.0f, 1.0f, 0.0f);
    // Every letter had a Windows-1250 code.
    EXPECT_EQ(lines[i].bytes.find('?'), std::string::npos) << i;
  }
}

TEST(HudHelpScreen, ExactBytes) {
  const auto& lines = helpScreenLines();
  EXPECT_EQ(lines[0].bytes, "Morvane v1.2 menetk\xF6zbeni s\xFAg\xF3");
  EXPECT_EQ(lines[1].bytes, "SZAB\xC1LYOK");
  EXPECT_EQ(lines[16].bytes, "8,5: el\xF5re, h\xE1tra");
  EXPECT_NE(lines[15].bytes.find("billenty\xFBzetet"), std::string::npos);
  // Words split across lines keep their hyphens.
  EXPECT_EQ(lines[5].bytes.back(), '-');
  EXPECT_EQ(lines[26].bytes.substr(lines[26].bytes.size() - 5), "eg\xE9r-");
}

TEST(HudProgressBar, HiddenWhileNoSearchRuns) {
  Game game = tableWith({colourBlue});
  game.progress.progressCaption = "Keresés";
  game.progress.progressFraction = 0.5f;
  EXPECT_FALSE(progressBarShape(game, screenW, screenH).has_value());
}

TEST(HudProgressBar, GeometryFromEmptyToFull) {
  Game game = tableWith({colourBlue});
  game.progress.progressVisible = 1;
  game.progress.progressCaption = cp("Lökések próbája");
  game.progress.progressFraction = 0.0f;
  auto shape = progressBarShape(game, screenW, screenH);
  ASSERT_TRUE(shape.has_value());
  EXPECT_EQ(shape->left, 590.0f);
  EXPECT_EQ(shape->fillRight, 590.0f);
  EXPECT_EQ(shape->outlineRight, 690.0f);
  EXPECT_EQ(shape->top, 994.0f);
  EXPECT_EQ(shape->bottom, 1004.0f);
  EXPECT_EQ(shape->caption.bytes, cp("Lökések próbája"));
  expectAt(shape->caption, 590, 989);
  expectColour(shape->caption, 0.0f, 1.0f, 0.0f);

  game.progress.progressFraction = 1.0f;
  EXPECT_EQ(progressBarShape(game, screenW, screenH)->fillRight, 690.0f);
  game.progress.progressFraction = 0.25f;
  EXPECT_EQ(progressBarShape(game, 1279, screenH)->fillRight, 614.0f);
}

TEST(HudProgressBar, CaptionIsDrawnAsStoredNotFormatted) {
  Game game = tableWith({colourBlue});
  game.progress.progressVisible = 1;
  game.progress.progressCaption = "100% %d";
  EXPECT_EQ(progressBarShape(game, screenW, screenH)->caption.bytes, "100% %d");
}

}  // namespace
}  // namespace morvane
