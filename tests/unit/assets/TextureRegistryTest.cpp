#include "assets/TextureLoader.h"
#include "assets/TextureManager.h"

#include "ImageWriter.h"
#include "support/MessageLog.h"
#include "support/Registries.h"
#include "support/TempDir.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

namespace halcyra {
namespace {

std::unique_ptr<Texture> named(const char* name) {
    return std::make_unique<Texture>(name);
}

TEST(TextureManager, DuplicateNameShowsPrcOnceAndKeepsTheFirst) {
    test::RegistryScope registries;
    test::MessageLog log;
    TextureManager& textures = TextureManager::instance();
    auto first = named("c_noise.jpg");
    first->width = 7;
    textures.add(std::move(first));
    textures.add(named("c_noise.jpg"));
    EXPECT_EQ(log.texts(), std::vector<std::string>{"prc"});
    EXPECT_EQ(textures.textures.count(), 1);
    EXPECT_EQ(textures.find("c_noise.jpg")->width, 7);
}

TEST(TextureManager, FindIsExactAndCaseSensitive) {
    test::RegistryScope registries;
    test::MessageLog log;
    TextureManager& textures = TextureManager::instance();
    textures.add(named("mask1.png"));
    textures.add(named("mask2.png"));
    EXPECT_EQ(textures.find("mask2.png")->name, "mask2.png");
    EXPECT_EQ(textures.find("Mask1.png"), nullptr);
    EXPECT_EQ(textures.find("mask1"), nullptr);
    EXPECT_EQ(log.texts(), (std::vector<std::string>{"Required texture not found. \"Mask1.png\"",
                                                     "Required texture not found. \"mask1\""}));
}

TEST(TextureManager, RegistrationOrderSurvivesGrowthPastTheInitialCapacity) {
    test::RegistryScope registries;
    TextureManager& textures = TextureManager::instance();
    auto nameOf = [](int i) {
        std::string name = "t";
        name += std::to_string(i);
        return name;
    };
    for (int i = 0; i < 12; ++i)
        textures.add(named(nameOf(i).c_str()));
    EXPECT_EQ(textures.textures.capacity(), 12);
    for (int i = 0; i < 12; ++i)
        EXPECT_EQ(textures.textures.at(i)->name, nameOf(i));
}

TEST(TextureManager, LoadFileRegistersTheTextureEvenWhenDecodingFails) {
    test::RegistryScope registries;
    test::TempDir dir;
    const auto good = dir.write("textures/ok.png", [] {
        const std::vector<uint8_t> pixels(4 * 2 * 3, 200);
        const auto png = tools::encodePng(tools::makePng(4, 2, 3, pixels));
        return std::string(png.begin(), png.end());
    }());
    test::MessageLog log;
    TextureManager& textures = TextureManager::instance();
    textures.loadFile(good.c_str(), "ok.png", 3);
    textures.loadFile((dir.path() / "textures/missing.tga").c_str(), "missing.tga", 1);
    EXPECT_EQ(log.texts(), (std::vector<std::string>{"texloaderror", "Could not open texture file"}));
    EXPECT_EQ(log.messages()[0].caption, "err");
    EXPECT_EQ(log.messages()[1].caption, "ERROR");

    const Texture* ok = textures.find("ok.png");
    EXPECT_EQ(ok->width, 4);
    EXPECT_EQ(ok->binding.id, TextureBinding::noObject);
    const Texture* missing = textures.find("missing.tga");
    ASSERT_NE(missing, nullptr);
    EXPECT_TRUE(missing->pixels.empty());
    EXPECT_EQ(missing->width, 0);
}

TEST(TextureManager, MissingJpegOrPngFileIsOnlyTheLoaderMessage) {
    test::MessageLog log;
    TextureLoader loader;
    Texture texture("x");
    loader.decodeFile("/nonexistent/x.jpg", texture, 2);
    loader.decodeFile("/nonexistent/x.png", texture, 3);
    EXPECT_EQ(log.texts(), (std::vector<std::string>{"texloaderror", "texloaderror"}));
}

} // namespace
} // namespace halcyra
