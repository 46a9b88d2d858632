// The computer's turn and the world tick, each beside its straightforward version in the same
// run. A turn benchmark plays a set of situations once per iteration, each on a fresh copy of
// the game, and reports the median and the largest single turn besides the total.
//
// Tick: the live tick's world step and the rest test, on a world in motion
// (86, 345 and 1000 balls), beside the step with the one-by-one reference passes.
// Turns: the break on the default diamond (n = 5, H = 500), later turns of that game, natural
// turns on the n = 8 diamond, two n = 8 positions in which all 2001 random tries fail, and
// turns on the chaotic n = 50 scatter.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <map>
#include <utility>
#include <string>
#include <vector>

#include "game/computer_player.h"
#include "game/game.h"
#include "reference/one_by_one_search.h"
#include "reference/world_passes.h"
#include "rules/scoring.h"
#include "rules/setup.h"
#include "rules/match_settings.h"
#include "world/collision_engine.h"

namespace morvane {
namespace {

class SilentReporter final : public ProgressReporter {
 public:
  void report(const std::string&, float) override {}
};

MatchHooks& noHooks() {
  static MatchHooks hooks;
  return hooks;
}

// The benchmark program's workers, as the game's main owns its own.
TrialWorkers& trialWorkers() {
  static TrialWorkers workers(defaultTrialWorkerCount());
  return workers;
}

MatchSettings computerSettings(int n, bool chaotic) {
  MatchSettings s = defaultMatchSettings();
  s.rackSize = 2 * n;
  s.chaoticRack = chaotic ? 1 : 0;
  s.arenaHalfSize = 500.0f;
  s.aimError = difficultyLevels[2].aimError;
  s.player1Computer = 1;
  s.player2Computer = 1;
  return s;
}

// The game as the referee starts each of the first `turns` computer turns of a fresh match.
class TurnSnapshots final : public MatchHooks {
 public:
  TurnSnapshots(Game& game, int turns) : game_(game), turns_(turns) {}
  void takeComputerTurn() override {
    if (static_cast<int>(games.size()) == turns_) return;
    games.push_back(game_);
    games.back().hooks = &noHooks();
    if (static_cast<int>(games.size()) == turns_) return;
    SilentReporter silent;
    playComputerTurn(game_, silent, trialWorkers());
  }
  std::vector<Game> games;

