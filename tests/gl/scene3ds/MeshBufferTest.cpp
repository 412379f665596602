#include "scene3ds/Model.h"

#include "core/GlExtensions.h"
#include "support/GlTestContext.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace halcyra {
namespace {

// The unit quad in the z = 0 plane, textured with its own x and y.
std::unique_ptr<Mesh> quad() {
    auto mesh = std::make_unique<Mesh>("quad");
    mesh->allocate(4, 2);
    mesh->positions = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}};
    mesh->texCoords = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    mesh->indices = {0, 1, 2, 0, 2, 3};
    return mesh;
}

template <typename T>
std::vector<T> readBuffer(GLenum target, uint32_t buffer, size_t count) {
    const GlExtensions& ext = GlExtensions::instance();
    std::vector<T> values(count);
    ext.glBindBufferARB(target, buffer);
    ext.glGetBufferSubDataARB(target, 0, static_cast<GLsizeiptrARB>(count * sizeof(T)), values.data());
    ext.glBindBufferARB(target, 0);
    return values;
}

GLint bufferParameter(GLenum target, uint32_t buffer, GLenum name) {
    const GlExtensions& ext = GlExtensions::instance();
    GLint value = 0;
    ext.glBindBufferARB(target, buffer);
    ext.glGetBufferParameterivARB(target, name, &value);
    ext.glBindBufferARB(target, 0);
    return value;
}

// Positions, normals with texture coordinates, and tangents with binormals, as the buffers hold them.
std::vector<float> posed(const Mesh& mesh) {
    std::vector<float> all = readBuffer<float>(GL_ARRAY_BUFFER_ARB, mesh.positionBuffer, 12);
    for (float value : readBuffer<float>(GL_ARRAY_BUFFER_ARB, mesh.normalTexBuffer, 20))
        all.push_back(value);
    for (float value : readBuffer<float>(GL_ARRAY_BUFFER_ARB, mesh.tangentBuffer, 24))
        all.push_back(value);
    return all;
}

TEST(MeshBuffers, FourBuffersHoldTheirLayoutsAndUsageHints) {
    test::GlTestContext context;
    auto mesh = quad();
    mesh->finalize();
    ASSERT_TRUE(mesh->hasBuffers);
    EXPECT_TRUE(mesh->texCoords.empty());
    EXPECT_TRUE(mesh->indices.empty());

    EXPECT_EQ(readBuffer<float>(GL_ARRAY_BUFFER_ARB, mesh->positionBuffer, 12),
              (std::vector<float>{0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0}));
    EXPECT_EQ(readBuffer<uint32_t>(GL_ELEMENT_ARRAY_BUFFER_ARB, mesh->indexBuffer, 6),
              (std::vector<uint32_t>{0, 1, 2, 0, 2, 3}));
    EXPECT_EQ(readBuffer<float>(GL_ARRAY_BUFFER_ARB, mesh->normalTexBuffer, 20),
              (std::vector<float>{0, 0, 1, 0, 0, 1, 0, 0, 1, 0, 0, 1, 0, 0, 1, 0, 1, 1, 0, 1}));
    EXPECT_EQ(readBuffer<float>(GL_ARRAY_BUFFER_ARB, mesh->tangentBuffer, 24),
              (std::vector<float>{1, 0, 0, 1, 0, 0, 1, 0, 0, 1, 0, 0, 0, 1, 0, 0, 1, 0, 0, 1, 0, 0, 1, 0}));

    const struct {
        GLenum target;
        uint32_t buffer;
        GLint bytes;
        GLint usage;
    } expected[] = {{GL_ARRAY_BUFFER_ARB, mesh->positionBuffer, 48, GL_DYNAMIC_DRAW_ARB},
                    {GL_ELEMENT_ARRAY_BUFFER_ARB, mesh->indexBuffer, 24, GL_STATIC_DRAW_ARB},
                    {GL_ARRAY_BUFFER_ARB, mesh->normalTexBuffer, 80, GL_DYNAMIC_DRAW_ARB},
                    {GL_ARRAY_BUFFER_ARB, mesh->tangentBuffer, 96, GL_DYNAMIC_DRAW_ARB}};
    for (const auto& buffer : expected) {
        EXPECT_EQ(bufferParameter(buffer.target, buffer.buffer, GL_BUFFER_SIZE_ARB), buffer.bytes);
        EXPECT_EQ(bufferParameter(buffer.target, buffer.buffer, GL_BUFFER_USAGE_ARB), buffer.usage);
    }

    const GlExtensions& ext = GlExtensions::instance();
    mesh.reset();
    for (const auto& buffer : expected)
        EXPECT_FALSE(ext.glIsBufferARB(buffer.buffer)) << "deleted with the mesh";
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

// A node that turns a quarter about y and steps 10 along x per keyframe.
std::unique_ptr<AnimationNode> steppingNode() {
    auto node = std::make_unique<AnimationNode>("n");
    for (int i = 0; i < 3; ++i) {
        const Vec3 p{10.0f * i, 0, 0};
        node->positionKeys.push_back({i, p, Mat4::translation(p)});
    }
    const Quat quarter(0.70710677f, 0, 0.70710677f, 0);
    node->rotationKeys.push_back({0, quarter, Mat4::fromQuat(quarter)});
    return node;
}

TEST(ModelAnimation, KeyframeChangesAtFortyMillisecondsAndPosesDoNotAccumulate) {
    test::GlTestContext context;
    Model model("m");
    model.meshes.append(quad());
    model.meshCount = 1;
    model.meshes.at(0)->finalize();
    model.nodes.append(steppingNode());
    const Mesh& mesh = *model.meshes.at(0);

    model.animate(39.9f);
    auto positions = readBuffer<float>(GL_ARRAY_BUFFER_ARB, mesh.positionBuffer, 12);
    EXPECT_NEAR(positions[3], 0.0f, 1e-6f) << "(1, 0, 0) turned to (0, 0, −1), keyframe 0";
    EXPECT_NEAR(positions[5], -1.0f, 1e-6f);

    model.animate(40.0f);
    const std::vector<float> once = posed(mesh);
    EXPECT_NEAR(once[3], 10.0f, 1e-6f) << "keyframe 1";
    EXPECT_NEAR(once[5], -1.0f, 1e-6f);
    EXPECT_NEAR(once[12], 1.0f, 1e-6f) << "the normal turns with the mesh";
    EXPECT_EQ(once[12 + 12 + 2], 1.0f) << "texture coordinates are left as they are";
    EXPECT_NEAR(once[32 + 2], -1.0f, 1e-6f) << "so does the tangent";

    model.animate(40.0f);
    EXPECT_EQ(posed(mesh), once);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST(ModelAnimation, MeshesPastTheLastNodeTakeTheLastNode) {
    test::GlTestContext context;
    Model model("m");
    for (int i = 0; i < 2; ++i) {
        model.meshes.append(quad());
        model.meshes.at(i)->finalize();
    }
    model.meshCount = 2;
    model.nodes.append(steppingNode());
    model.animate(80.0f);
    for (int i = 0; i < 2; ++i) {
        const auto positions = readBuffer<float>(GL_ARRAY_BUFFER_ARB, model.meshes.at(i)->positionBuffer, 3);
        EXPECT_NEAR(positions[0], 20.0f, 1e-6f) << "mesh " << i;
    }
}

} // namespace
} // namespace halcyra
