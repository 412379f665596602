#include "EngineTestSupport.h"

#include "assets/ShaderManager.h"
#include "core/DisplayConfig.h"
#include "core/GlExtensions.h"

#include <GL/glext.h>

#include <cmath>

namespace halcyra {
namespace {

// The passes run after the scene has switched depth testing off, as every frame does.
class PostPasses : public test::EngineTest {
protected:
    void SetUp() override { glDisable(GL_DEPTH_TEST); }
    TextureBinding texture(int size, const std::vector<uint8_t>& rgb) {
        auto image = std::make_unique<Texture>("source");
        image->width = image->height = size;
        image->bitsPerPixel = 24;
        image->format = GL_RGB;
        image->pixels = rgb;
        const TextureBinding binding = engine->uploadTexture(*image, GL_NEAREST, GL_NEAREST);
        kept.push_back(std::move(image));
        return binding;
    }
    TextureBinding solid(uint8_t r, uint8_t g, uint8_t b) {
        std::vector<uint8_t> rgb;
        for (int i = 0; i < 16; ++i)
            rgb.insert(rgb.end(), {r, g, b});
        return texture(4, rgb);
    }
    static int litTexels(const std::vector<float>& texels, float threshold = 1e-3f) {
        int lit = 0;
        for (size_t i = 0; i < texels.size(); i += 4)
            lit += texels[i] > threshold;
        return lit;
    }
    std::vector<std::unique_ptr<Texture>> kept;
};

TEST_F(PostPasses, OneBlurPassWritesAttachmentZeroOnly) {
    fill(*engine->blurTarget, 0, 0, 0, 1);
    fill(*engine->blurTarget, 1, 0, 1, 0);
    EXPECT_EQ(engine->blurPasses(0.1f, solid(255, 0, 0), 1, false), 0);
    const auto first = readTexture(engine->blurTarget->textures[0]);
    const auto second = readTexture(engine->blurTarget->textures[1]);
    EXPECT_NEAR(first[0], 1.0f, 1e-3f);
    EXPECT_NEAR(first[2], 0.0f, 1e-3f);
    EXPECT_NEAR(second[1], 1.0f, 1e-3f);
    EXPECT_FALSE(engine->blurTarget->bound);
    GLint program = -1;
    glGetIntegerv(GL_CURRENT_PROGRAM, &program);
    EXPECT_EQ(program, 0);
}

TEST_F(PostPasses, FourPassesAlternateAttachmentsAndEndInTheSecond) {
    fill(*engine->blurTarget, 0, 0, 0, 1);
    fill(*engine->blurTarget, 1, 0, 1, 0);
    EXPECT_EQ(engine->blurPasses(0.1f, solid(255, 0, 0), 4, false), 1);
    EXPECT_NEAR(readTexture(engine->blurTarget->textures[0])[0], 1.0f, 1e-3f);
    EXPECT_NEAR(readTexture(engine->blurTarget->textures[1])[0], 1.0f, 1e-3f);
    EXPECT_NEAR(readTexture(engine->blurTarget->textures[1])[1], 0.0f, 1e-3f);
}

TEST_F(PostPasses, BrightTexelSpreadsWiderAfterFourPassesThanAfterTwo) {
    std::vector<uint8_t> rgb(64 * 64 * 3, 0);
    const size_t centre = (32 * 64 + 32) * 3;
    rgb[centre] = rgb[centre + 1] = rgb[centre + 2] = 255;
    const TextureBinding spot = texture(64, rgb);
    engine->blurPasses(0.2f, spot, 2, false);
    const int afterTwo = litTexels(readTexture(engine->blurTarget->textures[1]));
    engine->blurPasses(0.2f, spot, 4, false);
    const int afterFour = litTexels(readTexture(engine->blurTarget->textures[1]));
    EXPECT_GT(afterTwo, 0);
    EXPECT_GT(afterFour, afterTwo);
}

TEST_F(PostPasses, LastPassGoesToTheScreenWhenAsked) {
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    engine->blurPasses(0.1f, solid(0, 255, 0), 2, true);
    EXPECT_EQ(context.screenPixel(100, 100)[1], 255);
    EXPECT_FALSE(engine->blurTarget->bound);
    GLint framebuffer = 0;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING_EXT, &framebuffer);
    EXPECT_EQ(static_cast<GLuint>(framebuffer), DisplayConfig::instance().screenFramebuffer);
}

class HdrPass : public PostPasses {
protected:
    void SetUp() override {
        PostPasses::SetUp();
        engine->prepareHdrPrograms();
    }
    // Draws a square of the given linear brightness into hdrTarget texture 1, the scene image.
    void drawScene(float brightness) {
        fill(*engine->hdrTarget, 1, 0, 0, 0);
        if (brightness <= 0.0f)
            return;
        engine->hdrTarget->bind();
        engine->hdrTarget->setDrawBuffer(GL_COLOR_ATTACHMENT1_EXT);
        glDisable(GL_DEPTH_TEST);
        glMatrixMode(GL_PROJECTION);
        glPushMatrix();
        glLoadIdentity();
        glMatrixMode(GL_MODELVIEW);
        glPushMatrix();
        glLoadIdentity();
        glColor3f(brightness, brightness, brightness);
        glBegin(GL_QUADS);
        glVertex2f(-0.05f, -0.05f);
        glVertex2f(0.05f, -0.05f);
        glVertex2f(0.05f, 0.05f);
        glVertex2f(-0.05f, 0.05f);
        glEnd();
        glPopMatrix();
        glMatrixMode(GL_PROJECTION);
        glPopMatrix();
        glMatrixMode(GL_MODELVIEW);
        engine->hdrTarget->unbind();
    }
    // hdrTarget texture 0 at (x, y) of the 1024 × 1024 target.
    float result(int x, int y) {
        const auto texels = readTexture(engine->hdrTarget->textures[0]);
        return texels[(static_cast<size_t>(y) * 1024 + x) * 4];
    }
};

TEST_F(HdrPass, UniformsTakeExposureAsAPowerOfSixteenAndTheInverseRange) {
    drawScene(0.0f);
    engine->applyHdr(0.4f, 0.8f, 16.0f, false);
    // The values the programs hold, looked up by their names in the sources.
    auto uniform = [&](const char* program, const char* name) {
        const ShaderProgram* found = engine->shaders->find(program);
        float value = 0.0f;
        GlExtensions::instance().glGetUniformfvARB(found->handle,
                                                   engine->shaders->uniformLocation(found, name), &value);
        return value;
    };
    EXPECT_NEAR(uniform("hdr_tonemap", "exposure"), 3.0314f, 1e-4f);
    EXPECT_FLOAT_EQ(uniform("hdr_convert", "invRange"), 0.015625f);
    EXPECT_FLOAT_EQ(uniform("hdr_convert", "halfPixel"), 0.5f / 1024.0f);
    const float value = uniform("hdr_tonemap", "blurStrength");
    EXPECT_FLOAT_EQ(value, 0.8f);
}

TEST_F(HdrPass, BlackSceneStaysBlackAndNoTargetStaysBound) {
    drawScene(0.0f);
    engine->applyHdr(0.4f, 1.0f, 16.0f, false);
    EXPECT_EQ(litTexels(readTexture(engine->hdrTarget->textures[0])), 0);
    GLint framebuffer = 0;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING_EXT, &framebuffer);
    EXPECT_EQ(static_cast<GLuint>(framebuffer), DisplayConfig::instance().screenFramebuffer);
}

