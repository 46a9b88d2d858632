#pragma once
// Ball and pocket records and their operations. Lengths in arena units; velocities in arena
// units per 500 simulation steps.
#include <array>
#include <cstdint>

#include "math/vec3.h"
#include "world/sound_sink.h"

namespace morvane {

using BallColour = int32_t;
constexpr BallColour colourBlue = 0;
constexpr BallColour colourGreen = 1;
constexpr BallColour colourRed = 2;
constexpr BallColour colourCueBall = 99;

constexpr int ballCount = 1000;
constexpr int cueBallSlot = 999;
constexpr int pocketCount = 27;
constexpr float ballRadius = 20.0f;
constexpr float contactDistance = 40.0f;  // two radii
constexpr float pocketHalfSize = 40.0f;
constexpr float stepDivisor = 500.0f;
constexpr float stopSpeed = 10.0f;

struct Ball {
  // A constructed slot is inactive with every field zero, so reading the cue-ball slot
  // before the cue ball was ever placed gives the origin.
  Vec3 position{};
  Vec3 velocity{};
  int32_t active = 0;
  BallColour colour = 0;

  // Stores the three values and puts the ball on the table.
  void init(Vec3 newPosition, Vec3 newVelocity, BallColour newColour);
  // Copies out each requested field; a null output is skipped.
  void getState(Vec3* outPosition, Vec3* outVelocity, BallColour* outColour) const;
  // velocity += increment, component by component.
  void addVelocity(Vec3 increment) { velocity += increment; }
  // Inactive, or every velocity component exactly 0.0 (no tolerance).
  bool isAtRest() const {
    return active == 0 || (velocity.x == 0.0f && velocity.y == 0.0f && velocity.z == 0.0f);
  }

  friend bool operator==(const Ball&, const Ball&) = default;
};

using BallTable = std::array<Ball, ballCount>;

struct Pocket {
  Vec3 centre{};
  int32_t active = 0;

  // Stores the centre and activates the pocket unless an active ball's centre is inside it.
  bool place(Vec3 newCentre, const BallTable& balls);
  // |point - centre| < 40 on all three axes, strictly; does not look at active.
  bool contains(Vec3 point) const;

  friend bool operator==(const Pocket&, const Pocket&) = default;
};

using PocketTable = std::array<Pocket, pocketCount>;

}  // namespace morvane
