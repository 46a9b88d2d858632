#pragma once
// The simulated world: the ball and pocket tables and the arena half-size, and the passes of
// one simulation step. Passes run in ascending slot order; results depend on that order.
#include <array>
#include <cstdint>

#include "world/ball.h"

namespace morvane {

struct World {
  BallTable balls{};
  PocketTable pockets{};
  float arenaHalfSize = 0.0f;  // H: the walls lie at +-H on each axis

  friend bool operator==(const World&, const World&) = default;
};

// Told about every ball whose centre is inside an active pocket, in the order found.
// The listener must take the ball off the table (active = 0) before anything else.
class PocketListener {
 public:
  virtual ~PocketListener() = default;
  virtual void ballPocketed(Ball& ball) = 0;
};

// The cue ball's first contact of a shot, recorded by the collision pass for the rules.
struct FirstTouch {
  int32_t& cueBallTouched;
  int32_t& foulCommitted;
  BallColour targetColour;
};

// One motion step for every slot, 0 to 999.
void moveAllBalls(World& world, SoundSink& sounds);

// Every pair of active balls in contact, in (i, j) order, exchanging velocity along the line of
// centres. Finds the touching pairs through a spatial grid; same pairs, order and arithmetic as
// collideBallsAllPairs.
void collideBalls(World& world, FirstTouch touch, SoundSink& sounds);

// The straightforward pass over all 1000 x 999 / 2 slot pairs: the reference for collideBalls.
void collideBallsAllPairs(World& world, FirstTouch touch, SoundSink& sounds);

// The contact test of the collision passes: centres closer than 40, lower slot first.
bool ballsInContact(const Vec3& lower, const Vec3& upper);

// One pair known to be in contact, lower slot first, handled exactly as the collision passes
// handle it: first-touch recording, velocity exchange when approaching, click.
void collideTouchingPair(Ball& lower, Ball& upper, FirstTouch& touch, SoundSink& sounds);

// Which active pocket holds a point, testing only the pockets near it: per axis, the pockets
// whose cubes reach each 80-unit bin (bins folded onto 32 entries; a folded bin only adds
// candidates, which the exact test rejects). Refers to the table it was made from.
class PocketFinder {
 public:
  static constexpr int binCount = 32;
  explicit PocketFinder(const PocketTable& pockets);
  bool anyPocket() const { return any_; }
  // The lowest-numbered active pocket that contains the point, or -1.
  int lowestHolding(const Vec3& point) const;

 private:
  const PocketTable& pockets_;
  std::array<uint32_t, binCount> x_{}, y_{}, z_{};
  bool any_ = false;
};

// Pockets 0 to 26 each swallow the active balls whose centres lie inside them. Each ball is
// tested only against the pockets near it; same falls, in the same order, as
// pocketBallsEveryPocket.
void pocketBalls(World& world, PocketListener& listener, SoundSink& sounds);

// The straightforward pass: every active pocket against every ball slot. The reference for
// pocketBalls.
void pocketBallsEveryPocket(World& world, PocketListener& listener, SoundSink& sounds);

// True when no slot has an active ball with a non-zero velocity component.
bool allBallsAtRest(const World& world);

// FNV-1a over every field of every ball and pocket slot and the arena size: a fingerprint for
// determinism tests and for comparing a fast pass with its reference.
uint64_t worldHash(const World& world);

}  // namespace morvane
