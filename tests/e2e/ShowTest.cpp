#include "support/Frames.h"
#include "support/RunProgram.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace halcyra {
namespace {

namespace fs = std::filesystem;
using test::headless;

bool uniform(const std::vector<uint8_t>& pixels) {
    for (size_t i = 3; i < pixels.size(); ++i)
        if (pixels[i] != pixels[i % 3])
            return false;
    return true;
}

// Seconds into each scene at which frames are taken: inside every scene's own look.
const double sceneMoments[7] = {5.0,           21.65 + 20.0,  64.96 + 10.0, 93.83 + 10.0,
                                122.71 + 10.0, 151.58 + 10.0, 180.45 + 20.0};

TEST(Show, EveryScenePaintsItsOwnPictureWithoutAMessage) {
    test::TempDir dir;
    std::vector<uint8_t> previous;
    for (int scene = 0; scene < 7; ++scene) {
        const fs::path folder = dir.path() / ("scene" + std::to_string(scene + 1));
        const auto result =
            test::runProgram(test::halcyraBinary(),
                             {"--capture", folder.string(), "--fps", "10", "--start",
                              std::to_string(sceneMoments[scene]), "--duration", "0.3", "--size", "320x240"},
                             HALCYRA_DATA_DIR, headless, 180.0);
        ASSERT_EQ(result.exitStatus, 0) << "scene " << scene + 1 << ": " << result.err;
        // Only the progress line may reach stderr: no message.
        EXPECT_EQ(result.err.find("\n"), result.err.rfind("\n")) << result.err;
        // The third frame, named by its number in the whole show at 10 fps.
        char name[32];
        std::snprintf(name, sizeof name, "frame%05d.png",
                      static_cast<int>(std::ceil(sceneMoments[scene] * 10)) + 2);
        const auto frame = test::readFrame(folder / name).rgb;
        ASSERT_EQ(frame.size(), 320u * 240u * 3u) << "scene " << scene + 1;
        EXPECT_FALSE(uniform(frame)) << "scene " << scene + 1 << " drew nothing";
        EXPECT_NE(frame, previous) << "scene " << scene + 1 << " looks like the one before";
        previous = frame;
    }
}

double meanLevel(const std::vector<uint8_t>& pixels) {
    double sum = 0.0;
    for (uint8_t value : pixels)
        sum += value;
    return pixels.empty() ? 0.0 : sum / static_cast<double>(pixels.size());
}

TEST(Show, FirstFrameIsDrawnWhereTheOrbitStartsStraightAboveItsTarget) {
    // The opening's orbit starts right above the origin it looks at; so does the greetings orbit when a
    // run starts at that scene.
    test::TempDir dir;
    for (const char* start : {"0", "151.5795"}) {
        const fs::path folder = dir.path() / start;
        const auto result = test::runProgram(test::halcyraBinary(),
                                             {"--capture", folder.string(), "--fps", "60", "--start", start,
                                              "--duration", "0.03", "--size", "320x240"},
                                             HALCYRA_DATA_DIR, headless, 180.0);
        ASSERT_EQ(result.exitStatus, 0) << result.err;
        std::vector<fs::path> frames;
        for (const auto& entry : fs::directory_iterator(folder))
            frames.push_back(entry.path());
        std::sort(frames.begin(), frames.end());
        ASSERT_GE(frames.size(), 2u) << "start " << start;
        const double firstLevel = meanLevel(test::readFrame(frames[0]).rgb);
        const double nextLevel = meanLevel(test::readFrame(frames[1]).rgb);
        EXPECT_GT(nextLevel, 10.0) << "start " << start;
        EXPECT_GT(firstLevel, nextLevel / 2.0)
            << "start " << start << ": first " << firstLevel << ", next " << nextLevel;
    }
}

// A copy of the built data folder, to be damaged one way per test.
class DamagedShow : public testing::Test {
protected:
    DamagedShow() {
        for (const char* item : {"data.qz", "muzak.mp3", "textures", "models"})
            fs::copy(fs::path(HALCYRA_DATA_DIR) / item, data.path() / item, fs::copy_options::recursive);
    }
    test::ProgramResult play(const std::vector<std::string>& extra = {"--duration", "0.3"}) {
        std::vector<std::string> arguments = {"--no-dialog", "--windowed", "--data", data.path().string()};
        arguments.insert(arguments.end(), extra.begin(), extra.end());
        return test::runProgram(test::halcyraBinary(), arguments, {}, headless, 180.0);
    }
    void truncate(const std::string& relative, double share) {
        const fs::path file = data.path() / relative;
        fs::resize_file(file, static_cast<uintmax_t>(fs::file_size(file) * share));
    }
    static void expectOrderly(const test::ProgramResult& result) {
        EXPECT_EQ(result.signal, 0) << result.err;
        EXPECT_FALSE(result.timedOut);
        EXPECT_TRUE(result.exitStatus == 0 || result.exitStatus == 255) << result.exitStatus;
        EXPECT_EQ(result.err.find("Sanitizer"), std::string::npos) << result.err;
    }
    test::TempDir data;
};

TEST_F(DamagedShow, TruncatedPacketIsReportedAndTheShowStopsForWantOfItsPrograms) {
    truncate("data.qz", 0.5);
    const auto result = play();
    expectOrderly(result);
    EXPECT_EQ(result.exitStatus, 255);
    EXPECT_NE(result.err.find("data packet is damaged"), std::string::npos) << result.err;
}

TEST_F(DamagedShow, MissingTextureIsReportedAndShownInMagentaWhileTheShowGoesOn) {
    fs::remove(data.path() / "textures" / "mask1.png");
    const auto result = play({"--start", "66", "--duration", "0.3"});
    expectOrderly(result);
    EXPECT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_NE(result.err.find("texloaderror"), std::string::npos) << result.err;
    EXPECT_NE(result.err.find("\"mask1.png\" has no picture"), std::string::npos) << result.err;
}

TEST_F(DamagedShow, CorruptPngIsOneDecoderMessageAndTheShowGoesOn) {
    const fs::path file = data.path() / "textures" / "halcyra.png";
    std::string bytes = test::readFile(file);
    for (size_t i = bytes.size() / 3; i < bytes.size() / 3 + 64; ++i)
        bytes[i] = static_cast<char>(bytes[i] ^ 0x5a);
    data.write("textures/halcyra.png", bytes);
    const auto result = play({"--start", "15", "--duration", "0.3"});
    expectOrderly(result);
    EXPECT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_NE(result.err.find("Could not decode PNG image"), std::string::npos) << result.err;
}

TEST_F(DamagedShow, TruncatedModelIsReportedWithoutACrash) {
    truncate("models/planet.3ds", 0.4);
    const auto result = play({"--start", "185", "--duration", "0.3"});
    expectOrderly(result);
    EXPECT_NE(result.err.find("planet"), std::string::npos) << result.err;
}

TEST_F(DamagedShow, MissingCameraFileIsReportedWithoutACrash) {
    const std::string list = test::readFile(data.path() / "models" / "cameras");
    const size_t first = list.find("models/");
    ASSERT_NE(first, std::string::npos);
    const std::string camera = list.substr(first, list.find('\n', first) - first);
    fs::remove(data.path() / camera);
    const auto result = play();
    expectOrderly(result);
    EXPECT_NE(result.err.find("3ds"), std::string::npos) << result.err;
}

TEST_F(DamagedShow, EmptyModelListStopsAtTheFirstSceneThatNeedsAModel) {
    data.write("models/models", "");
    const auto result = play();
    expectOrderly(result);
    EXPECT_EQ(result.exitStatus, 255);
    EXPECT_NE(result.err.find("models/models does not start with its number of lines"), std::string::npos)
        << result.err;
    EXPECT_NE(result.err.find("without the model \"credits\""), std::string::npos) << result.err;
}

} // namespace
} // namespace halcyra
