#include "math/Mat4.h"

#include <cmath>

namespace halcyra {

namespace {

float sinDegrees(float degrees) {
    return static_cast<float>(std::sin(double(degrees) * degreesToRadians));
}
float cosDegrees(float degrees) {
    return static_cast<float>(std::cos(double(degrees) * degreesToRadians));
}

Mat4 fromRowValues(const double (&rows)[16]) {
    Mat4 result;
    for (int k = 0; k < 16; ++k)
        result.m[4 * (k % 4) + k / 4] = static_cast<float>(rows[k]);
    return result;
}

} // namespace

Mat4 Mat4::fromRows(const float (&rows)[16]) {
    Mat4 result;
    for (int k = 0; k < 16; ++k)
        result.m[4 * (k % 4) + k / 4] = rows[k];
    return result;
}

Mat4 Mat4::identity() {
    return Mat4{};
}

Mat4 Mat4::translation(Vec3 v) {
    Mat4 result;
    result.m[12] = v.x;
    result.m[13] = v.y;
    result.m[14] = v.z;
    return result;
}

Mat4 Mat4::scaling(Vec3 v) {
    Mat4 result;
    result.m[0] = v.x;
    result.m[5] = v.y;
    result.m[10] = v.z;
    return result;
}

Mat4 Mat4::rotationXYZ(float rx, float ry, float rz) {
    // Each sine and cosine is rounded to float before the products, as the stored tables expect.
    const double cx = cosDegrees(rx), sx = sinDegrees(rx);
    const double cy = cosDegrees(ry), sy = sinDegrees(ry);
    const double cz = cosDegrees(rz), sz = sinDegrees(rz);
    // clang-format off
    return fromRowValues({cz * cy, sx * cz * sy - sz * cx, cz * sy * cx + sz * sx, 0.0,
                          sz * cy, sx * sz * sy + cz * cx, sz * sy * cx - cz * sx, 0.0,
                          -sy,     cy * sx,                cy * cx,                0.0,
                          0.0,     0.0,                    0.0,                    1.0});
    // clang-format on
}

Mat4 Mat4::fromQuat(Quat q) {
    const double w = q.w, x = q.x, y = q.y, z = q.z;
    // clang-format off
    return fromRowValues({1.0 - 2.0 * (y * y + z * z), 2.0 * (x * y - w * z), 2.0 * (x * z + w * y), 0.0,
                          2.0 * (x * y + w * z), 1.0 - 2.0 * (x * x + z * z), 2.0 * (y * z - w * x), 0.0,
                          2.0 * (x * z - w * y), 2.0 * (y * z + w * x), 1.0 - 2.0 * (x * x + y * y), 0.0,
                          0.0,                   0.0,                   0.0,                         1.0});
    // clang-format on
}

Mat4 Mat4::multiply(const Mat4& a, const Mat4& b) {
    Mat4 result;
    for (int column = 0; column < 4; ++column) {
        for (int row = 0; row < 4; ++row) {
            double sum = 0.0;
            for (int k = 0; k < 4; ++k)
                sum += double(a.m[4 * k + row]) * b.m[4 * column + k];
            result.m[4 * column + row] = static_cast<float>(sum);
        }
    }
    return result;
}

Vec3 Mat4::transformPoint(const Mat4& m, Vec3 v) {
    const float* e = m.m;
    return {static_cast<float>(double(e[0]) * v.x + double(e[4]) * v.y + double(e[8]) * v.z + e[12]),
            static_cast<float>(double(e[1]) * v.x + double(e[5]) * v.y + double(e[9]) * v.z + e[13]),
            static_cast<float>(double(e[2]) * v.x + double(e[6]) * v.y + double(e[10]) * v.z + e[14])};
}

} // namespace halcyra
