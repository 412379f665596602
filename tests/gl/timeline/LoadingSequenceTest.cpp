#include "timeline/Demo.h"

#include "assets/Texture.h"
#include "assets/TextureLoader.h"
#include "render/Engine.h"
#include "support/GlTestContext.h"
#include "support/MessageLog.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace halcyra {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> listLines(const fs::path& list) {
    std::ifstream in(list);
    int count = 0;
    in >> count;
    std::string line;
    std::getline(in, line);
    std::vector<std::string> lines;
    while (static_cast<int>(lines.size()) < count && std::getline(in, line))
        lines.push_back(line);
    return lines;
}

void writeList(const fs::path& list, const std::vector<std::string>& lines) {
    std::ofstream out(list);
    out << lines.size() << "\n";
    for (const std::string& line : lines)
        out << line << "\n";
}

// The messages decoding `file` in turn raises, as the sequential load shows them.
std::vector<std::string> decodeMessages(const fs::path& file, ImageKind kind) {
    test::MessageLog log;
    Texture texture("t");
    TextureLoader().decodeFile(file.c_str(), texture, static_cast<int>(kind));
    return log.texts();
}

// The built show data with damage added to the texture and model lists: the images decode ahead on worker
// threads, yet every message comes where a load decoding line by line shows it, and the bar takes one
// step per line.
TEST(LoadingSequence, DecodesAheadButShowsEveryMessageAtItsLinesStep) {
    const fs::path data = HALCYRA_DATA_DIR;
    test::TempDir dir;
    fs::create_symlink(data / "data.qz", dir.path() / "data.qz");
    for (const char* folder : {"textures", "models"}) {
        fs::create_directories(dir.path() / folder);
        for (const auto& entry : fs::directory_iterator(data / folder))
            fs::create_symlink(entry.path(), dir.path() / folder / entry.path().filename());
    }
    const std::string real = test::readFile(data / "textures/c_noise.jpg");
    const fs::path cut = dir.write("textures/cut.jpg", real.substr(0, real.size() / 3));
    const fs::path tga =
        dir.write("textures/type1.tga", std::string("\0\0\1\0\0\0\0\0\0\0\0\0", 12) + std::string(6, '\0'));

    std::vector<std::string> textures = listLines(data / "textures/tex");
    ASSERT_GE(textures.size(), 3u);
    std::vector<std::string> models = listLines(data / "models/models");
    textures.insert(textures.begin() + 1, {"textures/cut.jpg", "textures/c_noise.jpg", "textures/"});
    textures.insert(textures.begin() + 5, "textures/absent.png");
    textures.push_back("textures/type1.tga");
    models.push_back("models/x");
    fs::remove(dir.path() / "textures/tex");
    fs::remove(dir.path() / "models/models");
    writeList(dir.path() / "textures/tex", textures);
    writeList(dir.path() / "models/models", models);

    std::vector<std::string> expected = decodeMessages(cut, ImageKind::Jpeg);
    expected.push_back("prc");
    expected.push_back(
        "Asset list textures/tex, entry 4: \"textures/\" is too short to name an asset; skipped.");
    for (const std::string& text : decodeMessages(dir.path() / "textures/absent.png", ImageKind::Png))
        expected.push_back(text);
    for (const std::string& text : decodeMessages(tga, ImageKind::Tga))
        expected.push_back(text);
    ASSERT_EQ(expected.size(), 5u) << "every damaged line raises one message";

    test::GlTestContext context;
    const test::WorkingDirectory inData(dir.path());
    test::MessageLog log;
    auto demo = std::make_unique<Demo>();
    std::vector<std::string> shown = log.texts();
    ASSERT_FALSE(shown.empty());
    const std::string modelMessage = shown.back();
    shown.pop_back();
    EXPECT_NE(modelMessage.find("models/models"), std::string::npos) << modelMessage;
    EXPECT_EQ(shown, expected);
    // The show's own data takes 61 steps; the six lines added take one each, skipped lines included.
    EXPECT_NEAR(demo->progress / 0.016393442f, 67.0f, 0.01f);
    demo.reset();
    Engine::destroy();
}

} // namespace
} // namespace halcyra
