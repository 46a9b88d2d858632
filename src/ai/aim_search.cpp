#include "ai/aim_search.h"

#include <atomic>
#include <cstdio>
#include <memory>
#include <vector>

#include "ai/pre_simulation.h"

namespace morvane {
namespace {

std::string caption(char phase, int index, int total) {
  char text[32];
  std::snprintf(text, sizeof text, "%c: %d/%d", phase, index, total);
  return text;
}

float cutShotStrength(const Game& game, float searchStrength) {
  return game.match.breakShotPending != 0 ? breakShotStrength : cutShotStrengthFactor * searchStrength;
}

// Phase 1 ends at the first candidate whose best cosine is not negative; the list is sorted by
// that very cosine, so the cut shots are exactly the leading candidates below 0.
int cutShotCandidates(const CandidateList& list) {
  int n = 0;
  while (n < list.count && list.costs[n] < 0.0f) ++n;
  return n;
}

struct TrialSlot {
  std::atomic<int> ready{0};
  bool ran = false;  // false: nothing to try (blocked cut shot, random aim of length 0)
  Vec3 aim{};
  float strength = 0.0f;
  TrialOutcome outcome;
};

// Plays planned trials on the workers and on the calling thread, and hands their results to
// the calling thread strictly in item order. Items are taken in ascending order; while the
// result it needs next is not ready, the calling thread takes an item itself (so a turn decided
// by its first trial needs no other thread at all). Once the consumer has its answer, the items
// beyond it are dropped and trials still running on them are abandoned.
class InOrderTrials {
 public:
  InOrderTrials(TrialWorkers& workers, const ShotTable& base, const MatchSettings& settings)
      : workers_(workers), base_(base), settings_(settings), loaded_(workers.workerCount() + 1, 0) {}

  // plan(i, aim, strength, requirePocket) -> whether item i is a trial; runs on any thread.
  // consume(i, slot) -> true to stop; runs on the calling thread.
  template <class Plan, class Consume>
  void run(int count, const Plan& plan, const Consume& consume) {
    if (count <= 0) return;
    std::unique_ptr<TrialSlot[]> slots(new TrialSlot[count]);
    std::atomic<int> next{0};
    std::atomic<int> limit{count};
    // Plays the next item on this thread's simulator; false when none is left.
    auto takeOne = [&](int owner) {
      const int i = next.fetch_add(1, std::memory_order_relaxed);
      if (i >= limit.load(std::memory_order_relaxed)) return false;
      TrialSimulator& simulator = workers_.simulator(owner);
      if (loaded_[owner] == 0) {
        simulator.setBase(base_, settings_);
        loaded_[owner] = 1;
      }
      TrialSlot& slot = slots[i];
      bool requirePocket = false;
      slot.ran = plan(i, slot.aim, slot.strength, requirePocket);
      if (slot.ran) slot.outcome = simulator.play(slot.aim, slot.strength, requirePocket, AbandonWhen{&limit, i});
      slot.ready.store(1, std::memory_order_release);
      slot.ready.notify_one();
      return true;
    };
    const std::function<void(int)> job = [&](int worker) {
      while (takeOne(worker)) {
      }
    };
    workers_.start(job);
    const int self = workers_.workerCount();
    int stop = count;
    for (int i = 0; i < count; ++i) {
      while (slots[i].ready.load(std::memory_order_acquire) == 0) {
        if (!takeOne(self)) {
          slots[i].ready.wait(0, std::memory_order_acquire);
          break;
        }
      }
      if (consume(i, slots[i])) {
        stop = i + 1;
        break;
      }
    }
    limit.store(stop, std::memory_order_relaxed);
    workers_.finish();
  }

