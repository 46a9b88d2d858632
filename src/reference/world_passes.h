#pragma once
// The straightforward world passes, written the plain way round: one ball at a time, every slot
// pair, every pocket against every ball. They define what the game's passes must produce bit
// for bit; the equality tests and the benchmarks run them side by side with the fast ones. Not
// part of the game.
#include "world/step.h"
#include "world/world.h"

namespace morvane {

// One ball's motion step, with Vec3 arithmetic: move, bounce off the walls at +-arenaHalfSize
// (one click), slow down by 10 or stop below 10.
void stepOneBall(Ball& ball, float arenaHalfSize, SoundSink& sounds);

// stepOneBall for each slot in turn, 0 to 999.
void moveBallsOneByOne(World& world, SoundSink& sounds);

// For i from 0 to 998 and j from i + 1 to 999, both active and in contact (their distance, by
// length, below 40): collideTouchingPair.
void collideBallsAllPairs(World& world, FirstTouch touch, SoundSink& sounds);

// For each active pocket in index order, each active ball in slot order whose centre it holds
// goes to the listener (which takes it off the table), with the pocket sound.
void pocketBallsEveryPocket(World& world, PocketListener& listener, SoundSink& sounds);

// The three passes above, for stepWorld.
struct OneByOnePasses {
  void move(World& world, SoundSink& sounds) { moveBallsOneByOne(world, sounds); }
  void collide(World& world, FirstTouch& touch, SoundSink& sounds) { collideBallsAllPairs(world, touch, sounds); }
  void pocket(World& world, PocketListener& listener, SoundSink& sounds) {
    pocketBallsEveryPocket(world, listener, sounds);
  }
};

}  // namespace morvane