TEST_F(HdrPass, BrightSceneGrowsAGlowAroundItself) {
    drawScene(12.0f);
    engine->applyHdr(0.4f, 0.0f, 16.0f, false);
    const float withoutGlow = result(512 + 45, 512);
    const float inside = result(512, 512);
    drawScene(12.0f);
    engine->applyHdr(0.4f, 1.0f, 16.0f, false);
    const float withGlow = result(512 + 45, 512);
    EXPECT_GT(inside, 0.4f) << "vertex colours clamp at 1, which an exposure of 3 maps to about 0.53";
    EXPECT_LT(withoutGlow, 1e-3f);
    EXPECT_GT(withGlow, 0.01f);
}

class NoiseOverlay : public PostPasses {
protected:
    void drawFrame() {
        engine->setViewport(0, 0, DisplayConfig::instance().width, DisplayConfig::instance().height);
        glClearColor(0.5f, 0.25f, 0.75f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        glDisable(GL_DEPTH_TEST);
    }
    std::vector<uint8_t> frame() { return context.readScreen(0, 0, 64, 64); }
};

TEST_F(NoiseOverlay, StrengthZeroLeavesTheFrameUnchanged) {
    drawFrame();
    const auto before = frame();
    std::vector<uint8_t> rgb(64 * 64 * 3);
    for (size_t i = 0; i < rgb.size(); ++i)
        rgb[i] = static_cast<uint8_t>((i * 97) % 256);
    engine->drawNoiseOverlay(3.2f, 0.0f, texture(64, rgb));
    EXPECT_EQ(frame(), before);
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
}

TEST_F(NoiseOverlay, WhiteNoiseAtFullStrengthLeavesTheFrameUnchanged) {
    drawFrame();
    const auto before = frame();
    engine->drawNoiseOverlay(7.5f, 1.0f, solid(255, 255, 255));
    EXPECT_EQ(frame(), before);
}

TEST_F(NoiseOverlay, DarkNoiseDarkensByItsStrengthAndAlternateRowsMore) {
    drawFrame();
    engine->drawNoiseOverlay(0.0f, 0.4f, solid(0, 0, 0));
    const auto after = frame();
    EXPECT_LT(after[0], 128 * 0.7);
    EXPECT_GT(after[0], 128 * 0.5);
    // Rows 0 and 2 are darkened by 0.8 x 0.4, rows 1 and 3 by the full 0.4: red 87 and 77 of 128.
    const auto red = [&](int row) { return after[static_cast<size_t>(row) * 64 * 4]; };
    EXPECT_EQ(red(0), red(2));
    EXPECT_EQ(red(1), red(3));
    EXPECT_GE(red(0) - red(1), 8);
}

} // namespace
} // namespace halcyra
