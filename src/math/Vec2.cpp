#include "math/Vec2.h"

namespace halcyra {

Vec2 Vec2::scale(Vec2 a, float s) {
    return {static_cast<float>(double(a.x) * s), static_cast<float>(double(a.y) * s)};
}

} // namespace halcyra
