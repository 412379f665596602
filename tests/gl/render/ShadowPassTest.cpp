#include "render/Engine.h"

#include "render/RenderTarget.h"
#include "scene3ds/Camera.h"
#include "support/GlTestContext.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace halcyra {
namespace {

using Matrix = std::array<float, 16>;

Matrix projectionMatrix() {
    Matrix m{};
    glGetFloatv(GL_PROJECTION_MATRIX, m.data());
    return m;
}

class ShadowPassTest : public ::testing::Test {
protected:
    ShadowPassTest() {
        test::GlTestContext::loadShowPacket();
        engine = &Engine::instance();
    }

    test::GlTestContext context;
    Engine* engine = nullptr;
};

TEST_F(ShadowPassTest, EmptyPassRestoresTheCameraAndProjectionAndLeavesDepthOne) {
    Camera& camera = *engine->camera;
    camera.setEye(1, 2, 3);
    camera.setTarget(4, 5, 6);
    engine->setPerspective(60, -1);
    const Matrix projection = projectionMatrix();
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);

    engine->beginShadowPass(10, 20, 30, 0, 0, 0, 90);
    EXPECT_TRUE(engine->shadowPassOpen());
    EXPECT_EQ(camera.eye.x, 10.0f);
    EXPECT_EQ(camera.target.z, 0.0f);
    EXPECT_EQ(camera.fieldOfView, 90.0f);
    EXPECT_NEAR(projectionMatrix()[0], 1.0f, 1e-6f) << "a square view";
    GLint during[4] = {};
    glGetIntegerv(GL_VIEWPORT, during);
    EXPECT_EQ(during[2], engine->targetSize);
    GLboolean mask[4] = {GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE};
    glGetBooleanv(GL_COLOR_WRITEMASK, mask);
    EXPECT_EQ(mask[0] | mask[1] | mask[2] | mask[3], GL_FALSE);
    GLint frontFace = 0;
    glGetIntegerv(GL_FRONT_FACE, &frontFace);
    EXPECT_EQ(frontFace, GL_CW);
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
    engine->endShadowPass();

    EXPECT_FALSE(engine->shadowPassOpen());
    EXPECT_EQ(camera.eye.x, 1.0f);
    EXPECT_EQ(camera.eye.z, 3.0f);
    EXPECT_EQ(camera.target.y, 5.0f);
    EXPECT_EQ(camera.fieldOfView, 60.0f);
    EXPECT_EQ(projectionMatrix(), projection);
    GLint after[4] = {};
    glGetIntegerv(GL_VIEWPORT, after);
    EXPECT_EQ(std::vector<GLint>(after, after + 4), std::vector<GLint>(viewport, viewport + 4));
    glGetBooleanv(GL_COLOR_WRITEMASK, mask);
    EXPECT_EQ(mask[0] & mask[1] & mask[2] & mask[3], GL_TRUE);
    glGetIntegerv(GL_FRONT_FACE, &frontFace);
    EXPECT_EQ(frontFace, GL_CCW);
    GLint matrixMode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &matrixMode);
    EXPECT_EQ(matrixMode, GL_MODELVIEW);

    const int size = engine->targetSize;
    std::vector<float> depths(static_cast<size_t>(size) * size, 0.0f);
    glBindTexture(GL_TEXTURE_2D, engine->shadowTarget->textures[0].id);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_DEPTH_COMPONENT, GL_FLOAT, depths.data());
    EXPECT_EQ(std::count(depths.begin(), depths.end(), 1.0f), static_cast<long>(depths.size()));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(ShadowPassTest, RestoredProjectionTakesTheEngineAspect) {
    engine->setPerspective(60, -1);
    const Matrix engineAspect = projectionMatrix();
    engine->setPerspective(60, 2.5f);
    ASSERT_NE(projectionMatrix(), engineAspect);
    engine->beginShadowPass(0, 0, 10, 0, 0, 0, 120);
    engine->endShadowPass();
    EXPECT_EQ(projectionMatrix(), engineAspect);
}

} // namespace
} // namespace halcyra
