#include "math/Clamp.h"

namespace halcyra {

float clampFloat(float x, float lo, float hi) {
    if (x < lo)
        return lo;
    if (x > hi)
        return hi;
    return x;
}

int32_t clampInt(int32_t x, int32_t lo, int32_t hi) {
    if (x < lo)
        return lo;
    return x < hi ? x : hi;
}

} // namespace halcyra