 private:
  TrialWorkers& workers_;
  const ShotTable& base_;
  const MatchSettings& settings_;
  std::vector<uint8_t> loaded_;  // entry k written and read only by the owner of simulator k
};

}  // namespace

SearchOutcome searchAim(Game& game, const AimGeometry& geometry, const CandidateList& list,
                        ProgressReporter& progress, Vec3& aim, TrialWorkers& workers) {
  const ShotTable base{game.world, game.match, game.cue};
  InOrderTrials trials(workers, base, game.settings);
  const Vec3 cue = game.world.balls[cueBallSlot].position;
  const float searchStrength = maxSearchStrength(game.world.arenaHalfSize);
  const bool breakShot = game.match.breakShotPending != 0;
  SearchOutcome outcome;
  bool anyTrial = false;
  TrialOutcome lastTrial;
  Vec3 chosenAim{};

  const float cutStrength = cutShotStrength(game, searchStrength);
  trials.run(
      cutShotCandidates(list),
      [&](int k, Vec3& trialAim, float& strength, bool& requirePocket) {
        strength = cutStrength;
        requirePocket = true;
        return geometry.cutShotAim(cue, list.slots[k], trialAim);
      },
      [&](int k, const TrialSlot& slot) {
        if (!slot.ran) return false;
        ++outcome.trials;
        progress.report(caption('C', k, cutShotCaptionTotal), static_cast<float>(k * 0.001));
        anyTrial = true;
        lastTrial = slot.outcome;
        if (!slot.outcome.accepted) return false;
        outcome = SearchOutcome{SearchPhase::cutShot, k, true, outcome.trials};
        chosenAim = slot.aim;
        return true;
      });
  if (outcome.found) {
    game.cue.shotStrength = lastTrial.shotStrength;
    game.match.pocketStreak = lastTrial.pocketStreak;
    game.progress.progressVisible = 0;
    aim = chosenAim;
    return outcome;
  }

  // Every try's draws are made here, in order, so that the generator ends up exactly where the
  // one-by-one search leaves it: just after the draws of the try that is played.
  std::vector<RandomTry> tries(randomTryCount);
  std::vector<Random> generatorAfter(randomTryCount, game.random);
  Random random = game.random;
  for (int i = 0; i < randomTryCount; ++i) {
    tries[i] = drawRandomTry(random, breakShot, searchStrength);
    generatorAfter[i] = random;
  }
  int played = randomTryCount - 1;
  float playedStrength = 0.0f;  // the last try taken is the one played; its trial caps it at 200
  trials.run(
      randomTryCount,
      [&](int i, Vec3& trialAim, float& strength, bool& requirePocket) {
        trialAim = tries[i].aim;
        strength = tries[i].strength;
        requirePocket = i + 1 < pocketRequiredBelowTry;
        return !(trialAim == Vec3{});  // an aim of length 0 has no direction: a failed try
      },
      [&](int i, const TrialSlot& slot) {
        const int n = i + 1;
        progress.report(caption('V', n, randomTryCaptionTotal), static_cast<float>(n * 0.0005));
        playedStrength = slot.ran ? slot.outcome.shotStrength : tries[i].strength;
        if (!slot.ran) return false;
        ++outcome.trials;
        anyTrial = true;
        lastTrial = slot.outcome;
        if (!slot.outcome.accepted) return false;
        played = i;
        outcome.found = true;
        return true;
      });
  game.random = generatorAfter[played];
  game.cue.shotStrength = playedStrength;
  if (anyTrial) game.match.pocketStreak = lastTrial.pocketStreak;
  outcome.phase = SearchPhase::randomShot;
  outcome.index = played + 1;
  game.progress.progressVisible = 0;
  aim = tries[played].aim;
  return outcome;
}

SearchOutcome searchAimOneByOne(Game& game, const AimGeometry& geometry, const CandidateList& list,
                                ProgressReporter& progress, Vec3& aim) {
  const Vec3 cue = game.world.balls[cueBallSlot].position;
  const float searchStrength = maxSearchStrength(game.world.arenaHalfSize);
  SearchOutcome outcome;

  for (int k = 0; k < list.count; ++k) {
    const int slot = list.slots[k];
    if (geometry.bestPocketCosine(cue, geometry.ballPosition(slot), nullptr) >= 0.0f) break;
    Vec3 cutAim;
    if (!geometry.cutShotAim(cue, slot, cutAim)) continue;
    game.cue.shotStrength = cutShotStrength(game, searchStrength);
    progress.report(caption('C', k, cutShotCaptionTotal), static_cast<float>(k * 0.001));
    ++outcome.trials;
    if (preSimulateShotInPlace(game, cutAim, true)) {
      game.progress.progressVisible = 0;
      aim = cutAim;
      return SearchOutcome{SearchPhase::cutShot, k, true, outcome.trials};
    }
  }

  const bool breakShot = game.match.breakShotPending != 0;
  for (int n = 1; n <= randomTryCount; ++n) {
    const RandomTry t = drawRandomTry(game.random, breakShot, searchStrength);
    aim = t.aim;
    game.cue.shotStrength = t.strength;
    progress.report(caption('V', n, randomTryCaptionTotal), static_cast<float>(n * 0.0005));
    outcome.index = n;
    if (aim == Vec3{}) continue;
    ++outcome.trials;
    if (preSimulateShotInPlace(game, aim, n < pocketRequiredBelowTry)) {
      outcome.found = true;
      break;
    }
  }
  outcome.phase = SearchPhase::randomShot;
  game.progress.progressVisible = 0;
  return outcome;
}

}  // namespace morvane
