#pragma once
// Which settings each soak match is played with. A match is fully decided by its seed: the
// seed picks the group, the settings are drawn for that group and confirmed through the
// dialog's own OK processing, and the game's generator starts from the seed too, so any match
// can be replayed alone.
#include <array>
#include <cstdint>
#include <string>

#include "math/random.h"
#include "rules/match_settings.h"

namespace morvane::soak {

struct SettingsGroup {
  const char* name;
  int chaoticPercent;      // how often the layout is chaotic
  int minRack, maxRack;    // the typed "Lerakat" number
  int minArena, maxArena;  // the typed "Térméret", drawn evenly on a logarithmic scale
  int multiplierPercent;   // how often "Van szorzó" is on (every ball must then be pocketed)
  int weight;              // matches of this group in each cycle of the seeds through the groups
};

constexpr int groupCount = 6;
extern const std::array<SettingsGroup, groupCount> settingsGroups;

// The group a seed plays in: the seeds cycle through the groups by their weights, interleaved.
int groupOfSeed(uint32_t seed);

struct MatchPlan {
  uint32_t seed = 0;
  int group = 0;
  bool accepted = false;  // false: the dialog refused every draw (the match is not played)
  int refusals = 0;       // draws the dialog refused before one was accepted
  MatchSettings settings;
  int32_t firstPlayer = 0;
  Random random;  // the game's generator as the dialog leaves it
};

// Both players computer-controlled; every other choice drawn for the seed's group.
MatchPlan planMatch(uint32_t seed);

// "diamond 5, arena 1000, level 2, 3 rounds, multipliers, winner starts"
std::string describeSettings(const MatchSettings& settings);

}  // namespace morvane::soak
