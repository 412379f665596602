// scripts/flash-check as a person runs it: a strobe planted in frames is found in its quarter of the
// screen, at its time, with its red, and fails the check; a calm stretch of the show, captured by the
// script itself, passes.
#include "assets/PngWriter.h"
#include "support/RunProgram.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace halcyra {
namespace {

const std::string flashCheck = std::string(HALCYRA_SOURCE_DIR) + "/scripts/flash-check";

bool flashCheckCanRun() {
    return std::system("command -v ffmpeg >/dev/null 2>&1") == 0;
}

// Three seconds at 30 fps from 10 s of show on (frames 300 to 389), 64 × 36, dark grey: for the first half
// a white strobe in the lower left quarter (black and white, two frames each: 7.5 flashes a second), then a
// red one in the upper right (red and black, three frames each: 5 a second).
void plantStrobes(const test::TempDir& dir) {
    const int width = 64, height = 36;
    for (int n = 0; n < 90; ++n) {
        std::vector<uint8_t> rgb(static_cast<size_t>(width * height * 3), 40);
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                uint8_t* pixel = &rgb[static_cast<size_t>((y * width + x) * 3)];
                if (n < 45 && x < width / 2 && y >= height / 2)
                    pixel[0] = pixel[1] = pixel[2] = (n / 2) % 2 ? 255 : 0;
                if (n >= 45 && x >= width / 2 && y < height / 2) {
                    pixel[0] = (n / 3) % 2 ? 255 : 0;
                    pixel[1] = pixel[2] = 0;
                }
            }
        }
        const std::vector<uint8_t> png = encodePngImage(makePng(width, height, 3, rgb), 1);
        char name[32];
        std::snprintf(name, sizeof name, "frame%05d.png", 300 + n);
        dir.write(name, std::string(png.begin(), png.end()));
    }
}

TEST(FlashCheck, FindsAPlantedStrobeWhereAndWhenItIs) {
    if (!flashCheckCanRun())
        GTEST_SKIP() << "ffmpeg is not installed";
    test::TempDir dir;
    plantStrobes(dir);
    const auto result = test::runProgram(flashCheck, {"--frames", dir.path().string(), "--fps", "30"});
    EXPECT_EQ(result.exitStatus, 1) << result.out << result.err;
    EXPECT_NE(result.out.find("90 frames at 30 fps, 10.00 to 13.00 s"), std::string::npos) << result.out;
    EXPECT_NE(result.out.find(" s, lower left: 7.5 (over the limit of 3)"), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("worst second for red flashes: 11."), std::string::npos) << result.out;
    EXPECT_NE(result.out.find(" s, upper right: 5 (over the limit of 3)"), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("result: FAIL"), std::string::npos) << result.out;

    // Nothing to count is said plainly.
    const auto empty = test::runProgram(flashCheck, {"--frames", (dir.path() / "none").string()});
    EXPECT_EQ(empty.exitStatus, 2);
    EXPECT_NE(empty.err.find("flash-check: no folder"), std::string::npos) << empty.err;
}

TEST(FlashCheck, ACalmStretchOfTheShowPasses) {
    if (!flashCheckCanRun())
        GTEST_SKIP() << "ffmpeg is not installed";
    // The water scene, 100 s in: slow forms, no cut.
    const auto result =
        test::runProgram(flashCheck,
                         {"--binary", test::halcyraBinary(), "--data", HALCYRA_DATA_DIR, "--start", "100",
                          "--duration", "2", "--fps", "30", "--size", "160x90"},
                         {}, {}, 240.0);
    EXPECT_EQ(result.exitStatus, 0) << result.out << result.err;
    EXPECT_NE(result.out.find("60 frames at 30 fps, 100.00 to 102.00 s"), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("worst second for flashes: none counted"), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("result: pass"), std::string::npos) << result.out;
}

} // namespace
} // namespace halcyra
