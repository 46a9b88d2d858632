#pragma once
// Everything the players choose before a match. Filled once by the settings dialog's OK
// processing and only read afterwards. Names are stored as Windows-1250 bytes.
#include <array>
#include <cstdint>
#include <string>

namespace morvane {

constexpr int maxNameBytes = 199;
constexpr int difficultyLevelCount = 5;

struct DifficultyLevel {
  float aimError;    // tangent of the largest aim error
  const char* name;  // the name a computer player gets (plain ASCII, so already Windows-1250)
};

// Trainee 4 degrees, Rookie 2, Moderatus 1, The expert 0.5, THE CHAMPION exact.
extern const std::array<DifficultyLevel, difficultyLevelCount> difficultyLevels;

struct MatchSettings {
  float arenaHalfSize = 0.0f;
  int32_t roundsPerMatch = 0;
  float aimError = 0.0f;
  int32_t rackSize = 0;  // twice the "Lerakat" number
  int32_t player1Computer = 0;
  int32_t player2Computer = 0;
  int32_t chaoticRack = 0;
  int32_t preSimulation = 0;
  int32_t multiplierEnabled = 0;
  int32_t winnerStartsNextRound = 0;
  int32_t randomStart = 0;
  std::string player1Name;
  std::string player2Name;
};

// What confirming the dialog without touching anything gives.
MatchSettings defaultMatchSettings();

}  // namespace morvane
