#include "math/MetaballField.h"
#include "math/MarchingCubesTables.h"

#include "support/MessageLog.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <random>
#include <tuple>

namespace halcyra {
namespace {

MetaballField singleBall(float strength) {
    MetaballField field;
    field.create(1, 30, 10.0f, strength);
    field.sampleField();
    field.computeNormals();
    return field;
}

double innerProduct(Vec3 a, Vec3 b) {
    return double(a.x) * b.x + double(a.y) * b.y + double(a.z) * b.z;
}

TEST(MetaballField, FieldIsStrengthOverSquaredDistance) {
    MetaballField field;
    field.create(1, 30, 10.0f, 4.0f);
    EXPECT_EQ(field.fieldAt({2, 0, 0}), 1.0f);
    EXPECT_EQ(field.fieldAt({0, -2, 0}), 1.0f);
    field.balls.clear();
    EXPECT_EQ(field.fieldAt({1, 1, 1}), 0.0f);
}

TEST(MetaballField, GridPointsAndCornersFollowTheCellNumbering) {
    MetaballField field;
    field.create(0, 30, 10.0f, 3.0f);
    const MetaballGrid& grid = field.grid;
    EXPECT_EQ(grid.pointCount(), 31 * 31 * 31);
    EXPECT_EQ(grid.cellCount(), 27000);
    const Vec3 p = grid.positions[grid.pointIndex(3, 15, 30)];
    EXPECT_FLOAT_EQ(p.x, 3 * 20.0f / 30 - 10);
    EXPECT_EQ(p.y, 0.0f);
    EXPECT_EQ(p.z, 10.0f);

    const int32_t i = 4, j = 7, k = 11, cell = (i * 30 + j) * 30 + k;
    const int32_t offsets[8][3] = {{0, 0, 0}, {0, 0, 1}, {0, 1, 1}, {0, 1, 0},
                                   {1, 0, 0}, {1, 0, 1}, {1, 1, 1}, {1, 1, 0}};
    for (int c = 0; c < 8; ++c)
        EXPECT_EQ(grid.cellCorner(cell, c),
                  grid.pointIndex(i + offsets[c][0], j + offsets[c][1], k + offsets[c][2]))
            << "corner " << c;
}

TEST(MetaballField, TablesAreThePublishedOnes) {
    const auto& edges = MarchingCubesTables::edgeTable;
    EXPECT_EQ(edges[0], 0x0);
    EXPECT_EQ(edges[1], 0x109);
    EXPECT_EQ(edges[2], 0x203);
    EXPECT_EQ(edges[3], 0x30a);
    EXPECT_EQ(edges[4], 0x406);
    EXPECT_EQ(edges[90], 0xfff);
    EXPECT_EQ(edges[255], 0x0);
    const auto& rows = MarchingCubesTables::triTable;
    EXPECT_EQ((std::vector<int>(rows[1].begin(), rows[1].begin() + 4)), (std::vector<int>{0, 8, 3, -1}));
    EXPECT_EQ((std::vector<int>(rows[3].begin(), rows[3].begin() + 7)),
              (std::vector<int>{1, 8, 3, 9, 8, 1, -1}));
    EXPECT_EQ((std::vector<int>(rows[254].begin(), rows[254].begin() + 4)), (std::vector<int>{0, 3, 8, -1}));
}

TEST(MetaballField, SampledGridMatchesFieldAtExactly) {
    MetaballField field;
    field.create(6, 30, 10.0f, 3.0f);
    std::mt19937 random(7);
    std::uniform_real_distribution<float> place(-6.0f, 6.0f), strength(0.5f, 6.0f);
    for (MetaBall& ball : field.balls)
        ball = {{place(random), place(random), place(random)}, strength(random)};
    field.balls[5].position = field.grid.positions[field.grid.pointIndex(9, 12, 20)];
    field.sampleField();
    for (int32_t p = 0; p < field.grid.pointCount(); ++p)
        ASSERT_EQ(field.grid.values[p], field.fieldAt(field.grid.positions[p])) << "point " << p;
}

TEST(MetaballField, BallOnAGridPointIsInsideAndKeepsTheSurfaceFinite) {
    MetaballField field = singleBall(4.0f);
    const int32_t centre = field.grid.pointIndex(15, 15, 15);
    EXPECT_TRUE(std::isfinite(field.grid.values[centre]));
    EXPECT_GT(field.grid.values[centre], 1.0f);
    std::vector<SurfaceVertex> surface;
    ASSERT_GT(field.polygonise(1.0f, {19, 40, 0}, surface), 0);
    for (const SurfaceVertex& v : surface) {
        for (float c : {v.position.x, v.position.y, v.position.z, v.normal.x, v.normal.y, v.normal.z})
            ASSERT_TRUE(std::isfinite(c));
    }
}

TEST(MetaballField, SingleBallGivesASphereOfItsRadius) {
    MetaballField field = singleBall(4.0f);
    std::vector<SurfaceVertex> surface;
    const int32_t triangles = field.polygonise(1.0f, {}, surface);
    ASSERT_GT(triangles, 0);
    EXPECT_EQ(triangles % 2, 0);
    ASSERT_EQ(surface.size(), size_t(triangles) * 3);
    const float spacing = 20.0f / 30.0f;
    for (const SurfaceVertex& v : surface) {
        EXPECT_NEAR(std::sqrt(innerProduct(v.position, v.position)), 2.0, spacing);
        EXPECT_GT(innerProduct(v.normal, v.position), 0.0) << "normals point away from the ball";
    }
}

TEST(MetaballField, SurfaceIsClosedAndConsistentlyWound) {
    MetaballField field;
    field.create(6, 30, 10.0f, 3.0f);
    std::mt19937 random(11);
    std::uniform_real_distribution<float> place(-5.0f, 5.0f), strength(0.5f, 6.0f);
    for (MetaBall& ball : field.balls)
        ball = {{place(random), place(random), place(random)}, strength(random)};
    field.sampleField();
    field.computeNormals();
    std::vector<SurfaceVertex> surface;
    ASSERT_GT(field.polygonise(1.0f, {}, surface), 0);

    // Every directed edge is met once, in reverse, by the neighbouring triangle. Shared vertices are found
    // by position, rounded well below the grid spacing.
    using Key = std::tuple<long, long, long>;
    auto key = [](Vec3 p) {
        return Key{std::lround(p.x * 1e4), std::lround(p.y * 1e4), std::lround(p.z * 1e4)};
    };
    std::map<std::pair<Key, Key>, int> directed;
    for (size_t t = 0; t < surface.size(); t += 3)
        for (int e = 0; e < 3; ++e)
            ++directed[{key(surface[t + e].position), key(surface[t + (e + 1) % 3].position)}];
    for (const auto& [edge, count] : directed) {
        ASSERT_EQ(count, 1);
        const auto reverse = directed.find({edge.second, edge.first});
        ASSERT_NE(reverse, directed.end());
    }
}

TEST(MetaballField, TrianglesAreCounterClockwiseSeenFromOutsideLikeEveryMesh) {
    MetaballField field;
    field.create(1, 30, 10.0f, 4.0f);
    const Vec3 centre{0.1f, 0.2f, 0.3f};
    field.balls[0].position = centre;
    field.sampleField();
    std::vector<SurfaceVertex> surface;
    ASSERT_GT(field.polygonise(1.0f, {}, surface), 0);
    // The corner order runs along z where the tables' runs along x, a mirror image: the polygoniser
    // reverses the tables' triangles so that they face out the way culling expects.
    for (size_t t = 0; t < surface.size(); t += 3) {
        const Vec3 a = surface[t].position, b = surface[t + 1].position, c = surface[t + 2].position;
        const Vec3 ab{b.x - a.x, b.y - a.y, b.z - a.z}, ac{c.x - a.x, c.y - a.y, c.z - a.z};
        const Vec3 facing{ab.y * ac.z - ab.z * ac.y, ab.z * ac.x - ab.x * ac.z, ab.x * ac.y - ab.y * ac.x};
        const Vec3 outward{a.x - centre.x, a.y - centre.y, a.z - centre.z};
        ASSERT_GT(innerProduct(facing, outward), 0.0) << "triangle " << t / 3;
    }
}

// The polygoniser straight from its definition: every cell, its eight corners compared one by one.
std::vector<SurfaceVertex> polygoniseCellByCell(const MetaballField& field, float iso, Vec3 offset) {
    const MetaballGrid& grid = field.grid;
    const auto& corners = MarchingCubesTables::edgeCorners;
    std::vector<SurfaceVertex> out;
    for (int32_t cell = 0; cell < grid.cellCount(); ++cell) {
        unsigned cube = 0;
        for (int c = 0; c < 8; ++c)
            cube |= unsigned(iso > grid.values[grid.cellCorner(cell, c)]) << c;
        SurfaceVertex vertex[12];
        for (int e = 0; e < 12; ++e) {
            if ((MarchingCubesTables::edgeTable[cube] >> e & 1) == 0)
                continue;
            const int32_t a = grid.cellCorner(cell, corners[e][0]), b = grid.cellCorner(cell, corners[e][1]);
            const double mu = (double(iso) - grid.values[a]) / (double(grid.values[b]) - grid.values[a]);
            auto along = [mu](float from, float to) { return from + mu * (double(to) - from); };
            const Vec3 pa = grid.positions[a], pb = grid.positions[b], na = grid.normals[a],
                       nb = grid.normals[b];
            vertex[e].position = {float(along(pa.x, pb.x) + offset.x), float(along(pa.y, pb.y) + offset.y),
                                  float(along(pa.z, pb.z) + offset.z)};
            vertex[e].normal = {float(along(na.x, nb.x)), float(along(na.y, nb.y)), float(along(na.z, nb.z))};
        }
        // Each table triangle reversed, so that it faces out.
        const auto& row = MarchingCubesTables::triTable[cube];
        for (int t = 0; row[t] != -1; t += 3) {
            out.push_back(vertex[row[t]]);
            out.push_back(vertex[row[t + 2]]);
            out.push_back(vertex[row[t + 1]]);
        }
    }
    return out;
}

TEST(MetaballField, PolygoniserGivesExactlyTheCellByCellSurface) {
    MetaballField field;
    field.create(6, 30, 10.0f, 3.0f);
    std::mt19937 random(5);
    std::uniform_real_distribution<float> place(-8.0f, 8.0f), strength(0.5f, 6.0f);
    for (int round = 0; round < 4; ++round) {
        for (MetaBall& ball : field.balls)
            ball = {{place(random), place(random), place(random)}, strength(random)};
        field.sampleField();
        field.computeNormals();
        std::vector<SurfaceVertex> surface;
        const int32_t triangles = field.polygonise(1.0f, {19, 40, 0}, surface);
        const std::vector<SurfaceVertex> expected = polygoniseCellByCell(field, 1.0f, {19, 40, 0});
        ASSERT_EQ(surface.size(), expected.size());
        EXPECT_EQ(size_t(triangles) * 3, surface.size());
        for (size_t v = 0; v < surface.size(); ++v) {
            const SurfaceVertex& a = surface[v];
            const SurfaceVertex& b = expected[v];
            ASSERT_TRUE(a.position.x == b.position.x && a.position.y == b.position.y &&
                        a.position.z == b.position.z && a.normal.x == b.normal.x &&
                        a.normal.y == b.normal.y && a.normal.z == b.normal.z)
                << "vertex " << v;
        }
    }
}

TEST(MetaballField, UniformGridDrawsNothing) {
    MetaballField field;
    field.create(0, 30, 10.0f, 3.0f);
    std::vector<SurfaceVertex> surface;
    std::fill(field.grid.values.begin(), field.grid.values.end(), 0.5f);
    EXPECT_EQ(field.polygonise(1.0f, {}, surface), 0);
    std::fill(field.grid.values.begin(), field.grid.values.end(), 1.0f);
    EXPECT_EQ(field.polygonise(1.0f, {}, surface), 0);
    EXPECT_TRUE(surface.empty());
}

TEST(MetaballField, BadSizesAreReportedAndLeaveNothingToDraw) {
    test::MessageLog log;
    MetaballField field;
    field.create(-1, 0, 10.0f, 3.0f);
    EXPECT_EQ(field.grid.pointCount(), 0);
    EXPECT_EQ(field.ballCount(), 0);
    field.sampleField();
    field.computeNormals();
    std::vector<SurfaceVertex> surface;
    EXPECT_EQ(field.polygonise(1.0f, {}, surface), 0);
    field.create(6, MetaballField::maxResolution + 1, 10.0f, 3.0f);
    EXPECT_EQ(field.grid.pointCount(), 0);
    EXPECT_EQ(field.ballCount(), 6);
    EXPECT_EQ(log.messages().size(), 3u);
}

} // namespace
} // namespace halcyra
