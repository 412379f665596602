#include "app/CommandLine.h"

#include "app/SetupDialog.h"

#include <gtest/gtest.h>

#include <vector>

namespace halcyra {
namespace {

bool parse(std::vector<const char*> arguments, Options& options, std::string& error) {
    arguments.insert(arguments.begin(), "halcyra");
    return parseCommandLine(static_cast<int>(arguments.size()), arguments.data(), options, error);
}

TEST(CommandLine, NoOptionsMeansTheDialog) {
    Options options;
    std::string error;
    ASSERT_TRUE(parse({}, options, error));
    EXPECT_FALSE(options.noDialog);
    EXPECT_FALSE(options.mode);
    EXPECT_FALSE(options.durationSeconds);
    EXPECT_EQ(options.startSeconds, 0.0);
}

TEST(CommandLine, ReadsEveryOptionInBothSpellings) {
    Options options;
    std::string error;
    ASSERT_TRUE(parse({"--mode", "16:9.5", "--windowed", "--no-vsync", "--no-dialog", "--display=1", "--data",
                       "/tmp/show", "--start=21.5", "--duration", "3", "--stats", "--gentle"},
                      options, error))
        << error;
    EXPECT_EQ(options.mode, ModeButton16x9_5);
    EXPECT_EQ(options.fullscreen, false);
    EXPECT_EQ(options.vsync, false);
    EXPECT_TRUE(options.noDialog);
    EXPECT_EQ(options.display, 1);
    EXPECT_EQ(options.dataDir, "/tmp/show");
    EXPECT_DOUBLE_EQ(options.startSeconds, 21.5);
    EXPECT_DOUBLE_EQ(*options.durationSeconds, 3.0);
    EXPECT_TRUE(options.stats);
    EXPECT_TRUE(options.gentle);
}

TEST(CommandLine, LaterSwitchWins) {
    Options options;
    std::string error;
    ASSERT_TRUE(parse({"--windowed", "--fullscreen", "--no-vsync", "--vsync"}, options, error));
    EXPECT_EQ(options.fullscreen, true);
    EXPECT_EQ(options.vsync, true);
}

TEST(CommandLine, RejectsUnknownAndMalformedOptionsWithOneLine) {
    const std::vector<std::vector<const char*>> bad = {{"--fullscren"},
                                                       {"-x"},
                                                       {"show"},
                                                       {"--mode", "5:4"},
                                                       {"--mode"},
                                                       {"--start", "-1"},
                                                       {"--start", "abc"},
                                                       {"--duration", "0"},
                                                       {"--duration", "1e400"},
                                                       {"--display", "-2"},
                                                       {"--display", "one"},
                                                       {"--data="},
                                                       {"--windowed=yes"},
                                                       {"--start", "nan"},
                                                       {"--frames", "1-2"},
                                                       {"--capture", "d", "--frames", "5,3"},
                                                       {"--capture", "d", "--frames", "1-4,4-6"},
                                                       {"--capture", "d", "--frames", "1-2,"},
                                                       {"--video", "v.mp4", "--frames", "1-2,5"},
                                                       {"--capture", "d", "--frames", "1,5", "--jobs", "2"},
                                                       {"--capture", "d", "--size", "desktop", "--jobs", "2"},
                                                       {"--size", "1920x1080x2"},
                                                       {"--capture", "d", "--frames", "9-3"},
                                                       {"--capture", "d", "--frames", "-3"},
                                                       {"--capture", "d", "--start", "3", "--frames", "1-2"},
                                                       {"--jobs", "2"},
                                                       {"--capture", "d", "--jobs", "0"},
                                                       {"--video", "v.mp4", "--jobs", "65"},
                                                       {"--contact-sheet", "s.png", "--jobs", "2"},
                                                       {"--capture", "d", "--plan"},
                                                       {"--capture", "d", "--no-audio"},
                                                       {"--capture", "d", "--join", "parts"},
                                                       {"--video", "v.mp4", "--jobs", "2", "--join", "parts"},
                                                       {"--quiet"}};
    for (const auto& arguments : bad) {
        Options options;
        std::string error;
        EXPECT_FALSE(parse(arguments, options, error)) << arguments[0];
        EXPECT_FALSE(error.empty());
        EXPECT_EQ(error.find('\n'), std::string::npos);
    }
}

TEST(CommandLine, FramesNameARangeOfTheShowsFrames) {
    Options options;
    std::string error;
    ASSERT_TRUE(parse({"--video", "a.mp4", "--fps", "25", "--frames=4250-4299"}, options, error)) << error;
    EXPECT_EQ(options.frames, (std::vector<std::pair<int64_t, int64_t>>{{4250, 4299}}));
    // A capture takes a list of stretches and single frames, in rising order.
    Options list;
    ASSERT_TRUE(parse({"--capture", "d", "--frames", "7,10-12,400"}, list, error)) << error;
    EXPECT_EQ(list.frames, (std::vector<std::pair<int64_t, int64_t>>{{7, 7}, {10, 12}, {400, 400}}));
}

TEST(CommandLine, SizeAppliesToPlayTooAndTakesTheDesktop) {
    Options options;
    std::string error;
    ASSERT_TRUE(parse({"--windowed", "--size", "2560x1440"}, options, error)) << error;
    EXPECT_EQ(options.width, 2560);
    EXPECT_EQ(options.height, 1440);
    Options desktop;
    ASSERT_TRUE(parse({"--size=desktop"}, desktop, error)) << error;
    EXPECT_TRUE(desktop.desktopSize);
    EXPECT_FALSE(desktop.width);
}

TEST(CommandLine, JobsPlanAndJoinSpreadAVideo) {
    Options options;
    std::string error;
    ASSERT_TRUE(parse({"--video", "a.mp4", "--jobs=4", "--plan", "--quiet"}, options, error)) << error;
    EXPECT_EQ(options.jobs, 4);
    EXPECT_TRUE(options.plan);
    EXPECT_TRUE(options.quiet);
    Options join;
    ASSERT_TRUE(parse({"--video", "a.mp4", "--join", "a.mp4.parts", "--no-audio"}, join, error)) << error;
    EXPECT_EQ(join.joinDir, "a.mp4.parts");
    EXPECT_TRUE(join.noAudio);
}

TEST(CommandLine, UsageNamesEveryOption) {
    const std::string usage = usageText();
    for (const char* option :
         {"--mode",  "--fullscreen", "--windowed", "--vsync", "--no-vsync", "--no-dialog", "--display",
          "--data",  "--start",      "--duration", "--stats", "--capture",  "--video",     "--contact-sheet",
          "--fps",   "--frames",     "--size",     "--jobs",  "--plan",     "--join",      "--no-audio",
          "--quiet", "--help",       "--version",  "--gentle"})
        EXPECT_NE(usage.find(option), std::string::npos) << option;
}

} // namespace
} // namespace halcyra
