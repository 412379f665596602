// Clamps of a float and of an int32 to a closed range, as the scenes' formulas write clamp (x, low, high).
// Neither checks that lo <= hi: lo wins below the range, hi above it.
#pragma once

#include <cstdint>

namespace halcyra {

// lo if x < lo, else hi if x > hi, else x (a NaN passes through).
float clampFloat(float x, float lo, float hi);
// lo if x < lo, else the smaller of x and hi.
int32_t clampInt(int32_t x, int32_t lo, int32_t hi);

} // namespace halcyra
