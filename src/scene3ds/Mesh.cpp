#include "scene3ds/Mesh.h"

#include "core/GlExtensions.h"
#include "core/Message.h"

#include <cmath>
#include <cstdint>
#include <optional>

namespace halcyra {
namespace {

bool finite(Vec3 v) {
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

// `v` scaled to unit length, or nothing when it has no direction (zero, denormal or non-finite).
std::optional<Vec3> unitOf(Vec3 v) {
    const float length = Vec3::length(v);
    if (!(length > 0.0f) || !std::isfinite(length))
        return std::nullopt;
    const Vec3 unit = Vec3::normalize(v);
    if (!finite(unit))
        return std::nullopt;
    return unit;
}

// A unit vector at right angles to the unit vector `n`.
Vec3 perpendicularTo(Vec3 n) {
    const Vec3 helper = std::fabs(n.x) < 0.9f ? Vec3{1.0f, 0.0f, 0.0f} : Vec3{0.0f, 1.0f, 0.0f};
    return Vec3::normalize(Vec3::sub(helper, Vec3::scale(n, Vec3::dot(helper, n))));
}

} // namespace

Mesh::Mesh(std::string meshName) : name(std::move(meshName)) {}

Mesh::~Mesh() {
    if (ownsArrays && hasBuffers) {
        const GlExtensions& ext = GlExtensions::instance();
        for (uint32_t* buffer : {&positionBuffer, &indexBuffer, &normalTexBuffer, &tangentBuffer})
            ext.glDeleteBuffersARB(1, buffer);
    }
    vertexCount = 0;
    triangleCount = 0;
    ownsArrays = false;
}

void Mesh::allocate(int32_t vertices, int32_t triangles) {
    const size_t v = static_cast<size_t>(vertices > 0 ? vertices : 0);
    const size_t t = static_cast<size_t>(triangles > 0 ? triangles : 0);
    positions.assign(v, Vec3{});
    normals.assign(v, Vec3{});
    texCoords.assign(v, Vec2{});
    indices.assign(3 * t, 0u);
    tangents.assign(v, Vec3{});
    binormals.assign(v, Vec3{});
    vertexCount = static_cast<int32_t>(v);
    triangleCount = static_cast<int32_t>(t);
    ownsArrays = true;
    tangentsReady = false;
    hasBuffers = false;
    material = std::make_unique<MeshMaterial>();
    transform = Mat4::identity();
    normalTransform = Mat3::identity();
}

void Mesh::finalize() {
    computeTangentSpace();
    createBuffers();
}

void Mesh::computeTangentSpace() {
    tangentsReady = true;
    for (size_t i = 0; i < positions.size(); ++i)
        normals[i] = tangents[i] = binormals[i] = Vec3{};

    const size_t vertices = positions.size();
    const bool mapped = texCoords.size() == vertices;
    for (size_t f = 0; f + 2 < indices.size(); f += 3) {
        const uint32_t i0 = indices[f], i1 = indices[f + 1], i2 = indices[f + 2];
        if (i0 >= vertices || i1 >= vertices || i2 >= vertices)
            continue;
        const Vec3 e1 = Vec3::sub(positions[i1], positions[i0]);
        const Vec3 e2 = Vec3::sub(positions[i2], positions[i0]);
        // Not normalised: larger triangles weigh more.
        const Vec3 n = Vec3::cross(e1, e2);
        for (uint32_t i : {i0, i1, i2})
            normals[i] = Vec3::add(normals[i], n);
        if (!mapped)
            continue;

        const double ds1 = double(texCoords[i1].x) - texCoords[i0].x;
        const double dt1 = double(texCoords[i1].y) - texCoords[i0].y;
        const double ds2 = double(texCoords[i2].x) - texCoords[i0].x;
        const double dt2 = double(texCoords[i2].y) - texCoords[i0].y;
        const float det = static_cast<float>(dt2 * ds1 - ds2 * dt1);
        const float inverse = 1.0f / det;
        // A mapping that collapses the triangle has no tangent direction; its normal still counts.
        if (det == 0.0f || !std::isfinite(inverse))
            continue;
        const Vec3 t = Vec3::scale(
            Vec3::sub(Vec3::scale(e1, static_cast<float>(dt2)), Vec3::scale(e2, static_cast<float>(dt1))),
            inverse);
        const Vec3 b = Vec3::scale(
            Vec3::sub(Vec3::scale(e2, static_cast<float>(ds1)), Vec3::scale(e1, static_cast<float>(ds2))),
            inverse);
        if (!finite(t) || !finite(b))
            continue;
        for (uint32_t i : {i0, i1, i2}) {
            tangents[i] = Vec3::add(tangents[i], t);
            binormals[i] = Vec3::add(binormals[i], b);
        }
    }

    for (size_t i = 0; i < vertices; ++i) {
        // A vertex that no triangle uses, or only degenerate ones, faces up.
        const Vec3 n = unitOf(normals[i]).value_or(Vec3{0.0f, 1.0f, 0.0f});
        std::optional<Vec3> t = unitOf(tangents[i]);
        std::optional<Vec3> b = unitOf(binormals[i]);
        if (!t && b)
            t = unitOf(Vec3::cross(*b, n));
        if (t && !b)
            b = unitOf(Vec3::cross(n, *t));
        if (!t || !b) {
            t = perpendicularTo(n);
            b = Vec3::cross(n, *t);
        }
        normals[i] = n;
        tangents[i] = *t;
        binormals[i] = *b;
    }
}

void Mesh::createBuffers() {
    const GlExtensions& ext = GlExtensions::instance();
    if (!ext.has(GlExtension::ArbVertexBufferObject))
        fatalError("GL_ARB_vertex_buffer_object not supported");
    hasBuffers = true;
    uint32_t names[4] = {};
    ext.glGenBuffersARB(4, names);
    positionBuffer = names[0];
    indexBuffer = names[1];
    normalTexBuffer = names[2];
    tangentBuffer = names[3];

    const size_t v = static_cast<size_t>(vertexCount);
    const size_t t = static_cast<size_t>(triangleCount);
    auto upload = [&](GLenum target, uint32_t buffer, size_t bytes, const void* data, GLenum usage) {
        ext.glBindBufferARB(target, buffer);
        ext.glBufferDataARB(target, static_cast<GLsizeiptrARB>(bytes), data, usage);
        ext.glBindBufferARB(target, 0);
    };
    upload(GL_ARRAY_BUFFER_ARB, positionBuffer, 12 * v, positions.data(), GL_DYNAMIC_DRAW_ARB);
    upload(GL_ELEMENT_ARRAY_BUFFER_ARB, indexBuffer, 12 * t, indices.data(), GL_STATIC_DRAW_ARB);

    std::vector<float> normalTex(5 * v, 0.0f);
    for (size_t i = 0; i < v; ++i) {
        normalTex[3 * i] = normals[i].x;
        normalTex[3 * i + 1] = normals[i].y;
        normalTex[3 * i + 2] = normals[i].z;
        if (i < texCoords.size()) {
            normalTex[3 * v + 2 * i] = texCoords[i].x;
            normalTex[3 * v + 2 * i + 1] = texCoords[i].y;
        }
    }
    upload(GL_ARRAY_BUFFER_ARB, normalTexBuffer, 20 * v, normalTex.data(), GL_DYNAMIC_DRAW_ARB);

    std::vector<Vec3> frame(2 * v);
    for (size_t i = 0; i < v; ++i) {
        frame[i] = tangents[i];
        frame[v + i] = binormals[i];
    }
    upload(GL_ARRAY_BUFFER_ARB, tangentBuffer, 24 * v, frame.data(), GL_DYNAMIC_DRAW_ARB);

    texCoords = {};
    indices = {};
}

void Mesh::applyTransform() {
    if (hasBuffers) {
        const GlExtensions& ext = GlExtensions::instance();
        const size_t v = static_cast<size_t>(vertexCount);
        // Runs `write` on the buffer mapped write-only; a mapping the driver refuses is left alone.
        auto rewrite = [&](uint32_t buffer, auto write) {
            ext.glBindBufferARB(GL_ARRAY_BUFFER_ARB, buffer);
            if (void* mapped = ext.glMapBufferARB(GL_ARRAY_BUFFER_ARB, GL_WRITE_ONLY_ARB)) {
                write(static_cast<Vec3*>(mapped));
                ext.glUnmapBufferARB(GL_ARRAY_BUFFER_ARB);
            }
        };
        rewrite(positionBuffer, [&](Vec3* out) {
            for (size_t i = 0; i < v; ++i)
                out[i] = Mat4::transformPoint(transform, positions[i]);
        });
        // The texture coordinates behind the normals are left as they are.
        rewrite(normalTexBuffer, [&](Vec3* out) {
            for (size_t i = 0; i < v; ++i)
                out[i] = Mat3::transform(normalTransform, normals[i]);
        });
        if (tangentsReady) {
            rewrite(tangentBuffer, [&](Vec3* out) {
                for (size_t i = 0; i < v; ++i) {
                    out[i] = Mat3::transform(normalTransform, tangents[i]);
                    out[v + i] = Mat3::transform(normalTransform, binormals[i]);
                }
            });
        }
        ext.glBindBufferARB(GL_ARRAY_BUFFER_ARB, 0);
    }
    transform = Mat4::identity();
    normalTransform = Mat3::identity();
}

} // namespace halcyra
