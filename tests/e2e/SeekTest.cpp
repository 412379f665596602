#include "support/RunProgram.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace halcyra {
namespace {

namespace fs = std::filesystem;
using test::headless;

// Captures `frames` frames at 4 fps and 96 × 72 from frame `first` (global numbers) into `folder`.
void capture(const fs::path& folder, int first, int frames) {
    const auto result =
        test::runProgram(test::halcyraBinary(),
                         {"--capture", folder.string(), "--fps", "4", "--size", "96x72", "--frames",
                          std::to_string(first) + "-" + std::to_string(first + frames - 1)},
                         HALCYRA_DATA_DIR, headless, 180.0);
    ASSERT_EQ(result.exitStatus, 0) << result.err;
}

std::string frameFile(int n) {
    char name[32];
    std::snprintf(name, sizeof name, "frame%05d.png", n);
    return name;
}

// A capture begun at `late` draws frame `late` byte for byte as a capture begun at `early` does, which drew
// every frame in between, where the scene stepped its state.
void expectSameFrameWhereverBegun(int early, int late) {
    test::TempDir dir;
    capture(dir.path() / "early", early, late - early + 1);
    capture(dir.path() / "late", late, 1);
    const std::string drawn = test::readFile(dir.path() / "early" / frameFile(late));
    ASSERT_FALSE(drawn.empty()) << "the early capture has no " << frameFile(late);
    EXPECT_TRUE(drawn == test::readFile(dir.path() / "late" / frameFile(late)))
        << frameFile(late) << " differs between a capture begun at frame " << early << " and one begun there";
}

// Scene starts in the show (s): credits 21.654, cube rain 122.707, greetings 151.579, planet 180.451.

TEST(Seek, CreditsBeatAndGlowStandWherePlaybackHasThem) {
    // From just before the beat starts (14,436 ms in) to four seconds into it.
    expectSameFrameWhereverBegun(144, 160);
}

TEST(Seek, CubeRainPulseStandsWherePlaybackHasIt) {
    expectSameFrameWhereverBegun(491, 502);
}

TEST(Seek, GreetingsShowTheGroupAndOrbitOfPlayback) {
    // Across the change from the second to the third greeting at 158.80 s.
    expectSameFrameWhereverBegun(630, 640);
}

TEST(Seek, PlanetCameraStaysStillAfterTheGlideAndTheGlowRamps) {
    // From before the camera stops (33,090 ms in) into the falling glow (after 35,090 ms).
    expectSameFrameWhereverBegun(852, 866);
}

} // namespace
} // namespace halcyra
