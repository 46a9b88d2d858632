#pragma once
// A whole game without a window, driven tick by tick through gameTick itself: default settings
// in a 500 arena, generator seed 1, the rules' requests and the sounds recorded.
#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "game/game.h"
#include "rules/referee.h"
#include "support/recording_sink.h"

namespace morvane {

// MatchHooks that remember what the rules asked for, in order, and each match end.
struct RecordingHooks : MatchHooks {
  void loadSounds() override { calls.push_back("loadSounds"); }
  void buildSphereMesh() override { calls.push_back("buildSphereMesh"); }
  void takeComputerTurn() override { calls.push_back("takeComputerTurn"); ++computerTurns; }
  void endMatch(int winner, const std::string& messageCp1250) override { matchEnds.emplace_back(winner, messageCp1250); }
  std::vector<std::string> calls;
  std::vector<std::pair<int, std::string>> matchEnds;  // the winner and the message
  int computerTurns = 0;
};

struct TestGame : Game {
  TestGame() {
    settings = defaultMatchSettings();
    settings.arenaHalfSize = world.arenaHalfSize = 500.0f;
    random = Random(1);
    hooks = &recorded;
    sounds = &sink;
  }
  TestGame(const TestGame&) = delete;  // a copy would report to the original's recorders

  // One tick: the timer is always due.
  void tick() { gameTick(*this, now += tickIntervalMs + 1); }
  // Ticks until the shot has been judged; returns the number of ticks, or -1 past the limit.
  int playOutShot(int limit = 5000) {
    for (int n = 1; n <= limit; ++n) {
      tick();
      if (match.shotInProgress == 0) return n;
    }
    return -1;
  }
  void putCueBall(Vec3 position) {
    world.balls[cueBallSlot].init(position, Vec3{}, colourCueBall);
    match.ballInHand = 0;
  }
  void strike(Vec3 direction, float strength) {
    cue.cueDirection = direction;
    cue.shotStrength = strength;
    strikeCueBall(world, match, cue, sink);
  }
  int activeBalls() const {
    return static_cast<int>(std::count_if(world.balls.begin(), world.balls.end(), [](const Ball& b) { return b.active != 0; }));
  }

  RecordingHooks recorded;
  RecordingSink sink;
  uint32_t now = 1000;
};

}  // namespace morvane
