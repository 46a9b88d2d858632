#pragma once
// One simulation step of the balls: motion, then collisions, then pocketing. This order is the
// game's, and every pass runs in ascending slot order; results depend on both. Whatever plays
// the world forward (the live tick, the computer's trials, the reference passes the tests and
// benchmarks compare with) steps it through stepWorld. The Passes say which balls each pass
// visits, and all of them leave the same tables bit for bit:
//   passes.move(world, sounds)                     the motion step
//   passes.collide(world, touch, sounds)           the pairs in contact, first touch recorded
//   passes.pocket(world, listener, sounds)         the balls that fell, to the listener
#include "world/collision_engine.h"
#include "world/world.h"

namespace morvane {

template <class Passes>
void stepWorld(World& world, Passes& passes, FirstTouch touch, PocketListener& pockets, SoundSink& sounds) {
  passes.move(world, sounds);
  passes.collide(world, touch, sounds);
  passes.pocket(world, pockets, sounds);
}

// The live tick's passes: every slot moves, the collision engine takes a new snapshot of the
// whole table with every active ball as a candidate, every ball is tested against the pockets.
class WholeTable {
 public:
  explicit WholeTable(CollisionEngine& engine) : engine_(engine) {}
  void move(World& world, SoundSink& sounds) { moveBalls(world, BallSelection::all(), sounds); }
  void collide(World& world, FirstTouch& touch, SoundSink& sounds) { collideBalls(world, engine_, touch, sounds); }
  void pocket(World& world, PocketListener& listener, SoundSink& sounds) {
    pocketBalls(world, PocketFinder(world.pockets), BallSelection::all(), listener, sounds);
  }

 private:
  CollisionEngine& engine_;
};

}  // namespace morvane
