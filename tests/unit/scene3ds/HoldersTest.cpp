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

TEST(LightLibrary, FiveLightsStartAsGlLightsZeroToFourOffAndUnattenuated) {
    test::RegistryScope registries;
    LightLibrary& lights = LightLibrary::instance();
    for (int i = 0; i < LightLibrary::lightCount; ++i) {
        EXPECT_EQ(lights.lights[i].glLight, 0x4000u + static_cast<uint32_t>(i));
        EXPECT_FALSE(lights.lights[i].enabled);
        EXPECT_FLOAT_EQ(lights.lights[i].constantAttenuation, 1.0f);
        EXPECT_FLOAT_EQ(lights.lights[i].diffuse[3], 1.0f);
    }
}

} // namespace
} // namespace halcyra
