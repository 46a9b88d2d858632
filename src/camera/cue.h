#pragma once
// Human aiming, ball placement and the computer's visible cue.
#include <cstdint>

#include "camera/camera.h"
#include "rules/cue_state.h"
#include "math/frame_timer.h"
#include "rules/match_state.h"
#include "rules/match_settings.h"
#include "world/world.h"

namespace morvane {

constexpr uint32_t computerAimPauseMs = 1000;

// Held aim and strength controls, 1 while down.
struct AimKeys {
  int32_t aimTiltNegHeld = 0;    // W
  int32_t aimTiltPosHeld = 0;    // S
  int32_t aimSwingPosHeld = 0;   // A
  int32_t aimSwingNegHeld = 0;   // D
  int32_t strengthUpHeld = 0;    // left mouse button, Q
  int32_t strengthDownHeld = 0;  // right mouse button, E
};

// Tilts and swings the cue, changes the strength by 1 per held control, clamps to 0..200.
void applyAimKeys(CueState& cue, const AimKeys& keys);

// CTRL + mouse: the cue takes the view direction and the eye moves onto the line through the
// cue ball, keeping its distance. Refused while the computer is to move.
void aimCueFromCamera(Camera& camera, CueState& cue, const World& world, const MatchState& match,
                      const MatchSettings& settings);

// A left click with the ball in hand and everything at rest: put the cue ball at the eye if the
// spot is legal. Returns true when the click was a placement attempt (legal or not).
bool placeCueBallAtEye(World& world, MatchState& match, const Camera& camera);

// While a computer shot is pending: turn the view toward cueDirection one step per tick, and
// start a 1000 ms pause once a step brings it within tolerance. True when the pause is over:
// the shot is due (fireComputerShot).
bool computerAimStep(Camera& camera, const CueState& cue, const MatchState& match, FrameTimer& aimTimer,
                     uint32_t nowMs);

}  // namespace morvane
