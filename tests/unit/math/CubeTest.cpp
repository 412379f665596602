#include "math/Cube.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace halcyra {
namespace {

double dot(Vec3 a, Vec3 b) {
    return double(a.x) * b.x + double(a.y) * b.y + double(a.z) * b.z;
}
Vec3 minus(Vec3 a, Vec3 b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}

TEST(Cube, SizedAndPlacedCubeSpansItsBox) {
    Cube cube;
    cube.build(3.0f);
    cube.position = {10, 0, 0};
    CubeVertices world;
    cube.transform(world);
    Vec3 low = world.corners[0], high = world.corners[0];
    for (const Vec3& c : world.corners) {
        low = {std::min(low.x, c.x), std::min(low.y, c.y), std::min(low.z, c.z)};
        high = {std::max(high.x, c.x), std::max(high.y, c.y), std::max(high.z, c.z)};
    }
    EXPECT_EQ(low.x, 7.0f);
    EXPECT_EQ(low.y, -3.0f);
    EXPECT_EQ(low.z, -3.0f);
    EXPECT_EQ(high.x, 13.0f);
    EXPECT_EQ(high.y, 3.0f);
    EXPECT_EQ(high.z, 3.0f);
}

TEST(Cube, FacesFaceOutwardAndCounterClockwiseUnderAnyRotation) {
    Cube cube;
    cube.build(2.0f);
    cube.position = {-4, 7, 1};
    cube.rotation = Mat4::rotationXYZ(33, -71, 128);
    CubeVertices world;
    cube.transform(world);
    for (int f = 0; f < 6; ++f) {
        const Vec3 a = world.corners[Cube::faceCorners[f][0]];
        const Vec3 b = world.corners[Cube::faceCorners[f][1]];
        const Vec3 c = world.corners[Cube::faceCorners[f][2]];
        const Vec3 ab = minus(b, a), ac = minus(c, a);
        const Vec3 facing{ab.y * ac.z - ab.z * ac.y, ab.z * ac.x - ab.x * ac.z, ab.x * ac.y - ab.y * ac.x};
        EXPECT_GT(dot(facing, world.normals[f]), 0.0) << "face " << f;
        EXPECT_GT(dot(world.normals[f], minus(a, cube.position)), 0.0) << "face " << f;
        EXPECT_NEAR(dot(world.normals[f], world.normals[f]), 1.0, 1e-6);
    }
}

} // namespace
} // namespace halcyra
