#include "render/Engine.h"

#include "assets/TextureManager.h"
#include "core/DisplayConfig.h"
#include "core/GlExtensions.h"
#include "render/RenderTarget.h"
#include "scene3ds/Camera.h"
#include "scene3ds/LightLibrary.h"
#include "scene3ds/ModelLibrary.h"
#include "support/GlTestContext.h"
#include "support/MessageLog.h"
#include "support/TempDir.h"

#include "Writer3ds.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace halcyra {
namespace {

using tools::Float3;

// A square panel parallel to the show's z = 0 plane, `size` across, centred on (x, 0, z), facing +z or,
// turned, facing −z.
tools::Object3ds panel(const std::string& name, float x, bool facingAway, float z = 0, float size = 20) {
    tools::Object3ds object;
    object.name = name;
    const float h = size / 2;
    for (Float3 corner : {Float3{-h, -h, 0}, Float3{h, -h, 0}, Float3{h, h, 0}, Float3{-h, h, 0}})
        object.vertices.push_back(tools::fileFromShowPosition({corner[0] + x, corner[1], corner[2] + z}));
    object.texCoords = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    object.faces = facingAway ? std::vector<std::array<uint16_t, 3>>{{0, 2, 1}, {0, 3, 2}}
                              : std::vector<std::array<uint16_t, 3>>{{0, 1, 2}, {0, 2, 3}};
    object.groups = {{"panel", {0, 1}}};
    return object;
}

class MeshDrawingTest : public ::testing::Test {
protected:
    MeshDrawingTest() {
        test::GlTestContext::loadShowPacket();
        engine = &Engine::instance();
        addTexture("panel.png", {40, 200, 90});
        addTexture("panel_n.png", {128, 128, 255});
    }

    static void addTexture(const std::string& name, std::vector<uint8_t> rgb) {
        auto texture = std::make_unique<Texture>(name);
        texture->width = 2;
        texture->height = 2;
        texture->bitsPerPixel = 24;
        texture->format = GL_RGB;
        for (int i = 0; i < 4; ++i)
            texture->pixels.insert(texture->pixels.end(), rgb.begin(), rgb.end());
        TextureManager::instance().add(std::move(texture));
    }

    // Writes the panels with their shadow info and loads them through the model library.
    Model* loadPanels(const std::vector<tools::Object3ds>& panels,
                      const std::vector<tools::ShadowInfo3ds>& shadows) {
        tools::Model3ds model;
        tools::Material3ds material;
        material.name = "panel";
        material.textureMap = "panel.png";
        material.bumpMap = "panel_n.png";
        material.specular = {60, 60, 60};
        model.materials = {material};
        model.objects = panels;
        const std::string path = dir.write("models/panels.3ds", "").string();
        tools::saveFile3ds(path, tools::writeModel3ds(model));
        tools::saveFile3ds(tools::shadowInfoPath(path), tools::writeShadowInfo(shadows));
        test::MessageLog log;
        engine->models->load(path.c_str(), "panels");
        EXPECT_TRUE(log.messages().empty()) << log.texts().front();
        return engine->models->find("panels");
    }

    std::vector<float> shadowDepths() const {
        const int size = engine->targetSize;
        std::vector<float> depths(static_cast<size_t>(size) * size);
        glBindTexture(GL_TEXTURE_2D, engine->shadowTarget->textures[0].id);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_DEPTH_COMPONENT, GL_FLOAT, depths.data());
        glBindTexture(GL_TEXTURE_2D, 0);
        return depths;
    }

    // The frame of a lit scene, as the scenes draw it: light 0 above the origin at z = 40, the shadow pass
    // from it, the camera at z = 30 looking at the origin, the shadow texture matrix, the lit pass.
    void drawLitFrame(const Model* model) {
        engine->prepareBumpProgram();
        engine->dofPlanes[0] = 20;
        engine->dofPlanes[1] = 100;
        engine->dofPlanes[2] = 300;
        engine->lights->setPosition(0, 0, 0, 40, 1);
        // The bump program's light is an HDR source; a dim light keeps the texture's colour below white
        // here, where no tonemap follows.
        engine->lights->setDiffuse(0, 0.25f, 0.25f, 0.25f, 1);
        engine->lights->setAmbient(0, 0.05f, 0.05f, 0.05f, 1);
        engine->camera->setEye(0, 0, 30);
        engine->camera->setTarget(0, 0, 0);
        engine->setPerspective(45, -1);

        engine->beginShadowPass(0, 0, 40, 0, 0, 0, 90);
        float projection[16], view[16];
        glGetFloatv(GL_PROJECTION_MATRIX, projection);
        glGetFloatv(GL_MODELVIEW_MATRIX, view);
        engine->drawModelDepth(model);
        engine->endShadowPass();
        engine->loadCameraView();
        engine->setClearColor(0, 0, 0, 1);
        engine->clear();
        GlExtensions::instance().glActiveTextureARB(GL_TEXTURE0_ARB);
        glMatrixMode(GL_TEXTURE);
        glLoadMatrixf(projection);
        glMultMatrixf(view);
        glMatrixMode(GL_MODELVIEW);

        engine->beginBumpShading();
        engine->drawModel(model);
        engine->endBumpShading();
    }

