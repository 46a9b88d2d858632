#pragma once
// One computer-against-computer match through the real game tick, with the soak's checks after
// every tick and around every computer turn.
#include <atomic>
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "ai/trial_workers.h"
#include "soak/soak_plan.h"

namespace morvane::soak {

// A shot longer than this is a ball that never comes to rest: the fastest lone ball stops
// within 2000 steps, and collisions only share out the speed it had.
constexpr uint64_t maxShotTicks = 40000;

// From one shot's end to the next strike: the computer's search, the cue turning to its aim
// and the pause before it fires.
constexpr uint64_t maxTicksBetweenShots = 20000;

// A round in which this many shots in a row leave every coloured ball on the table has stalled.
constexpr int maxShotsWithoutProgress = 5000;

// Ticks a round may take before it counts as one that never ends: a round with many balls far
// apart and a computer that misses by up to 4 degrees takes some thousands of shots.
uint64_t roundTickBudget(int ballsRacked);

// When to stop early; the match in progress is then left unfinished, which is no fault.
struct StopWhen {
  std::chrono::steady_clock::time_point deadline = std::chrono::steady_clock::time_point::max();
  int roundsLeft = 1 << 30;  // stop as soon as this many rounds have ended
  std::atomic<uint64_t>* ticksDone = nullptr;  // counted up after every tick, for a watchdog
};

struct MatchResult {
  int rounds = 0;   // rounds that ended
  int shots = 0;    // strikes of the cue ball
  uint64_t ticks = 0;
  std::vector<double> turnMs;  // wall-clock time of each computer turn
  int longestStall = 0;        // most shots in a row that left every coloured ball on the table
  bool finished = false;       // the match reached its end
  std::optional<std::string> violation;
};

// Plays the planned (accepted) match until it ends, a check fails or stop says so; the
// computer's trials run on the given workers.
MatchResult playMatch(const MatchPlan& plan, const StopWhen& stop, TrialWorkers& workers);

}  // namespace morvane::soak
