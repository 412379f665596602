// Mesh: one triangle mesh of a 3DS model. The reader fills positions, texture coordinates and indices,
// then `finalize` computes smooth normals and a per-vertex tangent frame and uploads four vertex buffer
// objects; the CPU keeps positions, normals and the frame so that every pose is rebuilt from the rest pose
// (`applyTransform`). Owned by its Model. Missing GL_ARB_vertex_buffer_object ends the process.
#pragma once

#include "math/Mat3.h"
#include "math/Mat4.h"
#include "math/Vec2.h"
#include "math/Vec3.h"
#include "scene3ds/MeshMaterial.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace halcyra {

class Mesh {
public:
    explicit Mesh(std::string meshName);
    // Deletes the buffer objects when there are any; needs the GL context that made them.
    ~Mesh();
    Mesh(const Mesh&) = delete;
    Mesh& operator=(const Mesh&) = delete;

    // Zeroed arrays for `vertices` and `triangles`, a default material and identity transforms.
    void allocate(int32_t vertices, int32_t triangles);
    // computeTangentSpace, then createBuffers.
    void finalize();
    // Area-weighted smooth normals, tangents and binormals from positions, texture coordinates and
    // indices. A triangle whose texture mapping is degenerate adds no tangent, and a vertex left without
    // a usable frame gets an orthonormal one around its normal, so every frame is finite and unit length.
    void computeTangentSpace();
    // Uploads the four buffers, then releases texCoords and indices.
    void createBuffers();
    // Rewrites the buffers from the rest pose through `transform` (positions) and `normalTransform`
    // (normals, tangents, binormals), then resets both to identity.
    void applyTransform();

    std::string name;
    Vec3 origin;
    std::vector<Vec3> positions;
    std::vector<Vec3> normals;
    std::vector<Vec3> tangents;
    std::vector<Vec3> binormals;
    std::vector<Vec2> texCoords;   // released after the upload
    std::vector<uint32_t> indices; // three per triangle; released after the upload
    int32_t triangleCount = 0;
    int32_t vertexCount = 0;
    std::unique_ptr<MeshMaterial> material;
    Mat4 transform;
    Mat3 normalTransform;
    bool tangentsReady = false;
    bool ownsArrays = false;
    bool hasBuffers = false;
    uint32_t positionBuffer = 0;  // V × (x, y, z)
    uint32_t indexBuffer = 0;     // T × (i0, i1, i2)
    uint32_t normalTexBuffer = 0; // V normals, then V (s, t) at byte 12·V
    uint32_t tangentBuffer = 0;   // V tangents, then V binormals at byte 12·V
    bool castsShadows = false;
    bool receivesShadows = false;
};

} // namespace halcyra
