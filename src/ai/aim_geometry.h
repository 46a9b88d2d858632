#pragma once
// The geometry of the computer's shots: the best pocket for a ball, free paths, the ordered
// candidate list, the cut-shot aim, the random tries and the aim error of the difficulty level.
#include <array>
#include <cstdint>

#include "math/random.h"
#include "world/world.h"

namespace morvane {

constexpr int cutShotCaptionTotal = 1000;   // "C: k/1000"
constexpr int randomTryCaptionTotal = 2000;  // "V: n/2000"
constexpr int randomTryCount = 2001;
constexpr int pocketRequiredBelowTry = 100;  // tries 1..99 must pocket a ball
constexpr float breakShotStrength = 200.0f;
constexpr float cutShotStrengthFactor = 50.0f;
constexpr float randomStrengthFactor = 100.0f;
constexpr float pocketClearance = 56.56f;  // the cue ball's path keeps this far from pocket centres

// sqrt(0.002 x H) in double, stored as float, at most 4: 1 for the default arena.
float maxSearchStrength(float arenaHalfSize);

// The object balls (slots 0..998; the cue ball never blocks) and the active pockets of a world,
// packed once per turn for the many scans of the search. Read-only, so workers may share it.
class AimGeometry {
 public:
  explicit AimGeometry(const World& world);

  // The lowest cosine, over the active pockets in slot order (the first of equal ones wins), of
  // the angle at ball between the cue ball and the pocket; 2 when no pocket is active.
  // -1 is the straightest cut. toPocket, if given, receives pocket centre - ball.
  float bestPocketCosine(Vec3 cue, Vec3 ball, Vec3* toPocket) const;

  // No object ball other than exclude within 40 of the segment start..start+path (ahead of the
  // start, not beyond the end), and with checkPockets no active pocket centre within 56.56.
  // False for a path of length 0 (or NaN).
  bool pathClear(Vec3 start, Vec3 path, int exclude, bool checkPockets) const;

  // The cut shot that sends the ball in slot straight at its best pocket: false when the ball's
  // line to that pocket or the cue ball's path to the ghost ball is blocked.
  bool cutShotAim(Vec3 cue, int slot, Vec3& aim) const;

 private:
  std::array<Vec3, ballCount> positions_{};  // by slot; only the listed slots are meaningful
  std::array<int16_t, ballCount> objectSlots_{};
  int objectCount_ = 0;
  std::array<Vec3, pocketCount> pocketCentres_{};
  int pocketCount_ = 0;
};

// Active balls of the target colour, slots 0..998, by best pocket cosine ascending; equal costs
// keep slot order (the order a bubble sort of the whole table gives).
struct CandidateList {
  std::array<int16_t, ballCount> slots{};
  std::array<float, ballCount> costs{};
  int count = 0;
};

// Fills the list for the cue ball's current position (slot 999, read whether active or not).
void buildCandidates(const World& world, const AimGeometry& geometry, BallColour targetColour,
                     CandidateList& list);

struct RandomTry {
  Vec3 aim;        // each component (draw mod 1000) - 500
  float strength;  // 200 for a break, else draw mod trunc(100 x S), 0 without a draw if that is not positive
};

// One random try's draws, in order: x, y, z, then the strength unless it is a break.
RandomTry drawRandomTry(Random& random, bool breakShot, float searchStrength);

// Adds a random error of length at most aimError x |aim| in a random direction of space.
// Draws q, theta1, theta2 in this order; no draws when aimError is 0.
void applyAimError(Vec3& aim, float aimError, Random& random);

}  // namespace morvane
