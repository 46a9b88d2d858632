#pragma once
// The free-flying camera: six degrees of freedom from held keys and the mouse, no bounds.
// The frame vectors are 100 units long, not unit length; moves are a tenth of a vector.
#include <cstdint>

#include "math/vec3.h"
#include "rules/match_state.h"
#include "world/world.h"

namespace morvane {

struct Camera {
  Vec3 eye{};
  Vec3 forward{0.0f, 0.0f, -100.0f};
  Vec3 right{100.0f, 0.0f, 0.0f};
  Vec3 up{0.0f, 100.0f, 0.0f};

  friend bool operator==(const Camera&, const Camera&) = default;
};

// Held camera keys, 1 while down.
struct CameraKeys {
  int32_t moveForwardHeld = 0;  // keypad 8
  int32_t moveBackHeld = 0;     // keypad 5
  int32_t moveLeftHeld = 0;     // keypad 4
  int32_t moveRightHeld = 0;    // keypad 6
  int32_t moveUpHeld = 0;       // keypad +
  int32_t moveDownHeld = 0;     // Enter
  int32_t turnLeftHeld = 0;     // keypad 1
  int32_t turnRightHeld = 0;    // keypad 3
  int32_t turnDownHeld = 0;     // keypad 7
  int32_t turnUpHeld = 0;       // keypad 9
  int32_t rollLeftHeld = 0;     // keypad 0
  int32_t rollRightHeld = 0;    // keypad .
};

// Moves (left, right, forward, back, up, down, on the frame as it stood at the start of the
// tick), then turns; nothing while a computer shot is pending.
void applyCameraKeys(Camera& camera, const CameraKeys& keys, const MatchState& match);

// Every third mouse-move turns the view by 0.0009 rad per pixel from the client centre.
// Returns true when the cursor must be put back at the client centre.
bool mouseLook(Camera& camera, float& mouseMoveCount, int x, int y, int clientWidth, int clientHeight,
               const MatchState& match);

// The start orientation; the eye stays where it is.
void resetCameraOrientation(Camera& camera);

// Puts the eye at the cue ball's centre when the cue ball is on the table.
void moveCameraToCueBall(Camera& camera, const World& world);

}  // namespace morvane
