#pragma once
// The search for the computer's shot: cut shots first, from the straightest to the thinnest,
// then random shots, every candidate played out in advance.
#include <string>

#include "ai/aim_geometry.h"
#include "ai/progress_reporter.h"
#include "ai/trial_workers.h"
#include "ai/turn_context.h"

namespace morvane {

enum class SearchPhase { cutShot = 1, randomShot = 2 };

struct SearchOutcome {
  SearchPhase phase = SearchPhase::randomShot;
  int index = 0;       // k of the cut shot, or n (from 1) of the random try, that is played
  bool found = false;  // false: no try succeeded and the last random try stands
  int trials = 0;      // trials the search looked at, in order, up to the one played
};

// The search on the worker threads, trials on copies of the tables. Sets aim and shotStrength,
// leaves the generator just after the played try's draws and the pocket streak as the last
// trial in order left it, hides the progress bar. Identical in every result to the one-by-one
// search; progress is reported on the calling thread for each trial as its result is taken.
SearchOutcome searchAim(TurnContext& turn, const AimGeometry& geometry, const CandidateList& list,
                        ProgressReporter& progress, Vec3& aim, TrialWorkers& workers);

// The progress caption of a search phase ('C' cut shots, 'V' random tries): "C: 3/1000".
std::string searchCaption(char phase, int index, int total);

// The strength of every cut-shot trial: the break's fixed strength, or a share of the search's.
float cutShotStrength(const MatchState& match, float searchStrength);

}  // namespace morvane
