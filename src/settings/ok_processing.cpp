#include "settings/ok_processing.h"

#include <algorithm>
#include <charconv>
#include <cstddef>
#include <limits>
#include <memory>
#include <string_view>
#include <system_error>

#include "rules/setup.h"
#include "text/cp1250.h"

namespace morvane {
namespace {

// An edit's text is read into a 200-byte buffer: at most 199 Windows-1250 bytes and the zero.
constexpr std::size_t maxEditBytes = 199;

constexpr int32_t minRackChaotic = 1;    // 20 balls per typed unit, so 10 .. 1000 balls
constexpr int32_t maxRackChaotic = 100;
constexpr int32_t minRackDiamond = 2;    // a diamond edge of 1 .. 8 balls
constexpr int32_t maxRackDiamond = 16;

const char* const errorCaption = "HIBA!";

bool isSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

std::string editText(std::string_view utf8) {
  std::string text = toCp1250(utf8);
  if (text.size() > maxEditBytes) text.resize(maxEditBytes);
  return text;
}

std::size_t skipSpaces(std::string_view text, std::size_t i) {
  while (i < text.size() && isSpace(text[i])) ++i;
  return i;
}

// The leading whole number, read like strtol: blanks, a sign, digits; nothing else counts and
// no digits give 0. Saturates at the int32 range instead of overflowing.
int32_t leadingInt(std::string_view text) {
  std::size_t i = skipSpaces(text, 0);
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  constexpr int64_t limit = int64_t{std::numeric_limits<int32_t>::max()} + 1;
  int64_t magnitude = 0;
  for (; i < text.size() && isDigit(text[i]); ++i) {
    magnitude = std::min(limit, magnitude * 10 + (text[i] - '0'));
  }
  const int64_t value = negative ? -magnitude : magnitude;
  return static_cast<int32_t>(std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(),
                                                  std::numeric_limits<int32_t>::max()));
}

// The leading decimal number, read like strtod in the "C" locale but without the hexadecimal,
// "inf" and "nan" forms: blanks, a sign, digits with an optional point, an optional exponent.
// No digits give 0; too large gives an infinity of the right sign, too small gives 0.
double leadingDouble(std::string_view text) {
  std::size_t i = skipSpaces(text, 0);
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  const std::size_t numberStart = i;

  // Decimal position of the first non-zero digit relative to the point, to tell an overflow
  // from an underflow when the value does not fit a double.
  bool sawDigit = false;
  bool sawNonZero = false;
  int64_t leadingPower = 0;
  int64_t integerDigits = 0;
  for (; i < text.size() && isDigit(text[i]); ++i, ++integerDigits) {
    sawDigit = true;
    if (!sawNonZero && text[i] != '0') {
      sawNonZero = true;
      leadingPower = -integerDigits;  // completed once the integer part's length is known
    }
  }
  if (sawNonZero) leadingPower += integerDigits - 1;
  if (i < text.size() && text[i] == '.') {
    ++i;
    for (int64_t place = -1; i < text.size() && isDigit(text[i]); ++i, --place) {
      sawDigit = true;
      if (!sawNonZero && text[i] != '0') {
        sawNonZero = true;
        leadingPower = place;
      }
    }
  }
  if (!sawDigit) return 0.0;

  int64_t exponent = 0;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    std::size_t j = i + 1;
    bool negativeExponent = false;
    if (j < text.size() && (text[j] == '+' || text[j] == '-')) negativeExponent = text[j++] == '-';
    if (j < text.size() && isDigit(text[j])) {
      for (; j < text.size() && isDigit(text[j]); ++j) {
        exponent = std::min<int64_t>(exponent * 10 + (text[j] - '0'), 1'000'000'000);
      }
      if (negativeExponent) exponent = -exponent;
      i = j;
    }
  }

  const std::string_view number = text.substr(numberStart, i - numberStart);
  double value = 0.0;
  const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
  (void)end;
  if (error == std::errc::result_out_of_range) {
    value = leadingPower + exponent >= 0 ? std::numeric_limits<double>::infinity() : 0.0;
  }
  return negative ? -value : value;
}

// A double as a float, saturating to the infinities instead of an undefined conversion.
float toFloatSaturating(double value) {
  constexpr double largest = std::numeric_limits<float>::max();
  if (value > largest) return std::numeric_limits<float>::infinity();
  if (value < -largest) return -std::numeric_limits<float>::infinity();
  return static_cast<float>(value);
}

int32_t flag(bool checked) { return checked ? 1 : 0; }

bool rackSizeValid(int32_t rackSize, bool chaotic) {
  if (chaotic) return rackSize >= minRackChaotic && rackSize <= maxRackChaotic;
  return rackSize >= minRackDiamond && rackSize <= maxRackDiamond;
}

// The first round laid out exactly as the game will lay it out (after the start draw, if any),
// on copies: the live generator is not advanced by the check.
bool firstRoundPlayable(const MatchSettings& settings, bool drawsStart, Random random) {
  if (drawsStart) random.next();
  const auto world = std::make_unique<World>();
  layOutRound(*world, settings, random);
  return layoutPlayable(*world);
}

}  // namespace

