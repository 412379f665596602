// MeshBuilder: one object of a model, built in the show's Y-up axes from a few clean shapes (boxes,
// prisms, surfaces of revolution, spheres), with texture coordinates on every vertex and triangles
// counter-clockwise seen from outside. Flat faces get vertices of their own so that their edges stay hard;
// curved surfaces share vertices so that they shade smoothly. object() converts to the file's Z-up axes
// and throws std::runtime_error when the object outgrows the 3DS limits.
#pragma once

#include "Geometry.h"
#include "Writer3ds.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace halcyra::tools {

// Where a shape stands: rotated about its own origin, then moved.
struct Placement {
    Quatd rotation;
    Vec3d translation;

    Vec3d apply(const Vec3d& local) const { return rotation.rotate(local) + translation; }
};

inline Placement at(const Vec3d& translation, const Quatd& rotation = {}) {
    return {rotation, translation};
}

// A rectangle of texture space: (u0, v0) at the face's first corner, (u1, v1) at the opposite one.
struct UvRect {
    double u0 = 0.0;
    double v0 = 0.0;
    double u1 = 1.0;
    double v1 = 1.0;
};

// One point of a profile swept about the vertical axis: distance from the axis and height.
struct ProfilePoint {
    double radius = 0.0;
    double height = 0.0;
};

struct LatheOptions {
    int segments = 32;
    double startDegrees = 0.0; // the sweep runs counter-clockwise seen from above
    double sweepDegrees = 360.0;
    double uRepeat = 1.0;       // texture repeats around the sweep
    double vPerUnit = 0.05;     // texture repeats per unit of length along the profile
    bool facetedAround = false; // hard edges between segments
    bool capEnds = false;       // closes a partial sweep with flat ends (profile must be a convex loop)
    // When set, texture v of each profile point instead of its length along the strip.
    std::function<double(const ProfilePoint&)> vOf;
};

// Each straight segment of a profile as a strip of its own, so that a lathe keeps every corner hard.
std::vector<std::vector<ProfilePoint>> hardStrips(const std::vector<ProfilePoint>& loop);

class MeshBuilder {
public:
    int vertex(const Vec3d& position, double u, double v);
    void triangle(int a, int b, int c);
    // Corners counter-clockwise seen from the front.
    void quad(int a, int b, int c, int d);
    // A flat quad with its own vertices; uv.(u0, v0) at p0, (u1, v0) at p1, (u1, v1) at p2, (u0, v1) at p3.
    void face(const Vec3d& p0, const Vec3d& p1, const Vec3d& p2, const Vec3d& p3, const UvRect& uv);

    // A box of the given half extents. faceUv(face, width, height) gives each face's texture rectangle;
    // faces 0 … 5 look along +z, −z, +x, −x, +y, −y of the box, and width and height are the face's own
    // extents along its u and v. Without faceUv every face tiles at `uvPerUnit`.
    using FaceUv = std::function<UvRect(int face, double width, double height)>;
    void box(const Placement& place, const Vec3d& half, const FaceUv& faceUv);
    void box(const Placement& place, const Vec3d& half, double uvPerUnit);

    // A straight prism along its local y axis over a convex polygon (x, z pairs, counter-clockwise seen
    // from above), from height y0 to y1, with flat caps (the top one left off when something else closes
    // it); sides and caps tile at `uvPerUnit`.
    void prism(const Placement& place, const std::vector<std::array<double, 2>>& polygon, double y0,
               double y1, double uvPerUnit, bool capTop = true);

    // Sweeps each strip of profile points about the local y axis. Points within a strip shade smoothly;
    // separate strips meet at hard edges. Strips run so that the outside lies to their right when drawn
    // with the radius to the right and the height up (up the outside of a cylinder).
    void lathe(const Placement& place, const std::vector<std::vector<ProfilePoint>>& strips,
               const LatheOptions& options);

    // A sphere about the placement's origin: u once around from the local +x axis, v from the south pole
    // (0) to the north pole (1).
    void sphere(const Placement& place, double radius, int segments, int rings, double uRepeat = 1.0,
                double vRepeat = 1.0);

    // A ring tube: the circle of radius `tube` swept at distance `radius` about the local y axis.
    void torus(const Placement& place, double radius, double tube, int segments, int tubeSegments,
               double uRepeat, double vRepeat);

    // A square column from y0 to y1 with a low four-sided pyramid on top; every face flat.
    void column(const Placement& place, double halfWidth, double halfDepth, double y0, double y1,
                double capHeight, double uvPerUnit);

    // A flat ring plate about the local y axis, cut into `segments` arcs with gaps between them (so that
    // its turning shows), each arc closed at its ends.
    void segmentedRing(const Placement& place, double inner, double outer, double thickness, int segments,
                       double gapDegrees, double uvPerUnit);

    size_t vertexCount() const { return positions.size(); }
    size_t triangleCount() const { return faces.size(); }
    const std::vector<Vec3d>& vertices() const { return positions; }

    // The 3DS object: every face in one material group, positions stored in the file's axes, `origin` as
    // the object's local origin (the point its keyframe node turns about).
    Object3ds object(const std::string& name, const std::string& material, const Vec3d& origin) const;

private:
    std::vector<Vec3d> positions;
    std::vector<std::array<double, 2>> uvs;
    std::vector<std::array<int, 3>> faces;
};

} // namespace halcyra::tools
