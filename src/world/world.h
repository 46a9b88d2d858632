#pragma once
// The simulated world: the ball and pocket tables and the arena half-size, and the passes of
// one simulation step. Passes run in ascending slot order; results depend on that order.
#include <array>
#include <cstdint>
#include <span>

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

class CollisionEngine;

// The balls a pass visits: every slot, 0 to 999 (the live tick), or only the listed slots (a
// trial, which visits the balls in motion). A listed slot must hold an active ball.
struct BallSelection {
  // Two machine words, so that it travels in registers: a selection built in memory right
  // before each call and read back as a wider load stalls store forwarding, which doubled the
  // cost of a trial step that moves one ball.
  const int16_t* first = nullptr;
  int32_t count = -1;  // -1: every slot

  static BallSelection all() { return {}; }
  static BallSelection only(std::span<const int16_t> slots) {
    return {slots.data(), static_cast<int32_t>(slots.size())};
  }
  bool everySlot() const { return count < 0; }
  std::span<const int16_t> listed() const { return {first, static_cast<size_t>(count)}; }
};

// One motion step of the selected balls: move, bounce off the walls at +-arenaHalfSize (a
// click per ball that bounced), slow down. Every slot goes four balls at a time, a list one
// ball at a time, through the same arithmetic: a ball ends alike either way.
void moveBalls(World& world, BallSelection which, SoundSink& sounds);

// Every pair of active balls in contact, in (i, j) order, exchanging velocity along the line of
// centres: the collision engine brought up to date with the whole table, then its pass.
void collideBalls(World& world, CollisionEngine& engine, FirstTouch touch, SoundSink& sounds);

// The least float that the rounded square root of a sum of squares takes to 40 or more: a sum
// below it has a root below 40. Comparing the sum saves the root and rounds exactly alike.
constexpr float contactSquareLimit = 0x1.8ffffep+10f;  // 1599.99988

// The contact test of every collision pass: centres closer than 40, lower slot first, that is
// length(upper - lower) < 40 with length's float sum of squares.
inline bool ballsInContact(const Vec3& lower, const Vec3& upper) {
  const Vec3 d = upper - lower;
  return d.x * d.x + d.y * d.y + d.z * d.z < contactSquareLimit;
}

// One pair known to be in contact, lower slot first: first-touch recording, velocity exchange
// when approaching, click. Reads the current velocities, so a pair sees what earlier pairs of
// the same pass did.
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
  // The pockets that may hold a point in the given 80-unit bins (one bit per pocket): a point
  // outside all of them is in no pocket.
  uint32_t candidates(int32_t binX, int32_t binY, int32_t binZ) const {
    return x_[binX & (binCount - 1)] & y_[binY & (binCount - 1)] & z_[binZ & (binCount - 1)];
  }

 private:
  const PocketTable& pockets_;
  std::array<uint32_t, binCount> x_{}, y_{}, z_{};
  bool any_ = false;
};

// Pockets 0 to 26 each swallow the selected active balls whose centres lie inside them, pocket
// 0's in slot order first, then pocket 1's, and so on, with a pocket sound each; a ball inside
// several falls into the lowest. Each ball is tested only against the pockets near it.
void pocketBalls(World& world, const PocketFinder& finder, BallSelection which, PocketListener& listener,
                 SoundSink& sounds);

// True when no slot has an active ball with a non-zero velocity component.
bool allBallsAtRest(const World& world);

// FNV-1a over every field of every ball and pocket slot and the arena size: a fingerprint for
// determinism tests and for comparing a fast pass with its reference.
uint64_t worldHash(const World& world);

}  // namespace morvane
