#include "MeshBuilder.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <stdexcept>

namespace halcyra::tools {
namespace {

// The point of a profile at angle `phi` about the vertical axis; the angle grows from +x towards −z,
// counter-clockwise seen from above, so that u grows to the right seen from outside.
Vec3d swept(const ProfilePoint& p, double phi) {
    return {p.radius * std::cos(phi), p.height, -p.radius * std::sin(phi)};
}

} // namespace

std::vector<std::vector<ProfilePoint>> hardStrips(const std::vector<ProfilePoint>& loop) {
    std::vector<std::vector<ProfilePoint>> strips;
    for (size_t i = 0; i + 1 < loop.size(); ++i)
        strips.push_back({loop[i], loop[i + 1]});
    return strips;
}

int MeshBuilder::vertex(const Vec3d& position, double u, double v) {
    positions.push_back(position);
    uvs.push_back({u, v});
    return static_cast<int>(positions.size() - 1);
}

void MeshBuilder::triangle(int a, int b, int c) {
    faces.push_back({a, b, c});
}

void MeshBuilder::quad(int a, int b, int c, int d) {
    triangle(a, b, c);
    triangle(a, c, d);
}

void MeshBuilder::face(const Vec3d& p0, const Vec3d& p1, const Vec3d& p2, const Vec3d& p3, const UvRect& uv) {
    const int a = vertex(p0, uv.u0, uv.v0);
    const int b = vertex(p1, uv.u1, uv.v0);
    const int c = vertex(p2, uv.u1, uv.v1);
    const int d = vertex(p3, uv.u0, uv.v1);
    quad(a, b, c, d);
}

void MeshBuilder::box(const Placement& place, const Vec3d& half, const FaceUv& faceUv) {
    const double x = half.x, y = half.y, z = half.z;
    // Corners of each face counter-clockwise seen from outside, u along the first edge, v along the last.
    const Vec3d corners[6][4] = {{{-x, -y, z}, {x, -y, z}, {x, y, z}, {-x, y, z}},
                                 {{x, -y, -z}, {-x, -y, -z}, {-x, y, -z}, {x, y, -z}},
                                 {{x, -y, z}, {x, -y, -z}, {x, y, -z}, {x, y, z}},
                                 {{-x, -y, -z}, {-x, -y, z}, {-x, y, z}, {-x, y, -z}},
                                 {{-x, y, z}, {x, y, z}, {x, y, -z}, {-x, y, -z}},
                                 {{-x, -y, -z}, {x, -y, -z}, {x, -y, z}, {-x, -y, z}}};
    const double widths[6] = {2 * x, 2 * x, 2 * z, 2 * z, 2 * x, 2 * x};
    const double heights[6] = {2 * y, 2 * y, 2 * y, 2 * y, 2 * z, 2 * z};
    for (int f = 0; f < 6; ++f) {
        const UvRect uv = faceUv(f, widths[f], heights[f]);
        face(place.apply(corners[f][0]), place.apply(corners[f][1]), place.apply(corners[f][2]),
             place.apply(corners[f][3]), uv);
    }
}

void MeshBuilder::box(const Placement& place, const Vec3d& half, double uvPerUnit) {
    box(place, half, [uvPerUnit](int, double width, double height) {
        return UvRect{0.0, 0.0, width * uvPerUnit, height * uvPerUnit};
    });
}

void MeshBuilder::prism(const Placement& place, const std::vector<std::array<double, 2>>& polygon, double y0,
                        double y1, double uvPerUnit, bool capTop) {
    const size_t n = polygon.size();
    double along = 0.0;
    for (size_t i = 0; i < n; ++i) {
        const auto& a = polygon[i];
        const auto& b = polygon[(i + 1) % n];
        const double edge = std::hypot(b[0] - a[0], b[1] - a[1]);
        face(place.apply({a[0], y0, a[1]}), place.apply({b[0], y0, b[1]}), place.apply({b[0], y1, b[1]}),
             place.apply({a[0], y1, a[1]}),
             {along * uvPerUnit, y0 * uvPerUnit, (along + edge) * uvPerUnit, y1 * uvPerUnit});
        along += edge;
    }
    // Caps: v runs along −z on the top (up on the picture seen from above) and along +z underneath.
    std::vector<int> top(n), bottom(n);
    for (size_t i = 0; i < n; ++i) {
        const auto& p = polygon[i];
        top[i] = vertex(place.apply({p[0], y1, p[1]}), p[0] * uvPerUnit, -p[1] * uvPerUnit);
        bottom[i] = vertex(place.apply({p[0], y0, p[1]}), p[0] * uvPerUnit, p[1] * uvPerUnit);
    }
    for (size_t i = 1; i + 1 < n; ++i) {
        if (capTop)
            triangle(top[0], top[i], top[i + 1]);
        triangle(bottom[0], bottom[i + 1], bottom[i]);
    }
}

void MeshBuilder::lathe(const Placement& place, const std::vector<std::vector<ProfilePoint>>& strips,
                        const LatheOptions& options) {
    const int segments = options.segments;
    const double start = radians(options.startDegrees);
    const double sweep = radians(options.sweepDegrees);
    auto angleAt = [&](int i) { return start + sweep * i / segments; };
    auto uAt = [&](int i) { return options.uRepeat * i / segments; };

    for (const std::vector<ProfilePoint>& strip : strips) {
        // Texture v by length along the strip, unless the caller maps it.
        std::vector<double> v(strip.size(), 0.0);
        for (size_t j = 0; j < strip.size(); ++j) {
            if (options.vOf)
                v[j] = options.vOf(strip[j]);
            else if (j > 0)
                v[j] = v[j - 1] + std::hypot(strip[j].radius - strip[j - 1].radius,
                                             strip[j].height - strip[j - 1].height) *
                                      options.vPerUnit;
        }
        if (options.facetedAround) {
            for (int i = 0; i < segments; ++i) {
                std::vector<int> left(strip.size()), right(strip.size());
                for (size_t j = 0; j < strip.size(); ++j) {
                    left[j] = vertex(place.apply(swept(strip[j], angleAt(i))), uAt(i), v[j]);
                    right[j] = vertex(place.apply(swept(strip[j], angleAt(i + 1))), uAt(i + 1), v[j]);
                }
                for (size_t j = 0; j + 1 < strip.size(); ++j)
                    quad(left[j], right[j], right[j + 1], left[j + 1]);
            }
        } else {
            std::vector<std::vector<int>> columns(static_cast<size_t>(segments) + 1);
            for (int i = 0; i <= segments; ++i)
                for (size_t j = 0; j < strip.size(); ++j)
                    columns[static_cast<size_t>(i)].push_back(
                        vertex(place.apply(swept(strip[j], angleAt(i))), uAt(i), v[j]));
            for (int i = 0; i < segments; ++i) {
                const auto& left = columns[static_cast<size_t>(i)];
                const auto& right = columns[static_cast<size_t>(i) + 1];
                for (size_t j = 0; j + 1 < strip.size(); ++j)
                    quad(left[j], right[j], right[j + 1], left[j + 1]);
            }
        }
    }

    if (!options.capEnds)
        return;
    // The ends of a partial sweep: the profile loop (its strips' first points, in order) as flat fans.
    std::vector<ProfilePoint> loop;
    for (const auto& strip : strips)
        loop.push_back(strip.front());
    for (const bool atStart : {true, false}) {
        const double phi = atStart ? start : start + sweep;
        std::vector<int> fan;
        for (const ProfilePoint& p : loop)
            fan.push_back(vertex(place.apply(swept(p, phi)),
                                 (atStart ? p.radius : -p.radius) * options.vPerUnit,
                                 p.height * options.vPerUnit));
        for (size_t i = 1; i + 1 < fan.size(); ++i) {
            if (atStart)
                triangle(fan[0], fan[i], fan[i + 1]);
            else
                triangle(fan[0], fan[i + 1], fan[i]);
        }
    }
}

void MeshBuilder::sphere(const Placement& place, double radius, int segments, int rings, double uRepeat,
                         double vRepeat) {
    // Rows 1 … rings − 1 share vertices; each pole is one vertex per segment, so every pole triangle keeps
    // its own texture coordinate.
    std::vector<std::vector<int>> rows(static_cast<size_t>(rings) + 1);
    for (int j = 1; j < rings; ++j) {
        const double latitude = -pi / 2 + pi * j / rings;
        const ProfilePoint p{radius * std::cos(latitude), radius * std::sin(latitude)};
        for (int i = 0; i <= segments; ++i)
            rows[static_cast<size_t>(j)].push_back(vertex(place.apply(swept(p, 2 * pi * i / segments)),
                                                          uRepeat * i / segments, vRepeat * j / rings));
    }
    for (int i = 0; i < segments; ++i) {
        const double u = uRepeat * (i + 0.5) / segments;
        const int south = vertex(place.apply({0.0, -radius, 0.0}), u, 0.0);
        const int north = vertex(place.apply({0.0, radius, 0.0}), u, vRepeat);
        const auto& first = rows[1];
        const auto& last = rows[static_cast<size_t>(rings) - 1];
        triangle(south, first[static_cast<size_t>(i) + 1], first[static_cast<size_t>(i)]);
        triangle(north, last[static_cast<size_t>(i)], last[static_cast<size_t>(i) + 1]);
        for (int j = 1; j + 1 < rings; ++j) {
            const auto& lower = rows[static_cast<size_t>(j)];
            const auto& upper = rows[static_cast<size_t>(j) + 1];
            quad(lower[static_cast<size_t>(i)], lower[static_cast<size_t>(i) + 1],
                 upper[static_cast<size_t>(i) + 1], upper[static_cast<size_t>(i)]);
        }
    }
}

void MeshBuilder::torus(const Placement& place, double radius, double tube, int segments, int tubeSegments,
                        double uRepeat, double vRepeat) {
    // The tube's circle counter-clockwise in the (radius, height) plane: the outside lies to its right.
    std::vector<ProfilePoint> circle;
    for (int k = 0; k <= tubeSegments; ++k) {
        const double a = -pi / 2 + 2 * pi * k / tubeSegments; // starts underneath, where the seam hides
        circle.push_back({radius + tube * std::cos(a), tube * std::sin(a)});
    }
    LatheOptions options;
    options.segments = segments;
    options.uRepeat = uRepeat;
    options.vPerUnit = vRepeat / (2 * pi * tube);
    lathe(place, {circle}, options);
}

void MeshBuilder::column(const Placement& place, double halfWidth, double halfDepth, double y0, double y1,
                         double capHeight, double uvPerUnit) {
    prism(
        place,
        {{halfWidth, halfDepth}, {halfWidth, -halfDepth}, {-halfWidth, -halfDepth}, {-halfWidth, halfDepth}},
        y0, y1, uvPerUnit, false);
    const Vec3d apex = place.apply({0.0, y1 + capHeight, 0.0});
    const Vec3d corners[4] = {
        place.apply({halfWidth, y1, halfDepth}), place.apply({halfWidth, y1, -halfDepth}),
        place.apply({-halfWidth, y1, -halfDepth}), place.apply({-halfWidth, y1, halfDepth})};
    // The cap: four triangles with vertices of their own, v up the slope.
    for (int i = 0; i < 4; ++i) {
        const Vec3d& a = corners[i];
        const Vec3d& b = corners[(i + 1) % 4];
        const double edge = length(b - a) * uvPerUnit;
        const double slope = length(apex - (a + b) * 0.5) * uvPerUnit;
        triangle(vertex(a, 0.0, 0.0), vertex(b, edge, 0.0), vertex(apex, edge * 0.5, slope));
    }
}

void MeshBuilder::segmentedRing(const Placement& place, double inner, double outer, double thickness,
                                int segments, double gapDegrees, double uvPerUnit) {
    const double arc = 360.0 / segments;
    const double h = thickness * 0.5;
    for (int s = 0; s < segments; ++s) {
        LatheOptions options;
        options.segments = std::max(2, static_cast<int>(std::ceil((arc - gapDegrees) / 4.0)));
        options.startDegrees = s * arc + gapDegrees * 0.5;
        options.sweepDegrees = arc - gapDegrees;
        options.uRepeat =
            std::max(1.0, std::round(2 * pi * outer * options.sweepDegrees / 360.0 * uvPerUnit));
        options.vPerUnit = uvPerUnit;
        options.capEnds = true;
        lathe(place, hardStrips({{inner, -h}, {outer, -h}, {outer, h}, {inner, h}, {inner, -h}}), options);
    }
}

Object3ds MeshBuilder::object(const std::string& name, const std::string& material,
                              const Vec3d& origin) const {
    if (positions.size() > std::numeric_limits<uint16_t>::max() ||
        faces.size() > std::numeric_limits<uint16_t>::max())
        throw std::runtime_error("object " + name + " has more vertices or faces than a 3DS object holds");
    Object3ds object;
    object.name = name;
    for (const Vec3d& p : positions)
        object.vertices.push_back(fileFromShowPosition(
            {static_cast<float>(p.x), static_cast<float>(p.y), static_cast<float>(p.z)}));
    for (const auto& uv : uvs)
        object.texCoords.push_back({static_cast<float>(uv[0]), static_cast<float>(uv[1])});
    MaterialGroup3ds group{material, {}};
    for (size_t f = 0; f < faces.size(); ++f) {
        object.faces.push_back({static_cast<uint16_t>(faces[f][0]), static_cast<uint16_t>(faces[f][1]),
                                static_cast<uint16_t>(faces[f][2])});
        group.faces.push_back(static_cast<uint16_t>(f));
    }
    object.groups = {group};
    object.setOrigin(fileFromShowPosition(
        {static_cast<float>(origin.x), static_cast<float>(origin.y), static_cast<float>(origin.z)}));
    return object;
}

} // namespace halcyra::tools
