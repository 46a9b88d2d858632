#pragma once
// One trial on the sparse trial simulator and on a copy of its base with the full passes (every
// ball stepped, all pairs, every pocket): the same verdict and end state, bit for bit.
#include <gtest/gtest.h>

#include <cstring>

#include "ai/trial_simulator.h"
#include "reference/one_by_one_search.h"

namespace morvane {

// The simulator's base must be set to full and settings already.
inline TrialOutcome expectSameTrial(TrialSimulator& simulator, ShotState full, const MatchSettings& settings, Vec3 aim,
                                    float strength, bool requirePocket) {
  full.cue.shotStrength = strength;
  const bool accepted = playTrialWithFullPasses(full.world, full.match, full.cue, settings, aim, requirePocket);
  const TrialOutcome outcome = simulator.play(aim, strength, requirePocket);
  const ShotState& end = simulator.shot();
  EXPECT_EQ(outcome.accepted, accepted);
  EXPECT_EQ(worldHash(end.world), worldHash(full.world));
  EXPECT_TRUE(end.match == full.match && std::memcmp(&end.cue, &full.cue, sizeof(CueState)) == 0);
  return outcome;
}

}  // namespace morvane
