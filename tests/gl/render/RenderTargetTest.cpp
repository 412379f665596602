#include "EngineTestSupport.h"

#include "core/DisplayConfig.h"
#include "core/GlExtensions.h"
#include "support/MessageLog.h"

#include <GL/glext.h>

namespace halcyra {
namespace {

using RenderTargets = test::EngineTest;

// The picture targets' formats by vendor class: half floats and a 24-bit shadow map for class 2
// (NVIDIA), 16-bit integers and a 16-bit shadow map for every other driver.
struct ClassFormats {
    GLint bright;
    GLint blur;
    GLint shadow;
};
ClassFormats formatsOfClass(int vendorClass) {
    if (vendorClass == 2)
        return {GL_RGBA16F_ARB, GL_RGB16F_ARB, GL_DEPTH_COMPONENT24};
    return {GL_RGBA16, GL_RGB16, GL_DEPTH_COMPONENT16};
}

GLint internalFormatOf(const TextureBinding& binding) {
    glBindTexture(GL_TEXTURE_2D, binding.id);
    GLint format = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT, &format);
    return format;
}

void expectFormatsOfClass(Engine& engine, int vendorClass) {
    const ClassFormats expected = formatsOfClass(vendorClass);
    EXPECT_EQ(internalFormatOf(engine.brightTarget->textures[0]), expected.bright);
    EXPECT_EQ(internalFormatOf(engine.blurTarget->textures[0]), expected.blur);
    EXPECT_EQ(internalFormatOf(engine.blurTarget->textures[1]), expected.blur);
    EXPECT_EQ(internalFormatOf(engine.shadowTarget->textures[0]), expected.shadow);
    EXPECT_EQ(internalFormatOf(engine.hdrTarget->textures[1]), GL_RGBA16F_ARB);
}

TEST_F(RenderTargets, FormatsFollowTheVendorClassAndHdrIsAlwaysHalfFloat) {
    // Whatever the driver the tests run on: llvmpipe is class 1, a GPU may be either.
    expectFormatsOfClass(*engine, GlExtensions::instance().GpuVendorClass);
    EXPECT_EQ(engine->brightTarget->width, 512);
    EXPECT_EQ(engine->hdrTarget->height, 1024);
    EXPECT_EQ(engine->blurTarget->colorCount, 2);
    EXPECT_EQ(engine->shadowTarget->colorCount, 1);
}

TEST(RenderTargetsOfTheOtherClass, FormatsFollowTheClassTheRecordHolds) {
    test::GlTestContext context;
    test::GlTestContext::loadShowPacket();
    int& vendorClass = GlExtensions::instance().GpuVendorClass;
    const int found = vendorClass;
    vendorClass = found == 2 ? 1 : 2;
    expectFormatsOfClass(Engine::instance(), vendorClass);
    Engine::destroy();
    vendorClass = found;
}

TEST_F(RenderTargets, DoubleBindThenOneUnbindRestoresTheScreenAndTheViewport) {
    GLint depthBefore = 0;
    glGetIntegerv(GL_ATTRIB_STACK_DEPTH, &depthBefore);
    engine->setViewport(10, 20, 300, 200);
    RenderTarget& target = *engine->hdrTarget;
    target.bind();
    target.bind();
    glViewport(0, 0, 5, 5);
    target.unbind();
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[0], 10);
    EXPECT_EQ(viewport[1], 20);
    EXPECT_EQ(viewport[2], 300);
    EXPECT_EQ(viewport[3], 200);
    GLint depthAfter = 0;
    glGetIntegerv(GL_ATTRIB_STACK_DEPTH, &depthAfter);
    EXPECT_EQ(depthAfter, depthBefore);
    GLint framebuffer = 0;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING_EXT, &framebuffer);
    EXPECT_EQ(static_cast<GLuint>(framebuffer), DisplayConfig::instance().screenFramebuffer);
    target.unbind();
    glGetIntegerv(GL_ATTRIB_STACK_DEPTH, &depthAfter);
    EXPECT_EQ(depthAfter, depthBefore);
}

