// tools/soak: computers play each other over mixed settings through the real game tick, and
// every tick is checked (see soak_checks.h). Prints a table per settings group and exits 1 on
// any fault, naming the seed that replays it.
//
//   soak [--seed S] [--rounds N | --seconds T | --quick] [--matches M] [--group G]
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "soak/soak_match.h"

using namespace morvane::soak;

namespace {

constexpr int quickSeconds = 60;
// A tick (a computer turn included) that takes longer than this is a hang: the soak says which
// seed it was playing and stops.
constexpr auto watchdogLimit = std::chrono::minutes(30);

struct Options {
  uint32_t seed = 1;
  int rounds = 0;      // 0: no round limit
  double seconds = 0;  // 0: no time limit
  long matches = 0;    // 0: no match limit
  int group = -1;      // -1: every group
};

struct GroupTotals {
  long matches = 0, finished = 0, refusals = 0, givenUp = 0;
  long rounds = 0, shots = 0;
  uint64_t ticks = 0;
  int longestStall = 0;
  std::vector<double> turnMs;
};

[[noreturn]] void usage() {
  std::fprintf(stderr,
               "usage: soak [--seed S] [--rounds N | --seconds T | --quick] [--matches M] [--group G]\n"
               "  --seed S     first match seed (default 1); match k plays seed S + k\n"
               "  --rounds N   stop once N rounds have ended\n"
               "  --seconds T  stop after T seconds, each match after a sixth of them at most;\n"
               "               --quick is --seconds %d\n"
               "  --matches M  play at most M matches (--seed S --matches 1 replays one match)\n"
               "  --group G    only the seeds of group G (0-%d)\n",
               quickSeconds, groupCount - 1);
  std::exit(2);
}

Options parse(int argc, char** argv) {
  Options o;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    auto value = [&]() -> long {
      if (i + 1 >= argc) usage();
      char* end = nullptr;
      const long v = std::strtol(argv[++i], &end, 10);
      if (*end != '\0' || v < 0) usage();
      return v;
    };
    if (arg == "--seed") o.seed = static_cast<uint32_t>(value());
    else if (arg == "--rounds") o.rounds = static_cast<int>(value());
    else if (arg == "--seconds") o.seconds = static_cast<double>(value());
    else if (arg == "--quick") o.seconds = quickSeconds;
    else if (arg == "--matches") o.matches = value();
    else if (arg == "--group") o.group = static_cast<int>(value());
    else usage();
  }
  if (o.group >= groupCount) usage();
  if (o.rounds == 0 && o.seconds == 0 && o.matches == 0) o.seconds = quickSeconds;
  return o;
}

double percentile(std::vector<double> v, double p) {
  if (v.empty()) return 0.0;
  std::sort(v.begin(), v.end());
  const auto rank = static_cast<size_t>(std::ceil(p * static_cast<double>(v.size())));
  return v[std::min(v.size() - 1, rank > 0 ? rank - 1 : 0)];
}

void printRow(const char* name, const GroupTotals& t) {
  std::printf("%-14s %7ld %8ld %7ld %7ld %8ld %11llu %6d %7zu %9.1f %9.1f %9.1f\n", name, t.matches, t.finished,
              t.refusals, t.rounds, t.shots, static_cast<unsigned long long>(t.ticks), t.longestStall,
              t.turnMs.size(), percentile(t.turnMs, 0.5), percentile(t.turnMs, 0.99), percentile(t.turnMs, 1.0));
}

void add(GroupTotals& into, const GroupTotals& from) {
  into.matches += from.matches, into.finished += from.finished, into.refusals += from.refusals;
  into.givenUp += from.givenUp, into.rounds += from.rounds, into.shots += from.shots, into.ticks += from.ticks;
  into.longestStall = std::max(into.longestStall, from.longestStall);
  into.turnMs.insert(into.turnMs.end(), from.turnMs.begin(), from.turnMs.end());
}

}  // namespace

