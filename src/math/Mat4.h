// Mat4: a 4 × 4 float matrix in OpenGL's column-major order (row r, column c at index 4·c + r; a
// translation at indices 12, 13, 14). Vectors are columns, M·v applies M, and A·B applies B first.
// Angles are degrees; rotations follow the right-hand rule. Products work in double and round once.
// Used by the model loader's keyframes, the cube and the scenes' per-object rotations.
#pragma once

#include "math/Quat.h"
#include "math/Vec3.h"

namespace halcyra {

struct Mat4 {
    float m[16] = {1.0f, 0.0f, 0.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f,
                   0.0f, 0.0f, 1.0f, 0.0f, 0.0f, 0.0f, 0.0f, 1.0f};

    // The element at row r, column c.
    float at(int row, int column) const { return m[4 * column + row]; }

    // The matrix whose rows, top to bottom, are the sixteen values in groups of four.
    static Mat4 fromRows(const float (&rows)[16]);
    static Mat4 identity();
    static Mat4 translation(Vec3 v);
    static Mat4 scaling(Vec3 v);
    // Rz(rz)·Ry(ry)·Rx(rx): about x first, then y, then z.
    static Mat4 rotationXYZ(float rx, float ry, float rz);
    // The rotation of a unit quaternion; the quaternion is used as given.
    static Mat4 fromQuat(Quat q);
    static Mat4 multiply(const Mat4& a, const Mat4& b);
    // The first three rows of M·(v, 1): rotation and translation, no perspective division.
    static Vec3 transformPoint(const Mat4& m, Vec3 v);
};

// The float nearest to π/180; every degree-to-radian conversion of the show uses it.
inline constexpr float degreesToRadians = 0.017453292f;

} // namespace halcyra
