#pragma once
// Table sine and cosine at steps of a tenth of a degree. Every rotation in the game takes its
// sine and cosine from here, so angles are quantised; the lookups never call the library sine.

namespace morvane {

constexpr int sineTableSize = 3601;  // 0 to 360 degrees inclusive; entry 3600 is never selected

// The table entry i = sin(i * 0.001745329251), stored as float. Built on first use.
const float* sineTable();

// Table sine: x * 572.97 truncated toward zero, wrapped into 0..3599 tenths of a degree.
float fastSin(float x);

// fastSin(1.570796326 - x), the difference rounded to float first.
float fastCos(float x);

}  // namespace morvane
