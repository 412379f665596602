#include "support/RunProgram.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

namespace halcyra {
namespace {

using test::headless;

TEST(Program, PlaysThreeSecondsHeadlessAndExitsCleanly) {
    const auto result = test::runProgram(
        test::halcyraBinary(), {"--no-dialog", "--windowed", "--duration", "3"}, HALCYRA_DATA_DIR, headless);
    EXPECT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_EQ(result.signal, 0);
    EXPECT_FALSE(result.timedOut);
}

// Started with no display (over ssh, on a text console) the show would play to nobody: it says so and
// fails. Asked to run headless, it plays off screen; offline rendering needs no display either.
TEST(Program, WithoutADisplayPlayIsRefusedUnlessAskedToRunHeadless) {
    const std::vector<std::string> noDisplay = {
        "DISPLAY=", "WAYLAND_DISPLAY=", "SDL_VIDEODRIVER=", "SDL_AUDIODRIVER=dummy"};
    const auto refused = test::runProgram(test::halcyraBinary(), {}, HALCYRA_DATA_DIR, noDisplay);
    EXPECT_EQ(refused.exitStatus, 1);
    EXPECT_EQ(refused.err, "halcyra: no display: set DISPLAY or WAYLAND_DISPLAY, use --headless for a timing "
                           "run, or --capture/--video to render without one\n");
    const auto headless = test::runProgram(
        test::halcyraBinary(), {"--headless", "--no-dialog", "--duration", "0.3", "--quality", "full"},
        HALCYRA_DATA_DIR, noDisplay);
    EXPECT_EQ(headless.exitStatus, 0) << headless.err;
    test::TempDir frames;
    const auto capture = test::runProgram(
        test::halcyraBinary(), {"--capture", frames.path().string(), "--frames", "0", "--size", "64x48"},
        HALCYRA_DATA_DIR, noDisplay);
    EXPECT_EQ(capture.exitStatus, 0) << capture.err;
    EXPECT_TRUE(std::filesystem::exists(frames.path() / "frame00000.png"));
}

TEST(Program, StatsReportFramesPerScenePlayed) {
    const auto result = test::runProgram(
        test::halcyraBinary(), {"--no-dialog", "--windowed", "--start", "21", "--duration", "1.5", "--stats"},
        HALCYRA_DATA_DIR, headless);
    ASSERT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_NE(result.out.find("scene  frames  median ms  p95 ms  p99 ms  max ms"), std::string::npos);
    EXPECT_NE(result.out.find("\n    1 "), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("\n    2 "), std::string::npos) << result.out;
    EXPECT_EQ(result.out.find("\n    3 "), std::string::npos) << result.out;
    // The loading stages, each with its wall-clock and CPU time, up to the first scene frame.
    for (const char* stage : {"\n  data packet ", "\n  texture list ", "\n  texture uploads ",
                              "\n  loading frames ", "\n  music open ", "\n  first scene frame "})
        EXPECT_NE(result.out.find(stage), std::string::npos) << stage << result.out;
    EXPECT_NE(result.out.find("(67 frames)"), std::string::npos) << "61 steps and 6 stage frames";
    EXPECT_NE(result.out.find("peak memory"), std::string::npos);
    EXPECT_NE(result.out.find("picture 1024 x 768"), std::string::npos) << result.out;

    // The music plays from the show's time: at each scene's first frame its position is the picture's.
    if (!std::filesystem::exists(std::filesystem::path(HALCYRA_DATA_DIR) / "muzak.mp3"))
        return;
    std::istringstream lines(result.out);
    int samples = 0;
    for (std::string line; std::getline(lines, line);) {
        int scene = 0;
        double at = 0.0, gap = 0.0;
        if (std::sscanf(line.c_str(), "  scene %d at %lf s: %lf ms", &scene, &at, &gap) != 3)
            continue;
        ++samples;
        EXPECT_LT(std::abs(gap), 100.0) << line;
    }
    EXPECT_EQ(samples, 2) << "the opening at 21 s, the credits at 21.65 s\n" << result.out;
}

// Stopped and continued (Ctrl+Z, fg), the picture goes on at the wall clock's time while the music would
// go on where it stopped, behind the picture for the rest of the show; it is moved to the picture's time.
TEST(Program, MusicCatchesUpWithThePictureAfterTheProcessWasStopped) {
    if (!std::filesystem::exists(std::filesystem::path(HALCYRA_DATA_DIR) / "muzak.mp3"))
        GTEST_SKIP() << "no soundtrack built";
    const std::string play = std::string("'") + test::halcyraBinary() +
                             "' --no-dialog --windowed --duration 7 --stats & sleep 4; kill -STOP $!; "
                             "sleep 1.5; kill -CONT $!; wait $!";
    const auto result = test::runProgram("/bin/sh", {"-c", play}, HALCYRA_DATA_DIR, headless);
    ASSERT_EQ(result.exitStatus, 0) << result.err;
    double at = 0.0, gap = 1e9, largest = 0.0;
    int moves = -1;
    std::istringstream lines(result.out);
    for (std::string line; std::getline(lines, line);) {
        std::sscanf(line.c_str(), "  at the end, %lf s: %lf ms", &at, &gap);
        std::sscanf(line.c_str(), "  largest gap %lf", &largest);
        std::sscanf(line.c_str(), "  moved to the picture's time (a gap over 100 ms): %d", &moves);
    }
    EXPECT_GT(largest, 1000.0) << "the stop left the music behind\n" << result.out;
    EXPECT_GE(moves, 1) << result.out;
    EXPECT_LT(std::abs(gap), 100.0) << result.out;
}

// The median of the pass table's row `name` for the only scene played; -1 when there is none.
double passMedian(const std::string& out, const std::string& name) {
    std::istringstream lines(out);
    bool table = false;
    for (std::string line; std::getline(lines, line);) {
        table = table || line.rfind("where a frame's time goes", 0) == 0;
        if (table && line.rfind(name + " ", 0) == 0 &&
            line.find_first_not_of(' ', name.size()) != std::string::npos)
            return std::atof(line.c_str() + name.size());
    }
    return -1.0;
}

// On Mesa's software renderer real-time play draws a smaller picture while frames run over 1/30 s, and says
// so; --quality full keeps the show's own targets. Either way --stats tells where each frame's time went,
// pass by pass, and the passes add up to the frame.
TEST(Program, AdaptiveQualityOnASoftwareRendererAndWhereTheFramesTimeGoes) {
    const std::vector<std::string> play = {"--no-dialog", "--windowed", "--no-vsync", "--start",
                                           "96",          "--duration", "6",          "--stats"};
    const auto adaptive = test::runProgram(test::halcyraBinary(), play, HALCYRA_DATA_DIR, headless);
    ASSERT_EQ(adaptive.exitStatus, 0) << adaptive.err;
    EXPECT_NE(adaptive.out.find("halcyra: adaptive quality on the software renderer llvmpipe"),
              std::string::npos)
        << adaptive.out;
    EXPECT_NE(adaptive.out.find("picture drawn (adaptive quality)"), std::string::npos) << adaptive.out;

    std::vector<std::string> whole = play;
    whole.insert(whole.end(), {"--quality", "full"});
    const auto full = test::runProgram(test::halcyraBinary(), whole, HALCYRA_DATA_DIR, headless);
    ASSERT_EQ(full.exitStatus, 0) << full.err;
    EXPECT_EQ(full.out.find("adaptive quality"), std::string::npos) << full.out;
    EXPECT_NE(full.out.find("picture 1024 x 768, drawn into 1024 x 1024 targets"), std::string::npos)
        << full.out;

    for (const char* pass : {"shadow map", "scene", "mirror", "bright pass", "glow blur 1", "tonemap",
                             "blur 4", "mask", "grain", "present"})
        EXPECT_GT(passMedian(full.out, pass), 0.0) << pass << "\n" << full.out;
    double sum = 0.0;
    for (const char* pass : {"logic", "shadow map", "scene", "mirror", "bright pass", "glow blur 1",
                             "glow blur 2", "glow blur 3", "glow blur 4", "tonemap", "blur 1", "blur 2",
                             "blur 3", "blur 4", "mask", "grain", "present"})
        sum += std::max(0.0, passMedian(full.out, pass));
    double frames = 0.0, median = 0.0;
    std::istringstream lines(full.out);
    for (std::string line; std::getline(lines, line);)
        std::sscanf(line.c_str(), "    4 %lf %lf", &frames, &median);
    ASSERT_GT(median, 0.0) << full.out;
    EXPECT_NEAR(passMedian(full.out, "frame"), median, 0.1 * median) << full.out;
    EXPECT_NEAR(sum, median, 0.15 * median) << "the passes' medians add up to the frame's\n" << full.out;
}

TEST(Program, BadOptionsPrintOneLineAndExitWithTwo) {
    for (const std::vector<std::string>& arguments : {std::vector<std::string>{"--frobnicate"},
                                                      {"--mode", "5:4"},
                                                      {"--duration"},
                                                      {"--quality", "best"},
                                                      {"--data", "/nonexistent/x"}}) {
        const auto result = test::runProgram(test::halcyraBinary(), arguments, {}, headless);
        EXPECT_EQ(result.exitStatus, 2) << arguments[0];
        EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << result.err;
        EXPECT_EQ(result.err.rfind("halcyra: ", 0), 0u) << result.err;
    }
}

TEST(Program, HelpAndVersion) {
    const auto help = test::runProgram(test::halcyraBinary(), {"--help"});
    EXPECT_EQ(help.exitStatus, 0);
    EXPECT_NE(help.out.find("--duration"), std::string::npos);
    const auto version = test::runProgram(test::halcyraBinary(), {"--version"});
    EXPECT_EQ(version.exitStatus, 0);
    EXPECT_EQ(version.out.rfind("halcyra ", 0), 0u);
}

TEST(Program, DataFolderWithoutPacketIsReportedThenStopsForWantOfItsPrograms) {
    test::TempDir empty;
    const auto result = test::runProgram(
        test::halcyraBinary(),
        {"--no-dialog", "--windowed", "--data", empty.path().string(), "--duration", "0.5"}, {}, headless);
    EXPECT_EQ(result.exitStatus, 255) << result.err;
    EXPECT_EQ(result.err,
              "err: texloaderror\ncan't open data packet\nerror: The data packet has no \"blur\" program.\n");
}

} // namespace
} // namespace halcyra
