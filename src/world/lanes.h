#pragma once
// Four floats (or four 32-bit integers) side by side, one per lane, through the compiler's
// vector extension: each operation is the scalar one on every lane, rounded alike, so a pass
// that works four balls at a time leaves every ball exactly as the one-ball arithmetic would.
// A comparison gives -1 (all bits set) in the lanes where it holds and 0 elsewhere.
#include <cstdint>

namespace morvane {

using F4 = float __attribute__((vector_size(16)));
using I4 = int32_t __attribute__((vector_size(16)));
constexpr int lanes = 4;

}  // namespace morvane