int main(int argc, char** argv) {
  const Options options = parse(argc, argv);
  const auto start = std::chrono::steady_clock::now();
  StopWhen stop;
  if (options.seconds > 0) {
    stop.deadline = start + std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                                std::chrono::duration<double>(options.seconds));
  }
  morvane::TrialWorkers workers(morvane::defaultTrialWorkerCount());
  std::atomic<uint64_t> ticksDone{0};
  std::atomic<uint32_t> currentSeed{options.seed};
  stop.ticksDone = &ticksDone;
  std::thread([&ticksDone, &currentSeed] {
    uint64_t seen = ticksDone.load();
    for (;;) {
      std::this_thread::sleep_for(watchdogLimit);
      const uint64_t now = ticksDone.load();
      if (now == seen) {
        std::printf("VIOLATION seed %u: no tick finished within %d minutes\n  replay: soak --seed %u --matches 1\n",
                    currentSeed.load(), static_cast<int>(watchdogLimit.count()), currentSeed.load());
        std::fflush(stdout);
        std::_Exit(1);
      }
      seen = now;
    }
  }).detach();
  std::vector<GroupTotals> totals(groupCount);
  std::vector<std::string> violations;
  long roundsDone = 0, matchesDone = 0;

  for (uint32_t seed = options.seed;; ++seed) {
    if (options.matches > 0 && matchesDone >= options.matches) break;
    if (options.rounds > 0 && roundsDone >= options.rounds) break;
    if (std::chrono::steady_clock::now() >= stop.deadline) break;
    if (options.group >= 0 && groupOfSeed(seed) != options.group) continue;

    currentSeed = seed;
    const MatchPlan plan = planMatch(seed);
    GroupTotals& t = totals[plan.group];
    t.refusals += plan.refusals;
    ++matchesDone;
    if (!plan.accepted) {
      ++t.givenUp;
      continue;
    }
    stop.roundsLeft = options.rounds > 0 ? static_cast<int>(options.rounds - roundsDone) : 1 << 30;
    const auto matchStart = std::chrono::steady_clock::now();
    StopWhen matchStop = stop;
    if (options.seconds > 0) {
      // A run against the clock gives each match a share of it, so that one long match cannot
      // keep the other groups out.
      matchStop.deadline = std::min(stop.deadline, matchStart + (stop.deadline - start) / groupCount);
    }
    const MatchResult r = playMatch(plan, matchStop, workers);
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - matchStart;
    ++t.matches;
    t.finished += r.finished ? 1 : 0;
    t.rounds += r.rounds, t.shots += r.shots, t.ticks += r.ticks;
    t.longestStall = std::max(t.longestStall, r.longestStall);
    t.turnMs.insert(t.turnMs.end(), r.turnMs.begin(), r.turnMs.end());
    roundsDone += r.rounds;
    std::fprintf(stderr, "seed %u [%s] %s: %d rounds, %d shots, %llu ticks, %.1f s%s\n", seed,
                 settingsGroups[plan.group].name, describeSettings(plan.settings).c_str(), r.rounds, r.shots,
                 static_cast<unsigned long long>(r.ticks), took.count(),
                 r.violation ? " VIOLATION" : (r.finished ? "" : " (stopped)"));
    if (r.violation) {
      violations.push_back("seed " + std::to_string(seed) + " [" + describeSettings(plan.settings) + "] " +
                           *r.violation + "\n  replay: soak --seed " + std::to_string(seed) + " --matches 1");
      std::fprintf(stderr, "  %s\n", violations.back().c_str());
    }
  }

  const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
  std::printf("%-14s %7s %8s %7s %7s %8s %11s %6s %7s %9s %9s %9s\n", "group", "matches", "finished", "refused",
              "rounds", "shots", "ticks", "stall", "turns", "median ms", "p99 ms", "max ms");
  GroupTotals all;
  for (int g = 0; g < groupCount; ++g) {
    printRow(settingsGroups[g].name, totals[g]);
    add(all, totals[g]);
  }
  printRow("all", all);
  std::printf("%ld rounds in %.0f s; %ld seed(s) given up after refused settings; %zu violation(s)\n", all.rounds,
              elapsed.count(), all.givenUp, violations.size());
  for (const std::string& v : violations) std::printf("VIOLATION %s\n", v.c_str());
  return violations.empty() ? 0 : 1;
}
