#include "soak/soak_match.h"

#include <algorithm>
#include <memory>

#include "game/computer_player.h"
#include "rules/setup.h"
#include "soak/soak_checks.h"

namespace morvane::soak {
namespace {

// The tick counter's steps: 1000/64 ms, so the computer's 1000 ms pause lasts 64 ticks as in
// the live game.
uint32_t counterAt(uint64_t step) { return 1000u + static_cast<uint32_t>(step * 125u / 8u); }

struct NoFrames final : FrameDrawer {
  void drawFrame(const Game&) override {}
};

// The game's services without a window: set-ups are counted, the computer's turn runs as the
// live game runs it (progress reports included) between the checks, and the end of the match
// is noted instead of starting anew.
struct SoakHooks final : MatchHooks {
  void loadSounds() override { ++setUps; }
  void takeComputerTurn() override {
    turnCheck.before(*game);
    const auto start = std::chrono::steady_clock::now();
    ShowProgressReporter progress(*game, frames, [this] { return now; });
    playComputerTurn(*game, progress, *workers);
    const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
    turnMs->push_back(took.count());
    if (!fault) fault = turnCheck.after(*game);
  }
  void endMatch(int, const std::string&) override { ended = true; }

  Game* game = nullptr;
  TrialWorkers* workers = nullptr;
  uint32_t now = 0;
  std::vector<double>* turnMs = nullptr;
  NoFrames frames;
  TurnCheck turnCheck;
  int setUps = 0;
  bool ended = false;
  std::optional<std::string> fault;
};

int ballsOnTable(const World& world) {
  int count = 0;
  for (const Ball& ball : world.balls) count += ball.active != 0 ? 1 : 0;
  return count;
}

int colouredBallsOnTable(const World& world) {
  int count = 0;
  for (int s = 0; s < cueBallSlot; ++s) count += world.balls[s].active != 0 ? 1 : 0;
  return count;
}

std::string at(uint64_t tick, int round, const std::string& what) {
  return "tick " + std::to_string(tick) + ", round " + std::to_string(round + 1) + ": " + what;
}

}  // namespace

uint64_t roundTickBudget(int ballsRacked) { return 2000000u + 100000u * static_cast<uint64_t>(ballsRacked); }

MatchResult playMatch(const MatchPlan& plan, const StopWhen& stop, TrialWorkers& workers) {
  MatchResult result;
  const auto game = std::make_unique<Game>();
  SoakHooks hooks;
  hooks.game = game.get();
  hooks.workers = &workers;
  hooks.turnMs = &result.turnMs;
  game->random = plan.random;
  game->hooks = &hooks;
  hooks.now = counterAt(0);
  startMatch(*game, plan.settings, plan.firstPlayer);
  if (auto fault = checkLayout(*game)) {
    result.violation = at(0, 0, *fault);
    return result;
  }

  const int rounds = plan.settings.roundsPerMatch;
  uint64_t roundBudget = roundTickBudget(ballsOnTable(game->world));
  const uint64_t matchBudget = roundBudget * static_cast<uint64_t>(2 * (rounds > 0 ? rounds : 1) + 6);
  uint64_t roundTicks = 0, shotTicks = 0, idleTicks = 0;
  int fewestColoured = colouredBallsOnTable(game->world), shotsWithoutProgress = 0;
  TickChecks tickChecks;
  for (uint64_t step = 1;; ++step) {
    if ((step & 1023u) == 0 && std::chrono::steady_clock::now() >= stop.deadline) break;
    tickChecks.before(*game);
    const int setUpsBefore = hooks.setUps;
    const bool rollingBefore = game->match.shotInProgress != 0;
    hooks.now = counterAt(step);
    if (!gameTick(*game, hooks.now)) {
      result.violation = at(result.ticks, result.rounds, "the tick did not run although it was due");
      break;
    }
    ++result.ticks;
    ++roundTicks;
    if (stop.ticksDone != nullptr) stop.ticksDone->fetch_add(1, std::memory_order_relaxed);
    if (hooks.fault) {
      result.violation = at(result.ticks, result.rounds, *hooks.fault);
      break;
    }
    const bool setUp = hooks.setUps != setUpsBefore;
    if (auto fault = tickChecks.after(*game, setUp)) {
      result.violation = at(result.ticks, result.rounds, *fault);
      break;
    }
    if (game->match.shotInProgress != 0) {
      if (!rollingBefore) {
        ++result.shots;
        shotTicks = 0;
        idleTicks = 0;
      }
      if (++shotTicks > maxShotTicks) {
        result.violation = at(result.ticks, result.rounds, "a shot did not come to rest");
        break;
      }
    } else if (++idleTicks > maxTicksBetweenShots) {
      result.violation = at(result.ticks, result.rounds, "no shot was struck within " +
                                                             std::to_string(maxTicksBetweenShots) + " ticks");
      break;
    }
    if (rollingBefore && game->match.shotInProgress == 0) {  // a shot was judged
      const int coloured = colouredBallsOnTable(game->world);
      shotsWithoutProgress = coloured < fewestColoured ? 0 : shotsWithoutProgress + 1;
      fewestColoured = std::min(fewestColoured, coloured);
      result.longestStall = std::max(result.longestStall, shotsWithoutProgress);
      if (shotsWithoutProgress >= maxShotsWithoutProgress) {
        result.violation = at(result.ticks, result.rounds, std::to_string(shotsWithoutProgress) +
                                                               " shots in a row left every coloured ball on the table");
        break;
      }
    }
    if (hooks.ended) {
      result.finished = true;
      break;
    }
    if (setUp) {
      ++result.rounds;
      roundTicks = 0;
      idleTicks = 0;
      shotsWithoutProgress = 0;
      fewestColoured = colouredBallsOnTable(game->world);
      roundBudget = roundTickBudget(ballsOnTable(game->world));
      if (result.rounds >= stop.roundsLeft) break;
    }
    if (roundTicks > roundBudget) {
      result.violation = at(result.ticks, result.rounds, "the round did not end within " +
                                                             std::to_string(roundBudget) + " ticks");
      break;
    }
    if (result.ticks > matchBudget) {
      result.violation = at(result.ticks, result.rounds, "the match did not end within " +
                                                             std::to_string(matchBudget) + " ticks");
      break;
    }
  }
  return result;
}

}  // namespace morvane::soak
