#pragma once
// Shared helpers for the computer-opponent tests: reporters, games advanced to a given computer
// turn, and playing the armed shot out through the real tick.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "ai/computer_turn.h"
#include "game/game.h"
#include "rules/setup.h"
#include "settings/match_settings.h"

namespace morvane {

class RecordingReporter final : public ProgressReporter {
 public:
  void report(const std::string& captionCp1250, float fraction) override {
    reports.emplace_back(captionCp1250, fraction);
  }
  std::vector<std::pair<std::string, float>> reports;
};

class SilentReporter final : public ProgressReporter {
 public:
  void report(const std::string&, float) override {}
};

inline MatchHooks& noHooks() {
  static MatchHooks hooks;
  return hooks;
}

// Both players computer-controlled, the given rack, arena and level.
inline MatchSettings computerSettings(int n, bool chaotic, float halfSize, int level) {
  MatchSettings s = defaultMatchSettings();
  s.rackSize = 2 * n;
  s.chaoticRack = chaotic ? 1 : 0;
  s.arenaHalfSize = halfSize;
  s.aimError = difficultyLevels[level].aimError;
  s.player1Computer = 1;
  s.player2Computer = 1;
  return s;
}

// Plays a fresh match through the tick, both players computer-controlled, and keeps the game as
// the referee starts each computer turn: games[0] is the first turn (the break, cue ball in
// hand), games[k] the turn after k shots.
class TurnSnapshots final : public MatchHooks {
 public:
  TurnSnapshots(Game& game, int turns) : game_(game), turns_(turns) {}
  void computerTurn() override {
    if (static_cast<int>(games.size()) == turns_) return;
    games.push_back(game_);
    games.back().hooks = &noHooks();
    if (static_cast<int>(games.size()) == turns_) return;
    SilentReporter silent;
    morvane::computerTurn(game_, silent);
  }
  std::vector<Game> games;

 private:
  Game& game_;
  int turns_;
};

inline std::vector<Game> gamesAtTurns(const MatchSettings& settings, uint32_t seed, int turns) {
  Game game;
  game.random = Random(seed);
  TurnSnapshots hooks(game, turns);
  game.hooks = &hooks;
  startMatch(game, settings, 0);
  uint32_t now = 0;
  for (int tick = 0; tick < 6000 * turns && static_cast<int>(hooks.games.size()) < turns; ++tick) {
    now += 16;
    gameTick(game, now);
  }
  EXPECT_EQ(static_cast<int>(hooks.games.size()), turns) << "the computer's turns stopped coming";
  return hooks.games;
}

inline Game gameAtTurn(const MatchSettings& settings, uint32_t seed, int turn) {
  std::vector<Game> games = gamesAtTurns(settings, seed, turn);
  return games.empty() ? Game() : games.back();
}

// Ticks until the armed computer shot has been struck and judged. False if it never was.
inline bool playOutShot(Game& game) {
  uint32_t now = game.tickTimer.startTicks;
  for (int tick = 0; tick < 20000; ++tick) {
    now += 16;
    gameTick(game, now);
    if (game.match.computerShotPending == 0 && game.match.shotInProgress == 0) return true;
  }
  return false;
}

inline bool sameBits(const void* a, const void* b, size_t n) { return std::memcmp(a, b, n) == 0; }

}  // namespace morvane
