// Cube: the textured procedural cube the scenes scatter by the hundred. Each has a rotation, a position
// and a size (half the edge length); `transform` turns the shared unit geometry into world space on the
// CPU, and `draw` emits that as six GL_QUADS with normals and texture coordinates, leaving the GL
// matrices alone. Scenes own arrays of cubes and write position, rotation and size before drawing.
#pragma once

#include "math/Mat4.h"
#include "math/Vec2.h"
#include "math/Vec3.h"

#include <cstdint>

namespace halcyra {

// One cube in world space: its eight corners and six face normals.
struct CubeVertices {
    Vec3 corners[8];
    Vec3 normals[6];
};

class Cube {
public:
    // Unit corners: c0 … c7 = (1,1,1), (−1,1,1), (−1,−1,1), (1,−1,1), then the same at z = −1.
    static constexpr Vec3 corners[8] = {{1.0f, 1.0f, 1.0f},    {-1.0f, 1.0f, 1.0f}, {-1.0f, -1.0f, 1.0f},
                                        {1.0f, -1.0f, 1.0f},   {1.0f, 1.0f, -1.0f}, {-1.0f, 1.0f, -1.0f},
                                        {-1.0f, -1.0f, -1.0f}, {1.0f, -1.0f, -1.0f}};
    // Four per face, in face order.
    static constexpr Vec2 texCoords[24] = {
        {1.0f, 1.0f}, {0.0f, 1.0f}, {0.0f, 0.0f}, {1.0f, 0.0f}, {1.0f, 0.0f}, {1.0f, 1.0f},
        {0.0f, 1.0f}, {0.0f, 0.0f}, {0.0f, 1.0f}, {0.0f, 0.0f}, {1.0f, 0.0f}, {1.0f, 1.0f},
        {1.0f, 0.0f}, {1.0f, 1.0f}, {0.0f, 1.0f}, {0.0f, 0.0f}, {0.0f, 1.0f}, {0.0f, 0.0f},
        {1.0f, 0.0f}, {1.0f, 1.0f}, {1.0f, 1.0f}, {0.0f, 1.0f}, {0.0f, 0.0f}, {1.0f, 0.0f}};
    // Every face is counter-clockwise seen from outside.
    static constexpr int32_t faceCorners[6][4] = {{0, 1, 2, 3}, {0, 4, 5, 1}, {4, 7, 6, 5},
                                                  {2, 6, 7, 3}, {0, 3, 7, 4}, {1, 5, 6, 2}};
    static constexpr Vec3 faceNormals[6] = {{0.0f, 0.0f, 1.0f},  {0.0f, 1.0f, 0.0f}, {0.0f, 0.0f, -1.0f},
                                            {0.0f, -1.0f, 0.0f}, {1.0f, 0.0f, 0.0f}, {-1.0f, 0.0f, 0.0f}};

    // Size 1, identity rotation, everything else 0.
    Cube() = default;

    // Size s, identity rotation, position and the scene vectors 0.
    void build(float s);
    // corner n = rotation · (size · c[n]) + position; normal f = rotation · faceNormal[f], applied as a
    // point (the scenes keep the rotation free of translation).
    void transform(CubeVertices& out) const;
    // Emits the six faces as one GL_QUADS batch in world coordinates; returns the triangles drawn (12).
    int32_t draw() const;

    Vec3 firstSceneVector; // per-cube state a scene may keep
    Vec3 position;
    float size = 1.0f;
    Mat4 rotation;
    Vec3 secondSceneVector;
    Vec3 thirdSceneVector;
};

} // namespace halcyra