 private:
  Game& game_;
  int turns_;
};

std::vector<Game> gamesAtTurns(const MatchSettings& settings, uint32_t seed, int turns) {
  Game game;
  game.random = Random(seed);
  TurnSnapshots hooks(game, turns);
  game.hooks = &hooks;
  startMatch(game, settings, 0);
  uint32_t now = 0;
  for (int tick = 0; tick < 6000 * turns && static_cast<int>(hooks.games.size()) < turns; ++tick) {
    gameTick(game, now += 16);
  }
  return hooks.games;
}

// n = 8 diamond with no pocket and red (the hidden core) to play: every touch is a foul, so no
// try can succeed. With the cue ball inside a blue border ball every stroke fouls in its first
// step; with the cue ball out in the open most strokes miss and roll until they stop.
Game allTriesFail(bool cueBallInsideTheRack) {
  Game game = gamesAtTurns(computerSettings(8, false), 1, 1).front();
  for (Pocket& pocket : game.world.pockets) pocket.active = 0;
  game.match.targetColour = colourRed;
  game.match.breakShotPending = 0;
  game.match.ballInHand = 0;
  const Vec3 spot = cueBallInsideTheRack ? game.world.balls[0].position + Vec3{-10.0f, 0.0f, 0.0f}
                                         : Vec3{-300.0f, 250.0f, -200.0f};
  game.world.balls[cueBallSlot].init(spot, Vec3{}, colourCueBall);
  return game;
}

const std::map<std::string, std::vector<Game>>& situations() {
  static const std::map<std::string, std::vector<Game>> all = [] {
    std::map<std::string, std::vector<Game>> s;
    for (uint32_t seed = 1; seed <= 12; ++seed) {
      std::vector<Game> games = gamesAtTurns(computerSettings(5, false), seed, 5);
      s["diamond5_break"].push_back(games.front());
      s["diamond5_midgame"].insert(s["diamond5_midgame"].end(), games.begin() + 1, games.end());
    }
    for (uint32_t seed = 1; seed <= 4; ++seed) {
      std::vector<Game> games = gamesAtTurns(computerSettings(8, false), seed, 5);
      s["diamond8_midgame"].insert(s["diamond8_midgame"].end(), games.begin() + 1, games.end());
    }
    s["diamond8_all_fail_fouls"].push_back(allTriesFail(true));
    s["diamond8_all_fail_rolls"].push_back(allTriesFail(false));
    for (uint32_t seed = 1; seed <= 4; ++seed) {
      std::vector<Game> games = gamesAtTurns(computerSettings(50, true), seed, 3);
      s["chaotic50"].insert(s["chaotic50"].end(), games.begin(), games.end());
    }
    return s;
  }();
  return all;
}

// The best time of each situation per version, so that the straightforward run (registered
// after the fast one) can report the speed-up turn by turn.
std::map<std::string, std::vector<double>>& bestTimes(bool oneByOne) {
  static std::map<std::string, std::vector<double>> times[2];
  return times[oneByOne ? 1 : 0];
}

void turnBenchmark(benchmark::State& state, const std::string& name, bool oneByOne) {
  const std::vector<Game>& games = situations().at(name);
  std::vector<double>& best = bestTimes(oneByOne)[name];
  best.assign(games.size(), 1e30);
  SilentReporter progress;
  std::vector<double> samples;
  for (auto _ : state) {
    double total = 0.0;
    for (size_t k = 0; k < games.size(); ++k) {
      Game game = games[k];
      const auto begin = std::chrono::steady_clock::now();
      if (oneByOne) {
        playComputerTurnOneByOne(game, progress);
      } else {
        playComputerTurn(game, progress, trialWorkers());
      }
      const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
      benchmark::DoNotOptimize(game.cue.cueDirection);
      samples.push_back(seconds);
      best[k] = std::min(best[k], seconds);
      total += seconds;
    }
    state.SetIterationTime(total);
  }
  std::sort(samples.begin(), samples.end());
  state.counters["turns"] = static_cast<double>(games.size());
  state.counters["median_ms"] = samples[samples.size() / 2] * 1e3;
  state.counters["max_ms"] = samples.back() * 1e3;
  const auto fast = bestTimes(false).find(name);
  if (oneByOne && fast != bestTimes(false).end()) {
    std::vector<double> speedups;
    for (size_t k = 0; k < games.size(); ++k) speedups.push_back(best[k] / fast->second[k]);
    std::sort(speedups.begin(), speedups.end());
    state.counters["min_speedup"] = speedups.front();
    state.counters["median_speedup"] = speedups[speedups.size() / 2];
  }
}

enum class Motion { diamond5Break, diamond8Break, chaotic50Shot, chaotic50AllMoving };

// A world in motion: a diamond broken by a full-strength cue ball and left running for a while;
// the chaotic n = 50 scatter with the cue ball struck through it (999 balls at rest, a few set
// moving); or that scatter with every one of its 1000 balls moving, a stress case.
World worldInMotion(Motion motion) {
  World world;
  world.arenaHalfSize = 500.0f;
  MatchSettings settings = defaultMatchSettings();
  Random random(7);
  settings.chaoticRack = motion == Motion::chaotic50Shot || motion == Motion::chaotic50AllMoving ? 1 : 0;
  settings.rackSize = motion == Motion::diamond5Break ? 10 : motion == Motion::diamond8Break ? 16 : 100;
  rackBalls(world, settings, random);
  placePockets(world, settings, random);
  if (motion == Motion::chaotic50AllMoving) {
    for (Ball& ball : world.balls) {
      const float x = randomCoordinate(random, 5000.0f);
      const float y = randomCoordinate(random, 5000.0f);
      const float z = randomCoordinate(random, 5000.0f);
      ball.velocity = Vec3{x, y, z};
    }
    return world;
  }
  if (motion == Motion::chaotic50Shot) {
    world.balls[cueBallSlot].init(Vec3{-470.0f, -470.0f, -470.0f}, Vec3{12000.0f, 9000.0f, 7000.0f}, colourCueBall);
  } else {
    world.balls[cueBallSlot].init(Vec3{-300.0f, -20.0f, -20.0f}, Vec3{20000.0f, 0.0f, 0.0f}, colourCueBall);
  }
  MatchState match;
  match.targetColour = colourBlue;
  ScoringListener scoring(match, settings);
  SilentSink silence;
  CollisionEngine engine;
  WholeTable passes(engine);
  for (int tick = 0; tick < 40; ++tick) {
    stepWorld(world, passes, FirstTouch{match.cueBallTouched, match.foulCommitted, match.targetColour}, scoring,
              silence);
  }
  return world;
}

// The world's share of a tick: motion, collisions, pocketing and the referee's rest test; the
// straightforward version with the all-pairs and every-pocket passes.
void tickBenchmark(benchmark::State& state, Motion motion, bool straightforward) {
  const World start = worldInMotion(motion);
  const MatchSettings settings = defaultMatchSettings();
  SilentSink silence;
  CollisionEngine engine;
  WholeTable wholeTable(engine);
  OneByOnePasses oneByOne;
  World world = start;
  MatchState match;
  int ticks = 0;
  int moving = 0;
  for (auto _ : state) {
    if (ticks++ % 64 == 0) {  // keep the world in the same stage of motion
      state.PauseTiming();
      world = start;
      match = MatchState{};
      match.targetColour = colourBlue;
      state.ResumeTiming();
    }
    const FirstTouch touch{match.cueBallTouched, match.foulCommitted, match.targetColour};
    ScoringListener scoring(match, settings);
    if (straightforward) {
      stepWorld(world, oneByOne, touch, scoring, silence);
    } else {
      stepWorld(world, wholeTable, touch, scoring, silence);
    }
    benchmark::DoNotOptimize(allBallsAtRest(world));
  }
  for (const Ball& ball : start.balls) moving += ball.isAtRest() ? 0 : 1;
  int active = 0;
  for (const Ball& ball : start.balls) active += ball.active;
  state.counters["balls"] = active;
  state.counters["moving"] = moving;
}

void registerAll() {
  const std::pair<const char*, Motion> worlds[] = {{"diamond5_break", Motion::diamond5Break},
                                                    {"diamond8_break", Motion::diamond8Break},
                                                    {"chaotic50_shot", Motion::chaotic50Shot},
                                                    {"chaotic50_all_moving", Motion::chaotic50AllMoving}};
  for (const auto& [name, motion] : worlds) {
    for (bool straightforward : {false, true}) {
      const std::string label = std::string("tick/") + name + (straightforward ? "/all_pairs" : "/engine");
      benchmark::RegisterBenchmark(label.c_str(), tickBenchmark, motion, straightforward)
          ->Unit(benchmark::kMicrosecond);
    }
  }
  for (const char* name : {"diamond5_break", "diamond5_midgame", "diamond8_midgame", "diamond8_all_fail_fouls",
                           "diamond8_all_fail_rolls", "chaotic50"}) {
    for (bool oneByOne : {false, true}) {
      // Played one by one, the 2001 rolling tries take some seven minutes (measured once):
      // too long for a routine run.
      if (oneByOne && std::string(name) == "diamond8_all_fail_rolls") continue;
      const std::string label = std::string("turn/") + name + (oneByOne ? "/one_by_one" : "/fast");
      benchmark::RegisterBenchmark(label.c_str(), turnBenchmark, std::string(name), oneByOne)
          ->UseManualTime()
          ->Unit(benchmark::kMillisecond)
          ->MinTime(oneByOne ? 0.01 : 1.0);
    }
  }
}

const bool registered = (registerAll(), true);

}  // namespace
}  // namespace morvane
