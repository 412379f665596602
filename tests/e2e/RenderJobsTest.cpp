#include "support/Frames.h"
#include "support/RunProgram.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <map>

namespace halcyra {
namespace {

namespace fs = std::filesystem;
using test::headless;

test::ProgramResult render(std::vector<std::string> arguments) {
    return test::runProgram(test::halcyraBinary(), arguments, HALCYRA_DATA_DIR, headless, 240.0);
}

std::map<std::string, std::string> filesIn(const fs::path& folder) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::directory_iterator(folder))
        files[entry.path().filename().string()] = test::readFile(entry.path());
    return files;
}

bool have(const char* program) {
    return std::system((std::string("command -v ") + program + " >/dev/null 2>&1").c_str()) == 0;
}

// The water scene, 96 s in, at 10 fps: frames 960 to 969.
const std::vector<std::string> stretch = {"--fps",      "10", "--start", "96",
                                          "--duration", "1",  "--size",  "96x72"};

// The GLSL folder of --shaders in `dir`, with a tonemap that shows every frame red: the jobs must draw with
// it too.
fs::path redShaders(const test::TempDir& dir) {
    const fs::path folder = dir.path() / "glsl";
    fs::copy(fs::path(HALCYRA_SOURCE_DIR) / "content" / "shaders", folder, fs::copy_options::recursive);
    std::string tonemap = test::readFile(folder / "hdr_tonemap.frag");
    tonemap.insert(tonemap.rfind('}'), "    gl_FragColor.r = 1.0;\n");
    dir.write("glsl/hdr_tonemap.frag", tonemap);
    return folder;
}

TEST(ChunkedRender, TwoProcessesWriteTheFilesOneProcessWrites) {
    test::TempDir dir;
    const std::string shaders = redShaders(dir).string();
    auto one = stretch;
    one.insert(one.end(), {"--capture", (dir.path() / "one").string(), "--shaders", shaders});
    auto two = stretch;
    two.insert(two.end(), {"--capture", (dir.path() / "two").string(), "--jobs", "2", "--shaders", shaders});
    const auto single = render(one);
    ASSERT_EQ(single.exitStatus, 0) << single.err;
    const auto split = render(two);
    ASSERT_EQ(split.exitStatus, 0) << split.err;
    EXPECT_NE(split.err.find("10 frames in"), std::string::npos) << split.err;

    const auto expected = filesIn(dir.path() / "one");
    ASSERT_EQ(expected.size(), 10u);
    EXPECT_EQ(expected.begin()->first, "frame00960.png");
    EXPECT_EQ(expected.rbegin()->first, "frame00969.png");
    EXPECT_TRUE(filesIn(dir.path() / "two") == expected) << "the chunked capture's files differ";
    const test::Frame frame = test::readFrame(dir.path() / "two" / "frame00965.png");
    ASSERT_FALSE(frame.rgb.empty());
    EXPECT_GT(frame.rgb[3 * static_cast<size_t>(frame.width * frame.height / 2)], 200)
        << "drawn with the folder's red tonemap";
}

TEST(ChunkedRender, AChunkedVideoHasTheFramesDurationAndSoundOfOneProcess) {
    if (!have("ffmpeg") || !have("ffprobe"))
        GTEST_SKIP() << "ffmpeg is not installed";
    test::TempDir dir;
    std::map<std::string, std::string> probes;
    for (const char* jobs : {"1", "2"}) {
        const fs::path video = dir.path() / (std::string("jobs") + jobs + ".mp4");
        auto arguments = stretch;
        arguments.insert(arguments.end(), {"--video", video.string(), "--jobs", jobs});
        const auto result = render(arguments);
        ASSERT_EQ(result.exitStatus, 0) << result.err;
        EXPECT_FALSE(fs::exists(video.string() + ".parts")) << "segments left behind";
        const auto boxes = test::mp4Boxes(video);
        EXPECT_LT(std::find(boxes.begin(), boxes.end(), "moov"),
                  std::find(boxes.begin(), boxes.end(), "mdat"))
            << "the joined video's index follows its frames";
        probes[jobs] = test::runProgram("/usr/bin/ffprobe", {"-v", "error", "-count_frames", "-show_entries",
                                                             "stream=codec_type,nb_read_frames,duration",
                                                             "-of", "compact", video.string()})
                           .out;
    }
    EXPECT_NE(probes["1"].find("codec_type=video|duration=1.000000|nb_read_frames=10"), std::string::npos)
        << probes["1"];
    EXPECT_EQ(probes["2"], probes["1"]);
    if (fs::exists(fs::path(HALCYRA_DATA_DIR) / "muzak.mp3")) {
        EXPECT_NE(probes["2"].find("codec_type=audio"), std::string::npos) << probes["2"];
    }
}

TEST(ChunkedRender, AFailingJobStopsTheRenderWithItsRangeAndStatus) {
    test::TempDir dir;
    dir.write("taken", "a file where the capture folder should go");
    auto arguments = stretch;
    arguments.insert(arguments.end(), {"--capture", (dir.path() / "taken").string(), "--jobs", "2"});
    const auto result = render(arguments);
    EXPECT_EQ(result.exitStatus, 255);
    EXPECT_NE(result.err.find("cannot be made"), std::string::npos) << result.err;
    EXPECT_NE(result.err.find("failed with exit status 255"), std::string::npos) << result.err;
}

TEST(ChunkedRender, AJobOnANodeWithoutDisplayOrSessionPrintsOnlyItsFrames) {
    // A render farm's remote shell: no display, no session, nothing of the local environment. The job
    // counts its frames on the descriptor it is given and says nothing else.
    test::TempDir dir;
    const auto result =
        test::runProgram("/usr/bin/env",
                         {"-i", "PATH=/usr/bin:/bin", test::halcyraBinary(), "--data", HALCYRA_DATA_DIR,
                          "--capture", (dir.path() / "frames").string(), "--fps", "10", "--frames", "100-101",
                          "--quiet", "--progress-fd", "1"},
                         {}, {}, 120.0);
    EXPECT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(result.out, "frame 100\nframe 101\n");
    EXPECT_TRUE(fs::exists(dir.path() / "frames" / "frame00101.png"));
}

TEST(RenderFarm, GnuParallelWithTwoLocalSlotsWritesTheFilesOfOneProcess) {
    if (!have("parallel"))
        GTEST_SKIP() << "GNU parallel is not installed";
    test::TempDir dir;
    auto one = stretch;
    one.insert(one.end(), {"--capture", (dir.path() / "one").string()});
    ASSERT_EQ(render(one).exitStatus, 0);

    std::vector<std::string> arguments = {
        "-j", "2", "--chunks", "3", "--program", test::halcyraBinary(), "--data", HALCYRA_DATA_DIR};
    arguments.insert(arguments.end(), stretch.begin(), stretch.end());
    arguments.insert(arguments.end(), {"--capture", (dir.path() / "farm").string()});
    const auto farm = test::runProgram(std::string(HALCYRA_SOURCE_DIR) + "/scripts/render-farm", arguments,
                                       {}, headless, 240.0);
    ASSERT_EQ(farm.exitStatus, 0) << farm.err;
    EXPECT_TRUE(filesIn(dir.path() / "farm") == filesIn(dir.path() / "one")) << farm.err;
}

} // namespace
} // namespace halcyra
