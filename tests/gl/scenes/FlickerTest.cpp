// The scenes' flicker reads the flicker time (the show's 60 Hz grid), never the scene's own time, and the
// gentle show turns it down: seen on light 0's diffuse colour, which the flicker tints, after one frame of
// each scene with a flickering light, loaded and drawn as the show does.
#include "timeline/Demo.h"

#include "core/DisplayConfig.h"
#include "render/Engine.h"
#include "scene3ds/LightLibrary.h"
#include "scenes/ShowScene.h"
#include "support/GlTestContext.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cmath>

namespace halcyra {
namespace {

TEST(SceneFlicker, LightFollowsTheFlickerTimeAndTheGentleShowTurnsItDown) {
    test::GlTestContext context;
    const test::WorkingDirectory inData(HALCYRA_DATA_DIR);
    auto demo = std::make_unique<Demo>();
    DisplayConfig& config = DisplayConfig::instance();
    // The green share of light 0 after a frame at `time` whose flicker time is `flicker`.
    const auto tint = [&](Scene& scene, float time, float flicker, bool gentle) {
        config.gentle = gentle;
        scene.time = time;
        scene.flickerTime = flicker;
        scene.frameTime = 0.0f;
        scene.start();
        scene.update();
        scene.render();
        scene.finish();
        return demo->engine->lights->lights[0].diffuse[1] / config.lightLevel;
    };
    // Two frames of the 60 Hz grid whose flickers lie far apart, and a time between two grid frames.
    const float earlier = 10000.0f, later = 10016.667f, between = 10008.0f;
    for (const int index : {1, 2, 3, 4, 6}) { // credits, metaballs, water, cube rain, planet
        Scene& scene = *demo->scenes[static_cast<size_t>(index)];
        const float a = tint(scene, earlier, earlier, false);
        EXPECT_EQ(tint(scene, between, earlier, false), a) << "scene " << index + 1 << " reads its own time";
        const float b = tint(scene, earlier, later, false);
        EXPECT_GT(std::fabs(a - b), 0.02f) << "scene " << index + 1;
        const float gentleSwing = tint(scene, earlier, earlier, true) - tint(scene, earlier, later, true);
        EXPECT_NEAR(gentleSwing, ShowScene::gentleFlicker * (a - b), 1e-5f) << "scene " << index + 1;
    }
    config.gentle = false;
    demo.reset();
    Engine::destroy();
}

} // namespace
} // namespace halcyra
