#pragma once
// The cue: there is no stick to handle, only a direction and a strength for the next shot.
#include "math/vec3.h"

namespace morvane {

constexpr float maxShotStrength = 200.0f;

struct CueState {
  Vec3 cueDirection{0.0f, 0.0f, 100.0f};  // only the direction matters to the shot
  Vec3 aimSideAxis{100.0f, 0.0f, 0.0f};   // W/S tilt axis; only ever turned about world y
  float shotStrength = 0.0f;               // 0..200; launch speed is 100 x strength

  friend bool operator==(const CueState&, const CueState&) = default;
};

}  // namespace morvane
