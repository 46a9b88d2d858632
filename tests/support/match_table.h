#pragma once
// A whole game without a window: world, match, settings, cue and generator, driven tick by tick
// through the same passes as the live game.
#include <algorithm>

#include "rules/cue_state.h"
#include "math/random.h"
#include "rules/match_state.h"
#include "rules/referee.h"
#include "rules/scoring.h"
#include "rules/match_settings.h"
#include "support/recording_hooks.h"
#include "support/recording_sink.h"
#include "world/collision_engine.h"
#include "world/world.h"

namespace morvane {

struct MatchTable {
  MatchTable() { settings.arenaHalfSize = world.arenaHalfSize = 500.0f; }
  // The world passes and the referee, in the tick's order.
  void tick() {
    moveAllBalls(world, sink);
    collideBalls(world, collisions, FirstTouch{match.cueBallTouched, match.foulCommitted, match.targetColour}, sink);
    ScoringListener scoring(match, settings);
    pocketBalls(world, scoring, sink);
    updateRules(world, match, settings, random, hooks);
  }
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
    const auto active = [](const Ball& ball) { return ball.active != 0; };
    return static_cast<int>(std::count_if(world.balls.begin(), world.balls.end(), active));
  }

  World world;
  MatchState match;
  MatchSettings settings = defaultMatchSettings();
  CueState cue;
  Random random{1};
  RecordingHooks hooks;
  RecordingSink sink;
  CollisionEngine collisions;
};

}  // namespace morvane
