#include "math/MetaballField.h"

#include "core/Message.h"
#include "math/MarchingCubesTables.h"

#include <GL/gl.h>

#include <array>
#include <cfloat>
#include <string>

namespace halcyra {

namespace {

// A grid point closer to a ball centre than this (0.001 units) takes its value at this distance: far
// inside the surface, and finite, so no infinity or NaN reaches the vertices.
constexpr double minSquaredDistance = 1e-6;

constexpr double floorSquaredDistance(double d2) {
    return d2 < minSquaredDistance ? minSquaredDistance : d2;
}

float toFiniteFloat(double sum) {
    if (sum > FLT_MAX)
        return FLT_MAX;
    if (sum < -FLT_MAX)
        return -FLT_MAX;
    return static_cast<float>(sum);
}

// Grid index offsets of the eight cell corners from corner 0.
std::array<int32_t, 8> cornerOffsets(int32_t n) {
    const int32_t row = n + 1, plane = row * row;
    return {0, 1, row + 1, row, plane, plane + 1, plane + row + 1, plane + row};
}

// The case bits set by a cross-section mask whose bits 0 … 3 are the points (i, j), (i, j + 1), (i + 1, j)
// and (i + 1, j + 1) of one height, when those points are the cell corners c00, c01, c10 and c11.
constexpr std::array<uint8_t, 16> makeSectionCases(int c00, int c01, int c10, int c11) {
    std::array<uint8_t, 16> cases{};
    for (int mask = 0; mask < 16; ++mask)
        cases[mask] = static_cast<uint8_t>((mask & 1) << c00 | (mask >> 1 & 1) << c01 |
                                           (mask >> 2 & 1) << c10 | (mask >> 3 & 1) << c11);
    return cases;
}

} // namespace

int32_t MetaballGrid::cellCorner(int32_t cell, int32_t corner) const {
    const int32_t n = resolution;
    const int32_t i = cell / (n * n), j = cell / n % n, k = cell % n;
    return pointIndex(i, j, k) + cornerOffsets(n)[corner];
}

void MetaballField::create(int32_t ballCount, int32_t resolution, float extraValue, float strength) {
    grid = MetaballGrid{};
    balls.clear();
    axis.clear();
    if (resolution < 1 || resolution > maxResolution) {
        showMessage("metaball grid resolution " + std::to_string(resolution) + " is outside 1 to " +
                    std::to_string(maxResolution));
    } else {
        const int32_t n = resolution, row = n + 1;
        grid.resolution = n;
        axis.resize(row);
        for (int32_t i = 0; i <= n; ++i)
            axis[i] = static_cast<float>(i * 20.0 / n - 10.0);
        const size_t count = size_t(row) * row * row;
        grid.positions.resize(count);
        grid.values.assign(count, 0.0f);
        grid.normals.assign(count, Vec3{});
        for (int32_t i = 0; i <= n; ++i)
            for (int32_t j = 0; j <= n; ++j)
                for (int32_t k = 0; k <= n; ++k)
                    grid.positions[grid.pointIndex(i, j, k)] = {axis[i], axis[j], axis[k]};
    }
    grid.extraValue = extraValue;
    if (ballCount < 0)
        showMessage("metaball field needs a ball count of 0 or more, not " + std::to_string(ballCount));
    else
        balls.assign(size_t(ballCount), MetaBall{Vec3{}, strength});
}

float MetaballField::fieldAt(Vec3 point) const {
    double sum = 0.0;
    for (const MetaBall& ball : balls) {
        const double dx = double(point.x) - ball.position.x;
        const double dy = double(point.y) - ball.position.y;
        const double dz = double(point.z) - ball.position.z;
        sum += ball.strength / floorSquaredDistance(dz * dz + dy * dy + dx * dx);
    }
    return toFiniteFloat(sum);
}

void MetaballField::sampleField() {
    const int32_t n = grid.resolution;
    if (n < 1)
        return;
    // The squared distance splits per axis: (z − cz)² + (y − cy)² + (x − cx)², each term depending on one
    // grid index. The terms are added in fieldAt's order, so every value is bit for bit fieldAt's.
    const size_t row = size_t(n) + 1, ballTotal = balls.size();
    squaredOffsets.resize(ballTotal * 3 * row);
    for (size_t b = 0; b < ballTotal; ++b) {
        const Vec3 centre = balls[b].position;
        double* offsets = &squaredOffsets[b * 3 * row];
        for (size_t i = 0; i < row; ++i) {
            const double dx = double(axis[i]) - centre.x;
            const double dy = double(axis[i]) - centre.y;
            const double dz = double(axis[i]) - centre.z;
            offsets[i] = dx * dx;
            offsets[row + i] = dy * dy;
            offsets[2 * row + i] = dz * dz;
        }
    }
    rowSums.resize(row);
    double* sums = rowSums.data();
    float* values = grid.values.data();
    for (size_t i = 0; i < row; ++i) {
        for (size_t j = 0; j < row; ++j) {
            for (size_t k = 0; k < row; ++k)
                sums[k] = 0.0;
            for (size_t b = 0; b < ballTotal; ++b) {
                const double* offsets = &squaredOffsets[b * 3 * row];
                const double strength = balls[b].strength;
                const double xx = offsets[i], yy = offsets[row + j];
                const double* zz = offsets + 2 * row;
                for (size_t k = 0; k < row; ++k)
                    sums[k] += strength / floorSquaredDistance(zz[k] + yy + xx);
            }
            float* out = values + (i * row + j) * row;
            for (size_t k = 0; k < row; ++k)
                out[k] = toFiniteFloat(sums[k]);
        }
    }
}

void MetaballField::computeNormals() {
    const int32_t n = grid.resolution;
    const int32_t row = n + 1, plane = row * row;
    const float* v = grid.values.data();
    for (int32_t i = 1; i < n; ++i) {
        for (int32_t j = 1; j < n; ++j) {
            for (int32_t k = 1; k < n; ++k) {
                const int32_t p = grid.pointIndex(i, j, k);
                grid.normals[p] = {v[p - plane] - v[p + plane], v[p - row] - v[p + row], v[p - 1] - v[p + 1]};
            }
        }
    }
}

int32_t MetaballField::polygonise(float iso, Vec3 offset, std::vector<SurfaceVertex>& out) const {
    out.clear();
    const int32_t n = grid.resolution;
    if (n < 1)
        return 0;
    const int32_t row = n + 1, plane = row * row;
    const float* values = grid.values.data();
    const Vec3* positions = grid.positions.data();
    const Vec3* normals = grid.normals.data();
    const auto& edgeCorners = MarchingCubesTables::edgeCorners;
    const auto corner = cornerOffsets(n);

    // Each point is compared with the iso level once. Along a row of cells (k rising), the four points
    // of a cross-section at height k give a 4-bit mask; a cell's case is the masks of its two
    // cross-sections spread onto corners 0, 3, 4, 7 (below) and 1, 2, 5, 6 (above).
    below.resize(grid.values.size());
    uint8_t* flags = below.data();
    const size_t pointTotal = below.size();
    for (size_t p = 0; p < pointTotal; ++p)
        flags[p] = iso > values[p];
    sectionMasks.resize(size_t(row));
    static constexpr std::array<uint8_t, 16> lowerCorners = makeSectionCases(0, 3, 4, 7);
    static constexpr std::array<uint8_t, 16> upperCorners = makeSectionCases(1, 2, 5, 6);

    int32_t triangles = 0;
    SurfaceVertex vertices[12];
    uint8_t* masks = sectionMasks.data();
    for (int32_t i = 0; i < n; ++i) {
        for (int32_t j = 0; j < n; ++j) {
            const int32_t first = grid.pointIndex(i, j, 0);
            const uint8_t* b00 = flags + first;
            const uint8_t* b01 = b00 + row;
            const uint8_t* b10 = b00 + plane;
            const uint8_t* b11 = b10 + row;
            unsigned any = 0, all = 15;
            for (int32_t k = 0; k < row; ++k) {
                masks[k] = static_cast<uint8_t>(b00[k] | b01[k] << 1 | b10[k] << 2 | b11[k] << 3);
                any |= masks[k];
                all &= masks[k];
            }
            // A row of cells wholly on one side of the surface has nothing to draw.
            if (any == 0 || all == 15)
                continue;
            for (int32_t k = 0; k < n; ++k) {
                const unsigned cube = lowerCorners[masks[k]] | upperCorners[masks[k + 1]];
                const unsigned edges = MarchingCubesTables::edgeTable[cube];
                if (edges == 0)
                    continue;
                const int32_t base = first + k;
                for (int e = 0; e < 12; ++e) {
                    if ((edges & (1u << e)) == 0)
                        continue;
                    const int32_t a = base + corner[edgeCorners[e][0]];
                    const int32_t b = base + corner[edgeCorners[e][1]];
                    // The corners straddle the iso level, so their values differ and mu is finite.
                    const double mu = (double(iso) - values[a]) / (double(values[b]) - values[a]);
                    const Vec3 pa = positions[a], pb = positions[b], na = normals[a], nb = normals[b];
                    vertices[e].position = {static_cast<float>(pa.x + mu * (double(pb.x) - pa.x) + offset.x),
                                            static_cast<float>(pa.y + mu * (double(pb.y) - pa.y) + offset.y),
                                            static_cast<float>(pa.z + mu * (double(pb.z) - pa.z) + offset.z)};
                    vertices[e].normal = {static_cast<float>(na.x + mu * (double(nb.x) - na.x)),
                                          static_cast<float>(na.y + mu * (double(nb.y) - na.y)),
                                          static_cast<float>(na.z + mu * (double(nb.z) - na.z))};
                }
                // With this corner order the tables' triangles run clockwise seen from outside; they are
                // emitted reversed, counter-clockwise like every mesh, so culling treats them alike.
                const auto& triangleRow = MarchingCubesTables::triTable[cube];
                for (int t = 0; triangleRow[t] != -1; t += 3) {
                    out.push_back(vertices[triangleRow[t]]);
                    out.push_back(vertices[triangleRow[t + 2]]);
                    out.push_back(vertices[triangleRow[t + 1]]);
                    ++triangles;
                }
            }
        }
    }
    return triangles;
}

int32_t MetaballField::draw(float iso, Vec3 offset) {
    polygonise(iso, offset, surface);
    return drawSurface(surface);
}

int32_t MetaballField::drawSurface(std::span<const SurfaceVertex> vertices) {
    glBegin(GL_TRIANGLES);
    for (const SurfaceVertex& vertex : vertices) {
        glNormal3fv(&vertex.normal.x);
        glVertex3fv(&vertex.position.x);
    }
    glEnd();
    return static_cast<int32_t>(vertices.size() / 3);
}

} // namespace halcyra
