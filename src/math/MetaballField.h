// MetaballField: a few balls, a cubic sampling grid over −10 … 10 on every axis, the field (strength over
// squared distance, summed), central-difference normals and a marching-cubes polygoniser. The metaball
// scene sets the balls, samples the field and computes normals in its update, then draws the surface in
// its shadow and lit passes. Polygonising fills a caller's vertex buffer and needs no GL; `draw` is the
// GL emission on top. Bad sizes are reported with a message and leave an empty grid or no balls.
#pragma once

#include "math/Vec3.h"

#include <cstdint>
#include <span>
#include <vector>

namespace halcyra {

struct MetaBall {
    Vec3 position;
    float strength = 0.0f;
};

// One surface vertex as GL receives it: normal (not normalised), then position.
struct SurfaceVertex {
    Vec3 normal;
    Vec3 position;
};

struct MetaballGrid {
    // Point (i, j, k), each 0 … n, has index (i·(n + 1) + j)·(n + 1) + k and position
    // (i·20/n − 10, j·20/n − 10, k·20/n − 10). Positions are fixed at creation.
    std::vector<Vec3> positions;
    std::vector<float> values;
    std::vector<Vec3> normals;
    int32_t resolution = 0;  // n, cells per axis
    float extraValue = 0.0f; // kept for the caller; the field does not read it

    int32_t pointCount() const { return static_cast<int32_t>(values.size()); }
    int32_t cellCount() const { return resolution * resolution * resolution; }
    int32_t pointIndex(int32_t i, int32_t j, int32_t k) const {
        return (i * (resolution + 1) + j) * (resolution + 1) + k;
    }
    // The point at corner 0 … 7 of cell (i·n + j)·n + k; corner c is P(a, b, c) for the offsets
    // (0,0,0), (0,0,1), (0,1,1), (0,1,0), (1,0,0), (1,0,1), (1,1,1), (1,1,0), in that order.
    int32_t cellCorner(int32_t cell, int32_t corner) const;
};

class MetaballField {
public:
    // Grid resolutions beyond this are refused (the grid would take gigabytes).
    static constexpr int32_t maxResolution = 256;

    // Builds the grid (values and normals 0) and `ballCount` balls at the origin with `strength`.
    void create(int32_t ballCount, int32_t resolution, float extraValue, float strength);

    // The sum over the balls of strength / squared distance. A point on a ball centre counts as very
    // deep inside: the squared distance is kept above a tiny floor, so the value stays finite.
    float fieldAt(Vec3 point) const;
    // Stores fieldAt of every grid point as its value, with exactly fieldAt's results.
    void sampleField();
    // Normals of the inner points from the stored values: the negated central difference, without the
    // factor ½ and not normalised, pointing from high values to low. Boundary points keep theirs.
    void computeNormals();

    // Replaces `out` with the iso-surface, three vertices per triangle, counter-clockwise seen from outside,
    // moved by `offset`; returns the triangle count. Corner c counts as outside when iso > its value.
    int32_t polygonise(float iso, Vec3 offset, std::vector<SurfaceVertex>& out) const;
    // Polygonises into `surface` and emits it as GL_TRIANGLES; returns the triangles drawn. A second
    // pass with the same iso level and offset can call drawSurface (surface) instead.
    int32_t draw(float iso, Vec3 offset);
    // Emits triangles as GL_TRIANGLES (glNormal3fv, glVertex3fv per vertex); returns their count.
    static int32_t drawSurface(std::span<const SurfaceVertex> vertices);

    int32_t ballCount() const { return static_cast<int32_t>(balls.size()); }

    MetaballGrid grid;
    std::vector<MetaBall> balls;
    std::vector<SurfaceVertex> surface; // what the last draw built; its capacity is kept between frames

private:
    std::vector<float> axis;            // the n + 1 coordinates every axis of the grid shares
    std::vector<double> squaredOffsets; // per ball and axis, (coordinate − centre)², for sampleField
    std::vector<double> rowSums;        // one grid row of sums, for sampleField
    mutable std::vector<uint8_t> below; // per point, iso > value, for polygonise
    mutable std::vector<uint8_t> sectionMasks; // one row of cross-section masks, for polygonise
};

} // namespace halcyra
