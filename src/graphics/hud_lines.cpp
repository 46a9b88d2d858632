#include "graphics/hud_lines.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>

#include "rules/referee.h"
#include "rules/scoring.h"
#include "text/cp1250.h"

namespace morvane {
namespace {

struct Rgb {
  float r, g, b;
};

constexpr Rgb magenta{1.0f, 0.0f, 1.0f};
constexpr Rgb grey{0.3f, 0.3f, 0.3f};
constexpr Rgb cyan{0.0f, 1.0f, 1.0f};
constexpr Rgb yellow{1.0f, 1.0f, 0.0f};
constexpr Rgb blue{0.0f, 0.0f, 1.0f};
constexpr Rgb green{0.0f, 1.0f, 0.0f};
constexpr Rgb red{1.0f, 0.0f, 0.0f};

// The overlay's fixed texts, converted to Windows-1250 once. The format strings are converted
// before any formatting: the names they take through %s are Windows-1250 already.
struct StatusTexts {
  std::string strength = toCp1250("Erősség: %-0.0f");
  std::string rounds = toCp1250("[%d (%d) %d]");
  std::string pointsLeft = toCp1250("%d pont maradt");
  std::string winsMatch = toCp1250("KÖVETKEZŐRE NYERED A MECCSET!");
  std::string winsRound = toCp1250("Következőre nyersz!");
  std::string playerWithMultiplier = toCp1250("%s: %-0.0f [%gX]");
  std::string player = toCp1250("%s: %-0.0f");
  std::string colourNames[3] = {toCp1250("KÉK"), toCp1250("ZÖLD"), toCp1250("PIROS")};
  std::string foul = toCp1250("HIBÁZOTT!");
  std::string ballInHand = toCp1250(
      "Golyó a \"kézben\", állj arra a helyre, ahobá ki szeretnéd tenni, majd kattints az egérrel.");
};

const StatusTexts& statusTexts() {
  static const StatusTexts texts;
  return texts;
}

struct HelpSource {
  int y;
  const char* utf8;
};

// The help screen; the hyphens at line ends split words across lines.
constexpr HelpSource helpSource[helpLineCount] = {
    {50, "Morvane v1.2 menetközbeni súgó"},
    {70, "SZABÁLYOK"},
    {90, "Induláskor neked kell leraknod a fehér golyót oda, ahová akarod. Ehhez egyszerűen állj arra helyre,"},
    {105, "ahová le akarod tenni. Ezután lökhetsz is. A szabály az, hogy mindig a kék golyókat kell eltalálni,"},
    {120, "majd utána a zöldeket végül a pirosakat. Ugyanez vonatkozik a belökésekre is. Kéket, ha van, zöldek,"},
    {135, "majd a pirosak. A golyók pontot érnek. A kék 1 pontot, a zöld 2 pontot, a piros pedig 5-öt. Attól füg-"},
    {150, "gően, hogy a szorzók be vannak-e állítva kaphatsz több pontot is. Ha lökésekkor hibázol, akkor az a-"},
    {165, "dott körben szerzett pontjaidat elveszíted. A következő dolgok számítanak hibának:"},
    {185, "- Fehér golyó nem koccan."},
    {200, "- Nem a megfelelő színű golyó esik le. (beleértve a fehéret)"},
    {215, "- Nem a megfelelő színű golyóval koccan a fehér először."},
    {235, "Az nyer, akinek az összes golyó belökése után a legtöbb pontja van. Gyorsításként, a program automa-"},
    {250, "tikusan kijelenti a győzelmet, ha az ellenfél már biztos nem tudja megelőzni az adott játékost."},
    {270, "IRÁNYÍTÁS"},
    {290, "Kameramozgatás:"},
    {310, "Kapcsold ki a NUM LOCK-ot és használd a jobboldali számológép billentyűzetet!"},
    {330, "8,5: előre, hátra"},
    {345, "4,6: balra, jobbra"},
    {360, "+,Enter: fel, le"},
    {375, "1,3: fordulás balra, jobbra"},
    {390, "7,9: fordulás le, fel"},
    {405, "0,.: orsózás balra, jobbra"},
    {420, "2: A kamerát a fehér golyó helyére állítja"},
    {435, "A kamerát az egér mozgatásával is forgathatod."},
    {455, "Dákóbeállítás:"},
    {475, "Ha úgy mozgatod a az egeret, hogy közben tartod CTRL-t, akkor azzal a dákót állítod be. Ilyenkor pont"},
    {490, "olyan irányból látod a fehér golyót, hogy ha ellököd pont előre fog menni. A lökés erősségét a bal ill. jobb egér-"},
    {505, "gombokkal állíthatod be. A beállítás után a SPACE billentyűvel lökheted el a golyót."},
};

// printf formatting into the fixed text buffer; a result that does not fit is cut, never
// written past the buffer.
std::string formatLine(const char* format, ...) {
  char buffer[hudTextBufferBytes];
  va_list args;
  va_start(args, format);
  const int written = std::vsnprintf(buffer, sizeof buffer, format, args);
  va_end(args);
  if (written < 0) return {};
  return std::string(buffer, std::min(static_cast<size_t>(written), sizeof buffer - 1));
}

HudText hudText(std::string bytes, Rgb colour, int x, int y) {
  return HudText{std::move(bytes), colour.r, colour.g, colour.b, x, y};
}

std::string playerLine(const std::string& name, float score, float multiplier, bool withMultiplier) {
  const StatusTexts& texts = statusTexts();
  if (withMultiplier) {
    return formatLine(texts.playerWithMultiplier.c_str(), name.c_str(), static_cast<double>(score),
                      static_cast<double>(multiplier));
  }
  return formatLine(texts.player.c_str(), name.c_str(), static_cast<double>(score));
}

}  // namespace

std::vector<HudText> hudStatusLines(const Game& game, int screenWidth, int screenHeight) {
  const StatusTexts& texts = statusTexts();
  const MatchState& match = game.match;
  const MatchSettings& settings = game.settings;
  const int halfWidth = screenWidth / 2;
  const bool atRest = allBallsAtRest(game.world);
  const bool withMultiplier = settings.multiplierEnabled != 0;

  std::vector<HudText> lines;
  lines.reserve(10);
  lines.push_back(hudText(formatLine(texts.strength.c_str(), static_cast<double>(game.cue.shotStrength)),
                          atRest ? magenta : grey, halfWidth, 15));
  lines.push_back(hudText(
      formatLine(texts.rounds.c_str(), match.roundsWon[0], settings.roundsPerMatch, match.roundsWon[1]), cyan,
      halfWidth, 30));
  if (!withMultiplier) {
    lines.push_back(hudText(formatLine(texts.pointsLeft.c_str(), remainingPoints(game.world)), cyan, halfWidth, 45));
    if (nextPocketWinsMatch(game.world, match, settings)) {
      lines.push_back(hudText(formatLine(texts.winsMatch.c_str()), cyan, halfWidth, 60));
    } else if (nextPocketWinsRound(game.world, match)) {
      lines.push_back(hudText(formatLine(texts.winsRound.c_str()), cyan, halfWidth, 60));
    }
  }
  lines.push_back(hudText(playerLine(settings.player1Name, match.scores[0], match.multipliers[0], withMultiplier),
                          match.currentPlayer == 0 ? yellow : grey, 0, 15));
  lines.push_back(hudText(playerLine(settings.player2Name, match.scores[1], match.multipliers[1], withMultiplier),
                          match.currentPlayer == 1 ? yellow : grey, screenWidth - 200, 15));

  constexpr Rgb colourOf[3] = {blue, green, red};
  if (match.targetColour >= colourBlue && match.targetColour <= colourRed) {
    lines.push_back(hudText(formatLine(texts.colourNames[match.targetColour].c_str()), colourOf[match.targetColour],
                            screenWidth - 100, screenHeight - 20));
  }
  if (match.foulCommitted != 0) {
    lines.push_back(hudText(formatLine(texts.foul.c_str()), red, 0, screenHeight - 20));
  }
  if (match.ballInHand != 0 && atRest) {
    lines.push_back(hudText(formatLine(texts.ballInHand.c_str()), green, 0, screenHeight - 20));
  }
  return lines;
}

const std::vector<HudText>& helpScreenLines() {
  static const std::vector<HudText> lines = [] {
    std::vector<HudText> made;
    made.reserve(helpLineCount);
    for (const HelpSource& source : helpSource) {
      made.push_back(hudText(formatLine(toCp1250(source.utf8).c_str()), green, 0, source.y));
    }
    return made;
  }();
  return lines;
}

std::optional<ProgressBarShape> progressBarShape(const Game& game, int screenWidth, int screenHeight) {
  const ProgressState& progress = game.progress;
  if (progress.progressVisible == 0) return std::nullopt;
  const int left = screenWidth / 2 - 50;
  const double filled = static_cast<double>(progress.progressFraction) * 100.0;
  ProgressBarShape shape{};
  shape.left = static_cast<float>(left);
  shape.fillRight = static_cast<float>(left + filled);
  shape.outlineRight = static_cast<float>(screenWidth / 2 + 50);
  shape.top = static_cast<float>(screenHeight - 30);
  shape.bottom = static_cast<float>(screenHeight - 20);
  // The caption buffer holds at most 199 bytes and ends at its first zero byte.
  const std::string& stored = progress.progressCaption;
  const size_t length = std::min({stored.find('\0'), stored.size(), static_cast<size_t>(maxProgressCaptionBytes)});
  shape.caption = hudText(stored.substr(0, length), green, left, screenHeight - 35);
  return shape;
}

}  // namespace morvane
