// Vec2: a two-component float vector, the texture coordinate of the procedural geometry.
// Stored in single precision; operations work in double and round once when they store the result.
// Used by the cube's texture table and the scenes.
#pragma once

namespace halcyra {

struct Vec2 {
    float x = 0.0f;
    float y = 0.0f;

    static Vec2 scale(Vec2 a, float s);
};

} // namespace halcyra
