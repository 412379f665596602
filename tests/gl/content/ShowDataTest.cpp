#include "timeline/Demo.h"

#include "render/Engine.h"
#include "scene3ds/Camera.h"
#include "scene3ds/LightLibrary.h"
#include "scene3ds/Mesh.h"
#include "scene3ds/ModelLibrary.h"
#include "support/GlTestContext.h"
#include "support/MessageLog.h"
#include "support/TempDir.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

namespace halcyra {
namespace {

// The built data beside the program, loaded by the show's own loading sequence with real uploads and
// vertex buffers: every list line, every material map and all seven scenes, without a single message.
TEST(ShowData, LoadsToTheEndWithoutAMessage) {
    test::GlTestContext context;
    const test::WorkingDirectory inData(HALCYRA_DATA_DIR);
    test::MessageLog log;
    auto demo = std::make_unique<Demo>();

    EXPECT_EQ(log.texts(), std::vector<std::string>{});
    EXPECT_NEAR(demo->progress, 1.0f, 1e-5f) << "the bar takes 61 steps";
    EXPECT_EQ(demo->sceneCount, 7);
    const Engine& engine = *demo->engine;
    EXPECT_EQ(engine.models->models.count(), 8);
    for (const char* name :
         {"credits", "helpers", "mixmax1", "mixmax2", "mixmax2t", "mixmax3", "mixmaxtr", "planet"}) {
        const Model* model = engine.models->find(name);
        ASSERT_NE(model, nullptr) << name;
        for (int32_t i = 0; i < model->meshCount; ++i) {
            const Mesh& mesh = *model->meshes.at(i);
            EXPECT_TRUE(mesh.hasBuffers) << name << " " << mesh.name;
            EXPECT_NE(mesh.material->texture.id, mesh.material->bump.id) << name << " " << mesh.name;
        }
    }
    EXPECT_EQ(engine.camera->tracks.count(), 5);
    EXPECT_GE(engine.lights->tracks.count(), 1);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    demo.reset();
    Engine::destroy();
}

} // namespace
} // namespace halcyra
