#include "scene3ds/Mesh.h"

#include "support/Expect.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

namespace halcyra {
namespace {

std::unique_ptr<Mesh> meshOf(const std::vector<Vec3>& positions, const std::vector<Vec2>& coordinates,
                             const std::vector<uint32_t>& indices) {
    auto mesh = std::make_unique<Mesh>("m");
    mesh->allocate(static_cast<int32_t>(positions.size()), static_cast<int32_t>(indices.size() / 3));
    mesh->positions = positions;
    mesh->texCoords = coordinates;
    mesh->indices = indices;
    return mesh;
}

using test::expectVec3;

TEST(TangentSpace, TexturedQuadGetsTheTextureAxesAtEveryVertex) {
    const auto quad = meshOf({{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}}, {{0, 0}, {1, 0}, {1, 1}, {0, 1}},
                             {0, 1, 2, 0, 2, 3});
    quad->computeTangentSpace();
    EXPECT_TRUE(quad->tangentsReady);
    for (int i = 0; i < 4; ++i) {
        expectVec3(quad->normals[i], {0, 0, 1});
        expectVec3(quad->tangents[i], {1, 0, 0});
        expectVec3(quad->binormals[i], {0, 1, 0});
    }
}

TEST(TangentSpace, SharedVertexNormalIsWeightedByTriangleArea) {
    // A large triangle facing +z and a small one facing +x share vertex 0.
    const auto mesh = meshOf({{0, 0, 0}, {10, 0, 0}, {0, 10, 0}, {0, 1, 0}, {0, 0, 1}},
                             {{0, 0}, {1, 0}, {0, 1}, {1, 0}, {0, 1}}, {0, 1, 2, 0, 3, 4});
    mesh->computeTangentSpace();
    const float length = std::sqrt(1.0f + 100.0f * 100.0f);
    expectVec3(mesh->normals[0], {1.0f / length, 0, 100.0f / length}, 1e-6f);
    expectVec3(mesh->normals[3], {1, 0, 0});
}

TEST(TangentSpace, DegenerateInputNeverGivesNonFiniteFrames) {
    const std::vector<Vec3> positions{{0, 0, 0}, {1, 0, 0}, {0, 1, 0},      {2, 0, 0},     {3, 0, 0},
                                      {4, 0, 0}, {0, 0, 5}, {1e-30f, 0, 0}, {0, 1e-30f, 0}};
    const std::vector<Vec2> coordinates{{0.5f, 0.5f}, {0.5f, 0.5f}, {0.5f, 0.5f}, {0, 0},     {1, 0},
                                        {2, 0},       {0, 0},       {1e-30f, 0},  {0, 1e-30f}};
    // Collapsed texture mapping; collinear points; a vertex no triangle uses (6); a tiny triangle.
    const auto mesh = meshOf(positions, coordinates, {0, 1, 2, 3, 4, 5, 0, 7, 8});
    mesh->computeTangentSpace();
    for (size_t i = 0; i < positions.size(); ++i) {
        for (const Vec3& v : {mesh->normals[i], mesh->tangents[i], mesh->binormals[i]}) {
            ASSERT_TRUE(std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z)) << "vertex " << i;
            EXPECT_NEAR(Vec3::length(v), 1.0f, 1e-5f) << "vertex " << i;
        }
        EXPECT_NEAR(Vec3::dot(mesh->normals[i], mesh->tangents[i]), 0.0f, 1e-5f) << "vertex " << i;
    }
    // A collapsed texture mapping keeps the triangle's normal.
    expectVec3(mesh->normals[1], {0, 0, 1});
}

} // namespace
} // namespace halcyra
