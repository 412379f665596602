#include "support/RunProgram.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <sstream>

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

TEST(Program, BadOptionsPrintOneLineAndExitWithTwo) {
    for (const std::vector<std::string>& arguments : {std::vector<std::string>{"--frobnicate"},
                                                      {"--mode", "5:4"},
                                                      {"--duration"},
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
