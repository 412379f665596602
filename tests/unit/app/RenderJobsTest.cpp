#include "app/RenderJobs.h"

#include "support/TempDir.h"
#include "timeline/Demo.h"
#include "timeline/Playback.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <iterator>

namespace halcyra {
namespace {

TEST(SplitFrames, ContiguousRangesThatCoverTheWholeAndDifferByOneFrameAtMost) {
    for (const int parts : {1, 2, 3, 7, 64}) {
        const FrameRange whole{2400, 2449};
        const auto ranges = splitFrames(whole, parts);
        ASSERT_EQ(static_cast<int>(ranges.size()), std::min(parts, 49)) << parts;
        int64_t next = whole.first;
        int64_t shortest = whole.count();
        int64_t longest = 0;
        for (const FrameRange& range : ranges) {
            EXPECT_EQ(range.first, next);
            EXPECT_GT(range.count(), 0);
            shortest = std::min(shortest, range.count());
            longest = std::max(longest, range.count());
            next = range.end;
        }
        EXPECT_EQ(next, whole.end);
        EXPECT_LE(longest - shortest, 1);
    }
    EXPECT_TRUE(splitFrames(FrameRange{10, 10}, 4).empty());
    EXPECT_EQ(rangeText(FrameRange{2400, 2425}), "2400-2424");
}

TEST(FrameRange, StartDurationAndFramesCountFromTheShowsStartAndStopAtItsEnd) {
    Options options;
    options.startSeconds = 170.0;
    options.durationSeconds = 2.0;
    FrameRange range = frameRange(options, 25);
    EXPECT_EQ(range.first, 4250);
    EXPECT_EQ(range.end, 4300);

    // A start between two frames takes the next; a duration takes whole frames, at least one.
    options.startSeconds = 21.21;
    options.durationSeconds = 0.01;
    range = frameRange(options, 10);
    EXPECT_EQ(range.first, 213);
    EXPECT_EQ(range.end, 214);

    const int64_t showFrames = showFrameCount(Demo::sceneLengths(), 25);
    options.startSeconds = 230.0;
    options.durationSeconds = 60.0;
    EXPECT_EQ(frameRange(options, 25).end, showFrames);

    Options frames;
    frames.frames = {{100, 199}};
    range = frameRange(frames, 25);
    EXPECT_EQ(range.first, 100);
    EXPECT_EQ(range.end, 200);
    frames.frames = {{100, 99999}};
    EXPECT_EQ(frameRange(frames, 25).end, showFrames);

    // A list keeps its stretches within the show; the span runs from the first to the last.
    frames.frames = {
        {5, 5}, {10, 19}, {showFrames - 1, showFrames + 50}, {showFrames + 100, showFrames + 200}};
    const std::vector<FrameRange> ranges = frameRanges(frames, 25);
    ASSERT_EQ(ranges.size(), 3u);
    EXPECT_EQ(ranges[0].count(), 1);
    EXPECT_EQ(ranges[1].first, 10);
    EXPECT_EQ(ranges[1].end, 20);
    EXPECT_EQ(ranges[2].end, showFrames);
    EXPECT_EQ(frameRange(frames, 25).first, 5);
    EXPECT_EQ(frameRange(frames, 25).end, showFrames);
}

// A job gets the command line it was started from, but for what splits the render: whatever option a
// viewer gave, the jobs' frames are the frames one process draws.
TEST(RenderJobs, EachJobIsGivenTheParentsOwnOptionsWithItsFramesAndNoProgressLine) {
    const char* const argv[] = {"halcyra",       "--video",   "/out/show.mp4", "--fps",   "30",
                                "--size",        "1920x1080", "--start",       "12",      "--stats",
                                "--draft",       "--shaders", "glsl",          "--jobs",  "2",
                                "--gpu-class=2", "--data",    "here",          "--gentle"};
    Options options;
    std::string error;
    ASSERT_TRUE(parseCommandLine(static_cast<int>(std::size(argv)), argv, options, error)) << error;
    const auto args = jobArguments(options, "/data", FrameRange{360, 420}, "/out/show.mp4.parts");
    auto after = [&](const char* option) {
        const auto found = std::find(args.begin(), args.end(), option);
        return found == args.end() || found + 1 == args.end() ? std::string("(missing)") : *(found + 1);
    };
    EXPECT_EQ(after("--frames"), "360-419");
    EXPECT_EQ(after("--video"), "/out/show.mp4.parts/360-419.mp4");
    EXPECT_EQ(after("--size"), "1920x1080");
    EXPECT_EQ(after("--fps"), "30");
    EXPECT_EQ(after("--gpu-class"), "2");
    EXPECT_EQ(after("--data"), "/data") << "the folder this process found";
    EXPECT_EQ(after("--shaders"), (std::filesystem::current_path() / "glsl").string());
    for (const char* flag : {"--no-audio", "--quiet", "--stats", "--draft", "--gentle"})
        EXPECT_NE(std::find(args.begin(), args.end(), flag), args.end()) << flag;
    // The range replaces the stretch and the split: a job given them would be refused or split again.
    for (const char* option : {"--start", "--jobs", "here"})
        EXPECT_EQ(std::find(args.begin(), args.end(), option), args.end()) << option;
    Options job;
    std::vector<const char*> jobArgv = {"halcyra"};
    for (const std::string& arg : args)
        jobArgv.push_back(arg.c_str());
    EXPECT_TRUE(parseCommandLine(static_cast<int>(jobArgv.size()), jobArgv.data(), job, error)) << error;

    const char* const png[] = {"halcyra", "--capture", "/out/frames", "--mode", "16:9", "--jobs", "3"};
    Options capture;
    ASSERT_TRUE(parseCommandLine(static_cast<int>(std::size(png)), png, capture, error)) << error;
    const auto pngArgs = jobArguments(capture, "/data", FrameRange{0, 5}, "");
    EXPECT_NE(std::find(pngArgs.begin(), pngArgs.end(), "/out/frames"), pngArgs.end());
    EXPECT_NE(std::find(pngArgs.begin(), pngArgs.end(), "16:9"), pngArgs.end());
    EXPECT_EQ(std::find(pngArgs.begin(), pngArgs.end(), "--no-audio"), pngArgs.end());
}

TEST(JoinVideo, SegmentsMustCoverTheFramesWithoutGapBeforeFfmpegRuns) {
    test::TempDir dir;
    dir.write("0-9.mp4", "x");
    dir.write("20-29.mp4", "x");
    dir.write("notes.txt", "x");
    std::string error;
    EXPECT_FALSE(
        joinVideo((dir.path() / "out.mp4").string(), dir.path().string(), FrameRange{0, 30}, 25, "", error));
    EXPECT_NE(error.find("none begins at frame 10"), std::string::npos) << error;

    dir.write("10-19.mp4", "x");
    error.clear();
    EXPECT_FALSE(
        joinVideo((dir.path() / "out.mp4").string(), dir.path().string(), FrameRange{0, 25}, 25, "", error));
    EXPECT_NE(error.find("do not end at frame 24"), std::string::npos) << error;
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "out.mp4"));
}

} // namespace
} // namespace halcyra
