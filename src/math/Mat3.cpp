#include "math/Mat3.h"

namespace halcyra {

Mat3 Mat3::identity() {
    return Mat3{};
}

Mat3 Mat3::fromMat4(const Mat4& m) {
    Mat3 result;
    for (int column = 0; column < 3; ++column)
        for (int row = 0; row < 3; ++row)
            result.m[3 * column + row] = m.m[4 * column + row];
    return result;
}

Vec3 Mat3::transform(const Mat3& m, Vec3 v) {
    const float* e = m.m;
    return {static_cast<float>(double(e[0]) * v.x + double(e[3]) * v.y + double(e[6]) * v.z),
            static_cast<float>(double(e[1]) * v.x + double(e[4]) * v.y + double(e[7]) * v.z),
            static_cast<float>(double(e[2]) * v.x + double(e[5]) * v.y + double(e[8]) * v.z)};
}

} // namespace halcyra
