#include "support/Json.h"
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

// Plays with `arguments` and --stats-json, and returns what the program wrote there (null on failure).
test::Json playWithStats(std::vector<std::string> arguments,
                         const std::vector<std::string>& environment = headless,
                         test::ProgramResult* result = nullptr) {
    test::TempDir dir;
    const std::string file = (dir.path() / "stats.json").string();
    arguments.insert(arguments.end(), {"--stats-json", file});
    const test::ProgramResult run =
        test::runProgram(test::halcyraBinary(), arguments, HALCYRA_DATA_DIR, environment);
    EXPECT_EQ(run.exitStatus, 0) << run.err;
    if (result != nullptr)
        *result = run;
    std::string error;
    const test::Json stats = test::Json::parse(test::readFile(file), &error);
    EXPECT_FALSE(stats.isNull()) << error;
    return stats;
}

bool haveSoundtrack() {
    return std::filesystem::exists(std::filesystem::path(HALCYRA_DATA_DIR) / "muzak.mp3");
}

TEST(Program, StatsReportFramesPerScenePlayed) {
    test::ProgramResult run;
    const test::Json stats = playWithStats(
        {"--no-dialog", "--windowed", "--start", "21", "--duration", "1.5", "--stats"}, headless, &run);
    EXPECT_NE(run.out.find("scene  frames  median ms  p95 ms  p99 ms  max ms"), std::string::npos)
        << "for people";
    const test::Json& scenes = stats["scenes"];
    ASSERT_EQ(scenes.size(), 2u) << "the opening at 21 s, then the credits";
    EXPECT_EQ(scenes[0]["name"].text, "opening");
    EXPECT_EQ(scenes[1]["scene"].number, 2);
    for (const char* figure : {"frames", "medianMs", "p95Ms", "p99Ms", "maxMs"})
        EXPECT_GT(scenes[1][figure].number, 0.0) << figure;
    // The loading stages, each with its wall-clock and CPU time, up to the first scene frame.
    const test::Json& loading = stats["loading"];
    std::vector<std::string> stages;
    for (const test::Json& stage : loading["stages"].items)
        stages.push_back(stage["name"].text);
    for (const char* stage : {"data packet", "texture list", "texture uploads", "loading frames",
                              "music open", "first scene frame"})
        EXPECT_NE(std::find(stages.begin(), stages.end(), stage), stages.end()) << stage;
    EXPECT_EQ(loading["loadingFrames"].number, 67) << "61 steps and 6 stage frames";
    EXPECT_GT(loading["peakMiB"].number, 0.0);
    EXPECT_EQ(stats["picture"]["width"].number, 1024);
    EXPECT_EQ(stats["stopped"].text, "its time ran out");

    // The music plays from the show's time: at each scene's first frame it is heard at the picture's.
    if (!haveSoundtrack())
        return;
    const test::Json& samples = stats["music"]["samples"];
    EXPECT_EQ(samples.size(), 2u);
    for (const test::Json& sample : samples.items)
        EXPECT_LT(std::abs(sample["gapMs"].number), 100.0) << "scene " << sample["scene"].number;
}

// Stopped and continued (Ctrl+Z, fg), the picture goes on at the wall clock's time while the music would
// go on where it stopped, behind the picture for the rest of the show; it is moved to the picture's time.
TEST(Program, MusicCatchesUpWithThePictureAfterTheProcessWasStopped) {
    if (!haveSoundtrack())
        GTEST_SKIP() << "no soundtrack built";
    test::TempDir dir;
    const std::string file = (dir.path() / "stats.json").string();
    const std::string play = std::string("'") + test::halcyraBinary() +
                             "' --no-dialog --windowed --duration 10 --stats-json '" + file +
                             "' & sleep 6; kill -STOP $!; sleep 1.5; kill -CONT $!; wait $!";
    const auto result = test::runProgram("/bin/sh", {"-c", play}, HALCYRA_DATA_DIR, headless);
    ASSERT_EQ(result.exitStatus, 0) << result.err;
    const test::Json music = test::Json::parse(test::readFile(file))["music"];
    EXPECT_LT(music["largest"]["gapMs"].number, -1000.0) << "the stop left the music behind";
    EXPECT_GE(music["moves"].number, 1);
    EXPECT_LT(std::abs(music["end"]["gapMs"].number), 100.0);
}

// A sound path that buffers 186 ms (a Bluetooth headset does as much) runs ahead of what is heard by that
// much: that is no gap, and a steady run never moves the music.
TEST(Program, MusicIsNotMovedOnASoundPathThatBuffersMore) {
    if (!haveSoundtrack())
        GTEST_SKIP() << "no soundtrack built";
    std::vector<std::string> environment = headless;
    environment.push_back("HALCYRA_AUDIO_FRAMES=8192");
    const test::Json music =
        playWithStats({"--no-dialog", "--windowed", "--start", "60", "--duration", "6", "--quality", "full"},
                      environment)["music"];
    const double latency = music["latencyMs"].number;
    EXPECT_GE(latency, 150.0);
    EXPECT_EQ(music["moves"].number, 0) << "moved " << music["moves"].number << " times";
    // Ahead by up to what the path buffers, never behind by more than a move allows.
    const double end = music["end"]["gapMs"].number;
    EXPECT_GT(end, -100.0);
    EXPECT_LT(end, latency + 50.0);
}

// On Mesa's software renderer real-time play draws a smaller picture while frames run over 1/30 s, and says
// so; --quality full keeps the show's own targets. Either way the report tells where each frame's time went,
// pass by pass, and the passes add up to the frame.
TEST(Program, AdaptiveQualityOnASoftwareRendererAndWhereTheFramesTimeGoes) {
    const std::vector<std::string> play = {"--no-dialog", "--windowed", "--no-vsync", "--start",
                                           "96",          "--duration", "6"};
    test::ProgramResult run;
    const test::Json adaptive = playWithStats(play, headless, &run);
    EXPECT_NE(run.out.find("halcyra: adaptive quality on the software renderer llvmpipe"), std::string::npos)
        << run.out;
    EXPECT_LT(adaptive["scenes"][0]["picture"]["wholeShare"].number, 1.0) << "some frames drawn smaller";

    std::vector<std::string> whole = play;
    whole.insert(whole.end(), {"--quality", "full"});
    const test::Json full = playWithStats(whole, headless, &run);
    EXPECT_EQ(run.out.find("adaptive quality"), std::string::npos) << run.out;
    EXPECT_EQ(full["picture"]["targetWidth"].number, 1024);
    EXPECT_EQ(full["picture"]["targetHeight"].number, 1024);
    const test::Json& scene = full["scenes"][0];
    EXPECT_EQ(scene["picture"]["wholeShare"].number, 1.0);
    const test::Json& passes = scene["passes"]["gpu"];
    for (const char* pass : {"shadow map", "scene", "mirror", "bright pass", "glow blur 1", "tonemap",
                             "blur 4", "mask", "grain", "present"})
        EXPECT_GT(passes[pass].number, 0.0) << pass;
    const double median = scene["medianMs"].number;
    ASSERT_GT(median, 0.0);
    EXPECT_NEAR(passes["frame"].number, median, 0.1 * median) << "a frame's passes add up to its time";
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
