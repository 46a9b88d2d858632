#pragma once
// The computer's trial shots, played on a private copy of the tables so that trials can run on
// worker threads while the game thread keeps drawing the live world.
//
// The simulator visits only what can change: the balls that move, the pairs in which a moving
// ball (or the cue ball before its first touch) takes part, and the moving balls against the
// pockets. The tables, flags and scores it produces are bit for bit those of the full passes
// (every slot stepped, every pair tested, every pocket against every ball).
#include <array>
#include <atomic>
#include <cstdint>
#include <optional>
#include <vector>

#include "camera/cue_state.h"
#include "rules/match_state.h"
#include "settings/match_settings.h"
#include "world/world.h"

namespace morvane {

// Everything a trial reads and writes: the world, the match record and the cue.
struct ShotTable {
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

class TrialSimulator {
 public:
  TrialSimulator();

  // Makes base the state every following trial starts from. Copies it; O(1000).
  void setBase(const ShotTable& base, const MatchSettings& settings);

  // cueDirection = aim x (100 / |aim|), shotStrength = strength, a silent strike, then steps
  // until every ball rests or a foul is recorded. Starts from the base whatever the previous
  // trial left; the cost of that reset is proportional to what the previous trial touched.
  TrialOutcome play(Vec3 aim, float strength, bool requirePocket, AbandonWhen abandon = {});

  // The tables as the last trial left them.
  const ShotTable& table() const { return table_; }

 private:
  void restoreBase();
  void markDirty(int slot);
  void gridInsert(int slot);
  void gridRemove(int slot);
  void gridMove(int slot);
  int neighbours(const Vec3& p, int exclude, int16_t* out) const;
  void addMoving(int slot);
  bool needsStep(const Ball& ball) const;
  void stepPass();
  void collisionPass();
  void propagate(int slot, int32_t currentPair);
  void pocketPass(bool everyBall);
  void rebuildMoving();
  bool anyBallMoving() const;

  ShotTable base_{};
  ShotTable table_{};
  const MatchSettings* settings_ = nullptr;

  // Spatial hash of every active ball: per-bucket doubly linked lists of slots.
  std::vector<int16_t> bucketHead_;
  std::array<int16_t, ballCount> next_{};
  std::array<int16_t, ballCount> prev_{};
  std::array<int16_t, ballCount> bucketOfSlot_{};
  std::array<uint8_t, ballCount> inGrid_{};
  std::array<int16_t, ballCount> scratch_{};

  // Balls that need the motion step (not provably unchanged by it), ascending.
  std::array<int16_t, ballCount> moving_{};
  std::array<uint8_t, ballCount> inMoving_{};
  int movingCount_ = 0;
  std::array<int16_t, ballCount> baseMoving_{};
  int baseMovingCount_ = 0;
  std::array<int16_t, ballCount> stepped_{};
  int steppedCount_ = 0;

  // Slots changed since the base, to be restored before the next trial.
  std::array<int16_t, ballCount> dirty_{};
  std::array<uint8_t, ballCount> isDirty_{};
  int dirtyCount_ = 0;

  std::array<int16_t, ballCount> cueColoured_{};  // active colour-99 slots of the base
  int cueColouredCount_ = 0;
  std::optional<PocketFinder> pocketFinder_;  // over table_'s pockets, which trials never change
  bool baseHasBallInPocket_ = false;

  // Per collision pass: stamps instead of clearing whole arrays.
  uint32_t pass_ = 0;
  std::array<uint32_t, ballCount> liveStamp_{};
  std::array<uint32_t, ballCount> propagatedStamp_{};
  std::array<uint32_t, ballCount> changedStamp_{};
  std::array<int16_t, ballCount> changed_{};
  int changedCount_ = 0;
  std::vector<int32_t> pairs_;       // lower x 1024 + upper
  std::vector<int32_t> extraPairs_;  // min-heap of pairs found while the pass runs
  std::vector<int32_t> pocketEvents_;  // pocket x 1024 + slot
};

}  // namespace morvane
