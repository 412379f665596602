// Quat: a rotation quaternion, scalar part first (w, x, y, z), as the model loader stores keyframe
// orientations. The product works in double and rounds once. Nothing normalises: callers keep their
// quaternions unit length.
#pragma once

namespace halcyra {

struct Quat {
    float w = 1.0f;
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;

    Quat() = default;
    Quat(float w, float x, float y, float z) : w(w), x(x), y(y), z(z) {}

    // The Hamilton product p·q: applying the result rotates by q first, then by p.
    static Quat multiply(Quat p, Quat q);
};

} // namespace halcyra
