#pragma once
// All game state in one place: the tables, the match, the settings, the camera and cue, the
// held controls, the generator and the timers. Every test builds its own Game.
#include <cstdint>
#include <string>

#include "camera/camera.h"
#include "camera/cue.h"
#include "rules/cue_state.h"
#include "math/frame_timer.h"
#include "math/random.h"
#include "rules/match_hooks.h"
#include "rules/match_state.h"
#include "rules/match_settings.h"
#include "world/collision_engine.h"
#include "world/sound_sink.h"
#include "world/world.h"

namespace morvane {

constexpr uint32_t renderIntervalMs = 50;
constexpr uint32_t tickIntervalMs = 2;
constexpr int maxProgressCaptionBytes = 199;

// The computer's search progress shown as a caption and a bar.
struct ProgressState {
  int32_t progressVisible = 0;
  std::string progressCaption;  // Windows-1250, at most 199 bytes
  float progressFraction = 0.0f;
};

struct Game {
  World world;
  MatchState match;
  MatchSettings settings;
  Camera camera;
  CueState cue;
  CameraKeys cameraKeys;
  AimKeys aimKeys;
  int32_t helpVisible = 0;  // F1 held
  float mouseMoveCount = 0.0f;
  Random random;
  FrameTimer renderTimer;
  FrameTimer tickTimer;
  FrameTimer computerAimTimer;
  ProgressState progress;
  CollisionEngine collisions;  // the tick's scratch; a copied Game makes its own

  // Services supplied by the application; silent and inert by default.
  SoundSink* sounds = &silentSink;
  MatchHooks* hooks = &inertHooks;

 private:
  static SilentSink silentSink;
  static MatchHooks inertHooks;
};

// Start-up after the settings are known: camera and cue defaults, the first round's set-up.
// The cue ball starts in hand.
void startMatch(Game& game, const MatchSettings& settings, int32_t firstPlayer);

// One fixed simulation step, if tickTimer is due: camera keys, aim keys, motion, collisions,
// pocketing, the referee, the computer's cue. True when the step ran.
bool gameTick(Game& game, uint32_t nowMs);

}  // namespace morvane
