#include "soak/soak_plan.h"

#include <cmath>
#include <cstdio>
#include <random>
#include <vector>

#include "settings/ok_processing.h"

namespace morvane::soak {

// Arenas run from far too small for the rack (the dialog refuses them, and the soak counts the
// refusals) to 5000; the small-arena group plays the crowded tables that only just fit. The
// large racks come less often and with fewer multipliers: their rounds take many thousands of
// shots, and with multipliers every ball must go.
const std::array<SettingsGroup, groupCount> settingsGroups{{
    {"diamond 1-4", 0, 1, 4, 100, 5000, 30, 4},
    {"diamond 5-8", 0, 5, 8, 380, 2000, 10, 1},
    {"chaotic 1-5", 100, 1, 5, 60, 5000, 30, 4},
    {"chaotic 6-20", 100, 6, 20, 200, 5000, 20, 2},
    {"chaotic 21-50", 100, 21, 50, 300, 2000, 10, 1},
    {"small arenas", 50, 1, 8, 1, 500, 30, 4},
}};

namespace {

// Attempts at drawing settings the dialog accepts before the seed is given up.
constexpr int maxDraws = 200;

// One cycle of the groups by their weights, interleaved (smooth weighted round robin), so that a
// short soak already meets most groups and the costly ones come seldom.
std::vector<int> groupCycle() {
  int total = 0;
  for (const SettingsGroup& group : settingsGroups) total += group.weight;
  std::vector<int> cycle;
  std::array<int, groupCount> credit{};
  for (int slot = 0; slot < total; ++slot) {
    int best = 0;
    for (int g = 0; g < groupCount; ++g) {
      credit[g] += settingsGroups[g].weight;
      if (credit[g] > credit[best]) best = g;
    }
    credit[best] -= total;
    cycle.push_back(best);
  }
  return cycle;
}

int levelOf(float aimError) {
  for (int level = 0; level < difficultyLevelCount; ++level) {
    if (difficultyLevels[level].aimError == aimError) return level;
  }
  return -1;
}

DialogInput drawInput(const SettingsGroup& group, std::mt19937_64& draw) {
  auto between = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(draw); };
  auto chance = [&](int percent) { return between(0, 99) < percent; };
  DialogInput input = defaultDialogInput();
  input.player1Computer = input.player2Computer = true;
  input.chaoticRack = chance(group.chaoticPercent);
  input.rack = std::to_string(between(group.minRack, group.maxRack));
  const double logArena = std::uniform_real_distribution<double>(std::log(group.minArena),
                                                                 std::log(group.maxArena))(draw);
  input.arenaSize = std::to_string(static_cast<int>(std::lround(std::exp(logArena))));
  input.rounds = std::to_string(between(1, 5));
  input.difficulty = between(0, difficultyLevelCount - 1);
  input.multiplierEnabled = chance(group.multiplierPercent);
  input.winnerStartsNextRound = chance(50);
  input.randomStart = chance(50);
  return input;
}

}  // namespace

int groupOfSeed(uint32_t seed) {
  static const std::vector<int> cycle = groupCycle();
  return cycle[seed % cycle.size()];
}

MatchPlan planMatch(uint32_t seed) {
  MatchPlan plan;
  plan.seed = seed;
  plan.group = groupOfSeed(seed);
  plan.random = Random(seed);
  std::mt19937_64 draw(seed * 0x9E3779B97F4A7C15ull + 1);
  for (int attempt = 0; attempt < maxDraws; ++attempt) {
    const OkOutcome outcome = processOk(drawInput(settingsGroups[plan.group], draw), plan.random);
    if (!outcome.accepted()) {
      ++plan.refusals;
      continue;
    }
    plan.accepted = true;
    plan.settings = outcome.settings;
    plan.firstPlayer = outcome.currentPlayer;
    return plan;
  }
  return plan;
}

std::string describeSettings(const MatchSettings& s) {
  char text[160];
  std::snprintf(text, sizeof text, "%s %d, arena %g, level %d, %d rounds%s%s", s.chaoticRack ? "chaotic" : "diamond",
                s.rackSize / 2, static_cast<double>(s.arenaHalfSize) * 2.0, levelOf(s.aimError), s.roundsPerMatch,
                s.multiplierEnabled ? ", multipliers" : "", s.winnerStartsNextRound ? ", winner starts" : "");
  return text;
}

}  // namespace morvane::soak
