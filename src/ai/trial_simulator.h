#pragma once
// The computer's trial shots, played on a private copy of the tables so that trials can run on
// worker threads while the game thread keeps drawing the live world.
//
// The simulator steps the world through the game's own step with passes that visit only what
// can change: the motion of the balls that move, the collision engine with them as its
// candidates, the moving balls against the nearby pockets. The tables, flags and scores it
// produces are bit for bit those of the whole-table passes.
#include <array>
#include <atomic>
#include <cstdint>
#include <optional>

#include "rules/cue_state.h"
#include "rules/match_state.h"
#include "rules/match_settings.h"
#include "world/collision_engine.h"
#include "world/world.h"

namespace morvane {

// Everything a trial reads and writes: the world, the match record and the cue.
struct ShotState {
  World world;
  MatchState match;
  CueState cue;
};

struct TrialOutcome {
  bool accepted = false;      // no foul, the cue ball touched a ball, and a ball fell if required
  bool abandoned = false;     // stopped early because its answer was no longer wanted
  int32_t pocketStreak = 0;   // as the strike and the scoring left it
  float shotStrength = 0.0f;  // after the strike's cap at 200
  int32_t steps = 0;          // simulation steps played
};

// A trial is abandoned when *limit drops to its index or below (checked between steps).
struct AbandonWhen {
  const std::atomic<int>* limit = nullptr;
  int index = 0;
};

class TrialSimulator final : private PocketListener {
 public:
  TrialSimulator();
  TrialSimulator(const TrialSimulator&) = delete;
  TrialSimulator& operator=(const TrialSimulator&) = delete;

  // Makes base the state every following trial starts from. Copies it; O(1000).
  void setBase(const ShotState& base, const MatchSettings& settings);

  // cueDirection = aim x (100 / |aim|), shotStrength = strength, a silent strike, then steps
  // until every ball rests or a foul is recorded. Starts from the base whatever the previous
  // trial left; the cost of that reset is proportional to what the previous trial touched.
  TrialOutcome play(Vec3 aim, float strength, bool requirePocket, AbandonWhen abandon = {});

  // The tables as the last trial left them.
  const ShotState& shot() const { return shot_; }

 private:
  class MovingBalls;  // the passes of one trial step

  void restoreBase();
  void markDirty(int slot);
  void addMoving(int slot);
  bool needsStep(const Ball& ball) const;
  void rebuildMoving();
  bool anyBallMoving() const;
  // A fallen ball: off the grid, scored, restored before the next trial.
  void ballPocketed(Ball& ball) override;

  ShotState base_{};
  ShotState shot_{};
  const MatchSettings* settings_ = nullptr;

  // The collision engine; its grid holds every active ball of shot_ at its current position.
  CollisionEngine engine_;

  // Balls that need the motion step (not provably unchanged by it), ascending.
  std::array<int16_t, ballCount> moving_{};
  std::array<uint8_t, ballCount> inMoving_{};
  int movingCount_ = 0;
  std::array<int16_t, ballCount> baseMoving_{};
  int baseMovingCount_ = 0;
  // The balls moved in this step, then the cue-coloured balls while the first touch is
  // pending: the candidates for the collision pass's live balls.
  std::array<int16_t, 2 * ballCount> live_{};

  // Slots changed since the base, to be restored before the next trial.
  std::array<int16_t, ballCount> dirty_{};
  std::array<uint8_t, ballCount> isDirty_{};
  int dirtyCount_ = 0;

  std::array<int16_t, ballCount> cueColoured_{};  // active colour-99 slots of the base
  int cueColouredCount_ = 0;
  std::optional<PocketFinder> pocketFinder_;  // over shot_'s pockets, which trials never change
  bool baseHasBallInPocket_ = false;
  bool pocketEveryBall_ = false;  // the first step of a trial whose base has a ball in a pocket
};

}  // namespace morvane
