// Vec3: the three-component float vector of every position, direction and colour in the show.
// Components are stored in single precision; each operation forms its products and sums in double and
// rounds once when it stores its result. Nothing is checked: dividing by zero or normalising the zero
// vector gives non-finite components. Used by the loaders, the camera, the curves and every scene.
#pragma once

namespace halcyra {

struct Vec3 {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;

    static Vec3 add(Vec3 a, Vec3 b);
    static Vec3 sub(Vec3 a, Vec3 b);
    static Vec3 negate(Vec3 a);
    static Vec3 scale(Vec3 a, float s);
    static Vec3 scaleBy(float s, Vec3 a);
    // a multiplied by 1/s; the reciprocal is formed once.
    static Vec3 divide(Vec3 a, float s);
    static float dot(Vec3 a, Vec3 b);
    static Vec3 cross(Vec3 a, Vec3 b);
    static float length(Vec3 a);
    // a multiplied by the float reciprocal of its length.
    static Vec3 normalize(Vec3 a);
};

// GL takes vectors as pointers to three consecutive floats.
static_assert(sizeof(Vec3) == 3 * sizeof(float));

} // namespace halcyra
