#include "rules/match_settings.h"

#include "text/cp1250.h"

namespace morvane {

const std::array<DifficultyLevel, difficultyLevelCount> difficultyLevels = {{
    {0.06992681f, "Trainee"},
    {0.03492077f, "Rookie"},
    {0.017455064f, "Moderatus"},
    {0.008726867f, "The expert"},
    {0.0f, "THE CHAMPION"},
}};

MatchSettings defaultMatchSettings() {
  MatchSettings s;
  s.arenaHalfSize = 500.0f;
  s.roundsPerMatch = 5;
  s.aimError = difficultyLevels[0].aimError;
  s.rackSize = 10;
  s.preSimulation = 1;
  s.randomStart = 1;
  s.player1Name = toCp1250("<Játékos1>");
  s.player2Name = toCp1250("<Játékos2>");
  return s;
}

}  // namespace morvane
