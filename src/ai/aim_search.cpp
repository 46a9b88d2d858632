#include "ai/aim_search.h"

#include <cstdio>
#include <vector>

#include "ai/in_order_trials.h"

namespace morvane {

std::string searchCaption(char phase, int index, int total) {
  char text[32];
  std::snprintf(text, sizeof text, "%c: %d/%d", phase, index, total);
  return text;
}

float cutShotStrength(const MatchState& match, float searchStrength) {
  return match.breakShotPending != 0 ? breakShotStrength : cutShotStrengthFactor * searchStrength;
}

namespace {

// Phase 1 ends at the first candidate whose best cosine is not negative; the list is sorted by
// that very cosine, so the cut shots are exactly the leading candidates below 0.
int cutShotCandidates(const CandidateList& list) {
  int n = 0;
  while (n < list.count && list.costs[n] < 0.0f) ++n;
  return n;
}

}  // namespace

SearchOutcome searchAim(TurnContext& turn, const AimGeometry& geometry, const CandidateList& list,
                        ProgressReporter& progress, Vec3& aim, TrialWorkers& workers) {
  const ShotState base{turn.world, turn.match, turn.cue};
  InOrderTrials trials(workers, base, turn.settings);
  const Vec3 cue = turn.world.balls[cueBallSlot].position;
  const float searchStrength = maxSearchStrength(turn.world.arenaHalfSize);
  const bool breakShot = turn.match.breakShotPending != 0;
  SearchOutcome outcome;
  bool anyTrial = false;
  TrialOutcome lastTrial;
  Vec3 chosenAim{};

  const float cutStrength = cutShotStrength(turn.match, searchStrength);
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
        progress.report(searchCaption('C', k, cutShotCaptionTotal), static_cast<float>(k * 0.001));
        anyTrial = true;
        lastTrial = slot.outcome;
        if (!slot.outcome.accepted) return false;
        outcome = SearchOutcome{SearchPhase::cutShot, k, true, outcome.trials};
        chosenAim = slot.aim;
        return true;
      });
  if (outcome.found) {
    turn.cue.shotStrength = lastTrial.shotStrength;
    turn.match.pocketStreak = lastTrial.pocketStreak;
    progress.hide();
    aim = chosenAim;
    return outcome;
  }

  // Every try's draws are made here, in order, so that the generator ends up exactly where the
  // one-by-one search leaves it: just after the draws of the try that is played.
  std::vector<RandomTry> tries(randomTryCount);
  std::vector<Random> generatorAfter(randomTryCount, turn.random);
  Random random = turn.random;
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
        progress.report(searchCaption('V', n, randomTryCaptionTotal), static_cast<float>(n * 0.0005));
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
  turn.random = generatorAfter[played];
  turn.cue.shotStrength = playedStrength;
  if (anyTrial) turn.match.pocketStreak = lastTrial.pocketStreak;
  outcome.phase = SearchPhase::randomShot;
  outcome.index = played + 1;
  progress.hide();
  aim = tries[played].aim;
  return outcome;
}

}  // namespace morvane
