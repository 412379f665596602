#include "assets/TextureManager.h"
#include "timeline/AssetList.h"

#include "ContentWriter.h"
#include "GeneratedData.h"
#include "support/MessageLog.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <set>
#include <stdexcept>
#include <string>

namespace halcyra {
namespace {

namespace fs = std::filesystem;

// Every file under `folder` by its relative path, with its bytes.
std::map<std::string, std::string> filesUnder(const fs::path& folder) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        if (entry.is_regular_file())
            files[fs::relative(entry.path(), folder).string()] = test::readFile(entry.path());
    return files;
}

bool isPowerOfTwo(int n) {
    return n > 0 && (n & (n - 1)) == 0;
}

TEST(ContentWriter, TwoRunsWriteIdenticalBytes) {
    test::TempDir first;
    test::TempDir second;
    tools::writeContent(first.path() / "data", first.path() / "packet");
    tools::writeContent(second.path() / "data", second.path() / "packet");
    const auto a = filesUnder(first.path());
    const auto b = filesUnder(second.path());
    ASSERT_EQ(a.size(), b.size());
    for (const auto& [path, bytes] : a) {
        ASSERT_TRUE(b.count(path)) << path;
        EXPECT_TRUE(bytes == b.at(path)) << path << " differs between runs";
    }
}

TEST(ContentWriter, EveryTextureTheScenesLookUpIsListedAtAPowerOfTwoSize) {
    const test::GeneratedData& generated = test::generatedData();
    const test::WorkingDirectory inData(generated.folder);
    test::MessageLog log;
    TextureManager& textures = TextureManager::instance();
    for (const std::string& line : generated.textureLines)
        textures.loadFile(line.c_str(), textureNameOf(line).c_str(), static_cast<int>(textureKindOf(line)));
    textures.loadFile("textures/logo.png", "logo.png", static_cast<int>(ImageKind::Png));

    std::vector<std::string> lookedUp = {"c_noise.jpg", "halcyra.png", "qz2007.png", "n_water.png",
                                         "d_water.png", "maskqz.png",  "mask1.png",  "mask2.png",
                                         "mask3.png",   "c_mmixb.png"};
    for (const char* group : {"tamrik", "ovomel", "sundrift", "yrda", "belko", "zorda", "kivo", "lanterna"})
        for (const char* kind : {"c_", "n_", "d_"})
            lookedUp.push_back(std::string(kind) + group + ".png");
    lookedUp.push_back("logo.png");
    for (const std::string& name : lookedUp) {
        const Texture* texture = textures.find(name.c_str());
        ASSERT_NE(texture, nullptr) << name;
        EXPECT_FALSE(texture->pixels.empty()) << name;
        EXPECT_TRUE(isPowerOfTwo(texture->width) && isPowerOfTwo(texture->height))
            << name << " is " << texture->width << " x " << texture->height;
    }
    EXPECT_EQ(log.texts(), std::vector<std::string>{});
    std::set<std::string> listed;
    for (const std::string& line : generated.textureLines)
        listed.insert(textureNameOf(line));
    EXPECT_EQ(listed.count("logo.png"), 0u) << "the loading screen loads its logo itself";
    TextureManager::destroy();
}

TEST(ContentWriter, EveryPictureIsAPowerOfTwoInSize) {
    for (const tools::PictureFile& file : tools::pictureFiles()) {
        const tools::Raster picture = file.make();
        EXPECT_TRUE(isPowerOfTwo(picture.width()) && isPowerOfTwo(picture.height()))
            << file.path << " is " << picture.width() << " x " << picture.height();
    }
}

TEST(ContentWriter, ListsLongerThanTheLoadingBarAreRefused) {
    test::TempDir data;
    tools::AssetLists lists;
    lists.models.assign(8, "models/m.3ds");
    lists.cameras.assign(5, "models/c.3ds");
    lists.lights.assign(1, "models/l.3ds");
    lists.textures.assign(tools::AssetLists::lineBudget - 14, "textures/t.png");
    EXPECT_NO_THROW(lists.write(data.path()));
    EXPECT_EQ(test::readFile(data.path() / "models" / "lights"), "1\nmodels/l.3ds\n");
    lists.textures.push_back("textures/u.png");
    EXPECT_THROW(lists.write(data.path()), std::runtime_error);
}

TEST(ContentWriter, BannerSourceHoldsEveryPixelOfThe512By232Picture) {
    test::TempDir build;
    tools::writeBannerSource(build.path() / "BannerPixels.cpp");
    const std::string source = test::readFile(build.path() / "BannerPixels.cpp");
    EXPECT_NE(source.find("generatedBannerWidth = 512;"), std::string::npos);
    EXPECT_NE(source.find("generatedBannerHeight = 232;"), std::string::npos);
    const std::string values = source.substr(source.find('{', source.find("generatedBannerRgb")));
    EXPECT_EQ(std::count(values.begin(), values.end(), ','), 512 * 232 * 3);
}

} // namespace
} // namespace halcyra