DialogInput defaultDialogInput() {
  // Built from std::string values rather than assigned from literals: GCC 12 warns falsely
  // (-Wrestrict) about inlined literal assignments here.
  DialogInput input;
  input.player1Name = std::string("<Játékos1>");
  input.player2Name = std::string("<Játékos2>");
  input.arenaSize = std::string("1000");
  input.rack = std::string("5");
  input.rounds = std::string("5");
  input.randomStart = true;
  input.difficulty = 0;
  return input;
}

OkOutcome processOk(const DialogInput& input, Random& random) {
  OkOutcome outcome;
  MatchSettings& s = outcome.settings;

  s.player1Name = editText(input.player1Name);
  s.player2Name = editText(input.player2Name);
  // Half of the typed edge, worked in double and rounded once to the stored float.
  s.arenaHalfSize = toFloatSaturating(leadingDouble(editText(input.arenaSize)) * 0.5);
  s.player1Computer = flag(input.player1Computer);
  s.player2Computer = flag(input.player2Computer);
  s.chaoticRack = flag(input.chaoticRack);
  // Doubled in 64 bits: a saturated typed number must not wrap into the accepted range.
  const int64_t doubledRack = int64_t{leadingInt(editText(input.rack))} * 2;
  s.rackSize = static_cast<int32_t>(std::clamp<int64_t>(
      doubledRack, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
  s.roundsPerMatch = leadingInt(editText(input.rounds));

  // The rack is checked first; the arena and the rounds are refused after it, so a wrong rack
  // is always the message shown when several values are wrong.
  if (!rackSizeValid(s.rackSize, input.chaoticRack)) {
    outcome.refusal = Refusal{"A lerakat érvénytelen!", errorCaption};
    return outcome;
  }
  // An arena too small for the rack would rack balls beyond the walls or leave no room for a
  // pocket, and a round without a pocket can never end.
  if (!(s.arenaHalfSize > 0.0f && s.arenaHalfSize <= maxArenaHalfSize) ||
      !firstRoundPlayable(s, input.randomStart, random)) {
    outcome.refusal = Refusal{"A térméret érvénytelen!", errorCaption};
    return outcome;
  }
  if (s.roundsPerMatch <= 0) {
    outcome.refusal = Refusal{"A körök száma érvénytelen!", errorCaption};
    return outcome;
  }

  s.preSimulation = 1;
  s.winnerStartsNextRound = flag(input.winnerStartsNextRound);
  s.randomStart = flag(input.randomStart);
  const int levelIndex = std::clamp(input.difficulty, 0, difficultyLevelCount - 1);
  const DifficultyLevel& level = difficultyLevels[static_cast<std::size_t>(levelIndex)];
  s.aimError = level.aimError;
  // The level names are plain ASCII, so they are already Windows-1250.
  if (s.player1Computer != 0) s.player1Name = level.name;
  if (s.player2Computer != 0) s.player2Name = level.name;
  s.multiplierEnabled = flag(input.multiplierEnabled);

  outcome.currentPlayer = 0;
  if (s.randomStart != 0) {
    const int r = random.next();
    outcome.currentPlayer = (r % 32 < 16) ? 1 : 0;
  }
  return outcome;
}

}  // namespace morvane
