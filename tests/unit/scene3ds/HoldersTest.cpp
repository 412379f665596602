#include "scene3ds/Camera.h"
#include "scene3ds/LightLibrary.h"
#include "scene3ds/ModelLibrary.h"

#include "support/Registries.h"

#include <gtest/gtest.h>

namespace halcyra {
namespace {

TEST(ModelLibrary, AddKeepsTheFirstModelOfANameAndFindIsExact) {
    test::RegistryScope registries;
    ModelLibrary& library = ModelLibrary::instance();
    auto first = std::make_unique<Model>("planet");
    Model* kept = first.get();
    library.add(std::move(first));
    auto second = std::make_unique<Model>("planet");
    library.add(std::move(second));
    EXPECT_EQ(library.models.count(), 1);
    EXPECT_EQ(library.find("planet"), kept);
    EXPECT_EQ(library.find("Planet"), nullptr);
    EXPECT_EQ(library.find("credits"), nullptr);
}

TEST(Camera, TracksAreNumberedInTheOrderTheyAreAdded) {
    test::RegistryScope registries;
    Camera& camera = Camera::instance();
    EXPECT_FLOAT_EQ(camera.fieldOfView, 45.0f);
    EXPECT_FLOAT_EQ(camera.up.y, 1.0f);
    EXPECT_EQ(camera.currentTrack, nullptr);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(camera.addTrack(std::make_unique<CameraTrack>(1, 40, 1, 0)), i);
    camera.setEye(1, 2, 3);
    camera.setTarget(4, 5, 6);
    EXPECT_FLOAT_EQ(camera.eye.z, 3.0f);
    EXPECT_FLOAT_EQ(camera.target.x, 4.0f);
}

TEST(LightLibrary, FiveLightsWithDefaultsAndSetters) {
    test::RegistryScope registries;
    LightLibrary& lights = LightLibrary::instance();
    EXPECT_EQ(lights.lights[4].glLight, 0x4004u);
    EXPECT_FLOAT_EQ(lights.lights[2].constantAttenuation, 1.0f);
    EXPECT_FLOAT_EQ(lights.lights[0].diffuse[3], 1.0f);
    lights.setPosition(0, 194, 55, 91, 1);
    const float* position = lights.position(0);
    EXPECT_FLOAT_EQ(position[0], 194.0f);
    EXPECT_FLOAT_EQ(position[1], 55.0f);
    EXPECT_FLOAT_EQ(position[2], 91.0f);
    lights.setDiffuse(0, 1, 0.8f, 0.8f, 1);
    lights.setAmbient(0, 0.04f, 0.04f, 0.04f, 1);
    lights.setAttenuation(1, 0.5f, 0.25f, 0.125f);
    EXPECT_FLOAT_EQ(lights.lights[0].diffuse[1], 0.8f);
    EXPECT_FLOAT_EQ(lights.lights[0].ambient[0], 0.04f);
    EXPECT_FLOAT_EQ(lights.lights[1].quadraticAttenuation, 0.125f);
}

} // namespace
} // namespace halcyra