    test::GlTestContext context;
    test::TempDir dir;
    Engine* engine = nullptr;
};

TEST_F(MeshDrawingTest, LitModelShowsItsTextureWhereItStandsAndNothingAround) {
    Model* model = loadPanels({panel("Panel", 0, false)}, {{"Panel", true, true}});
    ASSERT_NE(model, nullptr);
    ASSERT_EQ(model->meshCount, 1);
    EXPECT_NE(model->meshes.at(0)->material->texture.id, TextureBinding::noObject);

    const int32_t before = engine->trianglesDrawn;
    drawLitFrame(model);
    EXPECT_EQ(engine->trianglesDrawn - before, 2);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

    const DisplayConfig& config = DisplayConfig::instance();
    const std::vector<uint8_t> centre = context.screenPixel(config.width / 2, config.height / 2);
    EXPECT_GT(centre[1], 100) << "lit, not shadowed";
    EXPECT_GT(centre[1], centre[0]) << "the texture map, not the bump map, gives the colour";
    EXPECT_GT(centre[1], centre[2]);
    const std::vector<uint8_t> corner = context.screenPixel(4, 4);
    EXPECT_LT(std::max({corner[0], corner[1], corner[2]}), 4) << "the panel does not reach the corner";
}

TEST_F(MeshDrawingTest, ACasterBetweenTheLightAndAReceiverDarkensItsShadowedHalf) {
    // The caster, 10 across at z = 20 over the receiver's right half, faces away from the light, as casters
    // must to reach the shadow map, and so shows the camera its back: only its shadow is seen. Seen from
    // the light it covers x from 0 to 20 of the receiver.
    Model* model = loadPanels({panel("Receiver", 0, false), panel("Caster", 5, true, 20, 10)},
                              {{"Receiver", false, true}, {"Caster", true, false}});
    ASSERT_NE(model, nullptr);
    ASSERT_EQ(model->meshCount, 2);
    drawLitFrame(model);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

    // x = ±5 at the receiver's depth is about ±155 pixels from the centre of a 45° view from 30 away.
    const DisplayConfig& config = DisplayConfig::instance();
    const std::vector<uint8_t> lit = context.screenPixel(config.width / 2 - 155, config.height / 2);
    const std::vector<uint8_t> shadowed = context.screenPixel(config.width / 2 + 155, config.height / 2);
    EXPECT_GT(lit[1], 100) << "the unshadowed half is lit";
    EXPECT_LT(shadowed[1], lit[1] * 3 / 4) << "the shadowed half is darker";
    EXPECT_GT(shadowed[1], 0) << "the ambient light still reaches the shadow";
}

TEST_F(MeshDrawingTest, DepthPassWritesOnlyDepthAndOnlyForCasters) {
    // Both panels face away from the light, so that the pass keeps them; only one casts shadows.
    Model* model = loadPanels({panel("Caster", 0, true), panel("Shy", 24, true)},
                              {{"Caster", true, true}, {"Shy", false, true}});
    ASSERT_NE(model, nullptr);
    ASSERT_EQ(model->meshCount, 2);

    engine->setClearColor(0.25f, 0.5f, 0.75f, 1.0f);
    engine->clear();
    const DisplayConfig& config = DisplayConfig::instance();
    const std::vector<uint8_t> screenBefore = context.readScreen(0, 0, config.width, config.height);

    const int32_t before = engine->trianglesDrawn;
    engine->beginShadowPass(0, 0, 40, 0, 0, 0, 90);
    engine->drawModelDepth(model);
    GLint drawBuffer = -1;
    glGetIntegerv(GL_DRAW_BUFFER, &drawBuffer);
    engine->endShadowPass();
    EXPECT_EQ(engine->trianglesDrawn, before);

    const int size = engine->targetSize;
    const std::vector<float> depths = shadowDepths();
    const auto depthAt = [&](float x) {
        // The light looks down −z with a 90° view: x / 40 across the map.
        const int column = static_cast<int>((x / 40.0f * 0.5f + 0.5f) * size);
        return depths[static_cast<size_t>(size / 2) * size + column];
    };
    EXPECT_LT(depthAt(0), 1.0f) << "the caster's far side is in the map";
    EXPECT_EQ(depthAt(24), 1.0f) << "a mesh that casts no shadow is left out";
    EXPECT_EQ(drawBuffer, GL_NONE) << "the pass draws no colour";
    EXPECT_EQ(context.readScreen(0, 0, config.width, config.height), screenBefore);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

} // namespace
} // namespace halcyra
