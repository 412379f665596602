// Mat3: a 3 × 3 float matrix, column-major (row r, column c at index 3·c + r), for the rotation part of
// a Mat4 applied to normals. Products work in double and round once.
#pragma once

#include "math/Mat4.h"
#include "math/Vec3.h"

namespace halcyra {

struct Mat3 {
    float m[9] = {1.0f, 0.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f, 0.0f, 1.0f};

    float at(int row, int column) const { return m[3 * column + row]; }

    static Mat3 identity();
    // The upper-left 3 × 3 block of m.
    static Mat3 fromMat4(const Mat4& m);
    static Vec3 transform(const Mat3& m, Vec3 v);
};

} // namespace halcyra
