#include "ai/pre_simulation.h"

#include <memory>

namespace morvane {

bool preSimulateShot(ShotTable& table, const MatchSettings& settings, Vec3 aim, bool requirePocket) {
  auto simulator = std::make_unique<TrialSimulator>();  // some 80 KB: not for the stack
  simulator->setBase(table, settings);
  const TrialOutcome outcome = simulator->play(aim, table.cue.shotStrength, requirePocket);
  table.match.pocketStreak = outcome.pocketStreak;
  table.cue.shotStrength = outcome.shotStrength;
  return outcome.accepted;
}

}  // namespace morvane
