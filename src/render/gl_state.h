#pragma once
// The fixed OpenGL state all drawing assumes, set once when the context is created.

namespace morvane {

// Blending (alpha, one minus alpha), texturing, lighting with colour material, depth test,
// normalised normals, light 0 and back-face culling, in this order.
void setFixedGlState();

}  // namespace morvane
