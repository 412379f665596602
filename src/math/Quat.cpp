#include "math/Quat.h"

namespace halcyra {

Quat Quat::multiply(Quat p, Quat q) {
    const double w = double(p.w) * q.w - (double(p.x) * q.x + double(p.y) * q.y + double(p.z) * q.z);
    const double x = double(p.w) * q.x + double(q.w) * p.x + (double(p.y) * q.z - double(p.z) * q.y);
    const double y = double(p.w) * q.y + double(q.w) * p.y + (double(p.z) * q.x - double(p.x) * q.z);
    const double z = double(p.w) * q.z + double(q.w) * p.z + (double(p.x) * q.y - double(p.y) * q.x);
    return {static_cast<float>(w), static_cast<float>(x), static_cast<float>(y), static_cast<float>(z)};
}

} // namespace halcyra
