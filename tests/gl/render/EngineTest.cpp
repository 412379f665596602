#include "EngineTestSupport.h"

#include "assets/ShaderManager.h"
#include "core/DisplayConfig.h"
#include "core/GlExtensions.h"
#include "scene3ds/Camera.h"
#include "support/MessageLog.h"

#include <GL/glext.h>

#include <cmath>
#include <memory>

namespace halcyra {
namespace {

class EngineOperations : public test::EngineTest {
protected:
    // A small solid texture made through the Engine's own upload.
    TextureBinding solidTexture(uint8_t r, uint8_t g, uint8_t b, int size = 4) {
        auto texture = std::make_unique<Texture>("solid");
        texture->width = texture->height = size;
        texture->bitsPerPixel = 24;
        texture->format = GL_RGB;
        for (int i = 0; i < size * size; ++i)
            texture->pixels.insert(texture->pixels.end(), {r, g, b});
        const TextureBinding binding = engine->uploadTexture(*texture, GL_LINEAR, GL_LINEAR);
        kept.push_back(std::move(texture));
        return binding;
    }
    std::vector<std::unique_ptr<Texture>> kept;
};

TEST_F(EngineOperations, ConstructionCopiesTheDisplayAndSetsTheDefaults) {
    const DisplayConfig& config = DisplayConfig::instance();
    EXPECT_EQ(engine->screenWidth, config.width);
    EXPECT_EQ(engine->viewport().height, config.height);
    EXPECT_FLOAT_EQ(engine->texel().width, 1.0f / 1024.0f);
    EXPECT_EQ(engine->lastBoundTexture().id, 99u);
    EXPECT_EQ(engine->primitiveMode(), static_cast<uint32_t>(GL_TRIANGLES));
    EXPECT_TRUE(engine->shaders->find("blur")->built);
    EXPECT_TRUE(engine->shaders->find("static")->built);
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_COORD_ARRAY));
    GLint alignment = 0;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    EXPECT_EQ(alignment, 1);
    GLint program = -1;
    glGetIntegerv(GL_CURRENT_PROGRAM, &program);
    EXPECT_EQ(program, 0);
}

TEST_F(EngineOperations, PerspectiveUsesTheEnginesAspectForMinusOneAndStoresTheFov) {
    GLfloat matrix[16];
    engine->setPerspective(90.0f, -1.0f);
    glGetFloatv(GL_PROJECTION_MATRIX, matrix);
    EXPECT_NEAR(matrix[5], 1.0f, 1e-6f);
    EXPECT_NEAR(matrix[0], 1.0f / 1.3333334f, 1e-6f);
    EXPECT_FLOAT_EQ(engine->camera->fieldOfView, 90.0f);
    engine->setPerspective(60.0f, 1.0f);
    glGetFloatv(GL_PROJECTION_MATRIX, matrix);
    EXPECT_NEAR(matrix[0], matrix[5], 1e-6f);
    EXPECT_FLOAT_EQ(engine->camera->fieldOfView, 60.0f);
    // A zoom to 180 degrees keeps a usable projection, not one that collapses the picture to a point.
    engine->setPerspective(180.0f, 1.0f);
    glGetFloatv(GL_PROJECTION_MATRIX, matrix);
    EXPECT_GT(matrix[5], 1e-3f);
    EXPECT_FLOAT_EQ(engine->camera->fieldOfView, 180.0f);
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);
}

TEST_F(EngineOperations, QueuedTexturesTakeUnitsInQueueOrderAndTheirSamplers) {
    ShaderManager& shaders = ShaderManager::instance();
    shaders.add(std::make_unique<ShaderProgram>(), "void main() { gl_Position = gl_Vertex; }",
                "uniform sampler2D a; uniform sampler2D b; uniform sampler2D c;\n"
                "void main() { gl_FragColor = texture2D(a, vec2(0.5)) + texture2D(b, vec2(0.5)) + "
                "texture2D(c, vec2(0.5)); }",
                "three");
    ShaderProgram* program = shaders.find("three");
    shaders.build(program);
    engine->useProgram(program);
    const TextureBinding textures[3] = {solidTexture(1, 0, 0), solidTexture(2, 0, 0), solidTexture(3, 0, 0)};
    const char* names[3] = {"c", "a", "b"};
    for (int i = 0; i < 3; ++i)
        engine->queueTexture(shaders.uniformLocation(program, names[i]), textures[i]);
    engine->bindQueuedTextures();

    const GlExtensions& ext = GlExtensions::instance();
    GLint active = 0;
    glGetIntegerv(GL_ACTIVE_TEXTURE_ARB, &active);
    EXPECT_EQ(active, GL_TEXTURE0_ARB + 2);
    for (int i = 0; i < 3; ++i) {
        ext.glActiveTextureARB(GL_TEXTURE0_ARB + i);
        GLint bound = 0;
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
        EXPECT_EQ(static_cast<GLuint>(bound), textures[i].id);
        GLint unit = -1;
        ext.glGetUniformivARB(program->handle, shaders.uniformLocation(program, names[i]), &unit);
        EXPECT_EQ(unit, i);
    }

    // The next pass starts at unit 0 again; an absent sampler still binds its texture.
    engine->queueTexture(-1, textures[2]);
    engine->bindQueuedTextures();
    ext.glActiveTextureARB(GL_TEXTURE0_ARB);
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(static_cast<GLuint>(bound), textures[2].id);
    engine->useNoProgram();
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(EngineOperations, EmptyQueueTouchesNothingAndASeventeenthEntryIsRefused) {
    const GlExtensions& ext = GlExtensions::instance();
    ext.glActiveTextureARB(GL_TEXTURE0_ARB + 3);
    engine->bindQueuedTextures();
    GLint active = 0;
    glGetIntegerv(GL_ACTIVE_TEXTURE_ARB, &active);
    EXPECT_EQ(active, GL_TEXTURE0_ARB + 3);

    test::MessageLog log;
    const TextureBinding texture = solidTexture(9, 9, 9);
    for (int i = 0; i < 17; ++i)
        engine->queueTexture(-1, texture);
    EXPECT_EQ(engine->queuedTextureCount(), 16);
    EXPECT_EQ(log.messages().size(), 1u);
    engine->bindQueuedTextures();
    EXPECT_EQ(engine->queuedTextureCount(), 0);
}

TEST_F(EngineOperations, OrthoMapsPixelZeroToTheTopLeftOfTheViewport) {
    engine->setViewport(0, 0, 800, 600);
    glDisable(GL_DEPTH_TEST);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    engine->beginOrtho();
    glColor3f(1, 1, 1);
    glBegin(GL_QUADS);
    glVertex2i(0, 0);
    glVertex2i(0, 4);
    glVertex2i(4, 4);
    glVertex2i(4, 0);
    glEnd();
    engine->endOrtho();
    EXPECT_EQ(context.screenPixel(1, 598)[0], 255);
    EXPECT_EQ(context.screenPixel(1, 1)[0], 0);
    EXPECT_EQ(context.screenPixel(1, 594)[0], 0);
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);
}

TEST_F(EngineOperations, TeardownLeavesNoGlError) {
    engine->prepareHdrPrograms();
    Engine::destroy();
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    engine = nullptr;
}

} // namespace
} // namespace halcyra