TEST_F(RenderTargets, BindSetsTheTargetsViewportAndDrawBufferOnlyChangesWhileBound) {
    RenderTarget& target = *engine->blurTarget;
    GLint drawBuffer = 0;
    glGetIntegerv(GL_DRAW_BUFFER, &drawBuffer);
    target.setDrawBuffer(GL_COLOR_ATTACHMENT1_EXT);
    GLint unchanged = 0;
    glGetIntegerv(GL_DRAW_BUFFER, &unchanged);
    EXPECT_EQ(unchanged, drawBuffer);

    target.bind();
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 512);
    glGetIntegerv(GL_DRAW_BUFFER, &drawBuffer);
    EXPECT_EQ(drawBuffer, GL_COLOR_ATTACHMENT0_EXT);
    target.setDrawBuffer(GL_COLOR_ATTACHMENT1_EXT);
    glGetIntegerv(GL_DRAW_BUFFER, &drawBuffer);
    EXPECT_EQ(drawBuffer, GL_COLOR_ATTACHMENT1_EXT);
    target.unbind();
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(RenderTargets, MoreThanFourColoursIsRefused) {
    test::MessageLog log;
    EXPECT_EQ(RenderTarget::create(16, 16, 5, false, false, GL_RGBA8, GL_RGBA, GL_UNSIGNED_BYTE), nullptr);
    EXPECT_EQ(RenderTarget::create(16, 16, 0, false, false, GL_RGBA8, GL_RGBA, GL_UNSIGNED_BYTE), nullptr);
    EXPECT_EQ(log.messages().size(), 2u);
}

TEST_F(RenderTargets, MipmappedTargetsFilterWithMipmapsAndDestroyFreesEveryTexture) {
    auto target = RenderTarget::create(64, 64, 2, true, false, GL_RGBA8, GL_RGBA, GL_UNSIGNED_BYTE);
    ASSERT_NE(target, nullptr);
    GLint filter = 0;
    glBindTexture(GL_TEXTURE_2D, target->textures[1].id);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &filter);
    EXPECT_EQ(filter, GL_LINEAR_MIPMAP_LINEAR);
    const GLuint first = target->textures[0].id;
    const GLuint second = target->textures[1].id;
    target.reset();
    EXPECT_FALSE(glIsTexture(first));
    EXPECT_FALSE(glIsTexture(second));
    glBindTexture(GL_TEXTURE_2D, engine->brightTarget->textures[0].id);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &filter);
    EXPECT_EQ(filter, GL_LINEAR);
}

TEST_F(RenderTargets, ShadowTargetIsDepthAloneAndCompleteWhileBound) {
    RenderTarget& shadow = *engine->shadowTarget;
    EXPECT_EQ(shadow.renderbuffer, 0u) << "no colour buffer that nothing would draw into";
    shadow.bind();
    GLint buffer = -1;
    glGetIntegerv(GL_DRAW_BUFFER, &buffer);
    EXPECT_EQ(buffer, GL_NONE);
    EXPECT_EQ(GlExtensions::instance().glCheckFramebufferStatusEXT(GL_FRAMEBUFFER_EXT),
              static_cast<GLenum>(GL_FRAMEBUFFER_COMPLETE_EXT));
    glClearDepth(0.25);
    glClear(GL_DEPTH_BUFFER_BIT);
    glClearDepth(1.0);
    shadow.unbind();
    glBindTexture(GL_TEXTURE_2D, shadow.textures[0].id);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_COMPARE_MODE_ARB, GL_NONE);
    std::vector<float> depth(static_cast<size_t>(shadow.width) * shadow.height);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_DEPTH_COMPONENT, GL_FLOAT, depth.data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_COMPARE_MODE_ARB, GL_COMPARE_R_TO_TEXTURE_ARB);
    EXPECT_NEAR(depth[depth.size() / 2], 0.25f, 1e-3f) << "the depth texture takes the pass's depth";
    glGetIntegerv(GL_DRAW_BUFFER, &buffer);
    EXPECT_NE(buffer, GL_NONE) << "the screen draws as before";
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

} // namespace
} // namespace halcyra
