#include "support/Frames.h"
#include "support/RunProgram.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

namespace halcyra {
namespace {

namespace fs = std::filesystem;
using test::headless;

int pngWidth(const std::string& file) {
    return static_cast<unsigned char>(file[16]) << 24 | static_cast<unsigned char>(file[17]) << 16 |
           static_cast<unsigned char>(file[18]) << 8 | static_cast<unsigned char>(file[19]);
}
int pngHeight(const std::string& file) {
    return pngWidth(file.substr(4));
}

TEST(Capture, TwoRunsOfTheSameStretchGiveIdenticalFrames) {
    test::TempDir first, second;
    for (const auto* dir : {&first, &second}) {
        const auto result = test::runProgram(test::halcyraBinary(),
                                             {"--capture", (dir->path() / "frames").string(), "--fps", "10",
                                              "--start", "21.2", "--duration", "1"},
                                             HALCYRA_DATA_DIR, headless);
        ASSERT_EQ(result.exitStatus, 0) << result.err;
    }
    int frames = 0;
    for (const auto& entry : fs::directory_iterator(first.path() / "frames")) {
        const std::string name = entry.path().filename().string();
        EXPECT_EQ(test::readFile(entry.path()), test::readFile(second.path() / "frames" / name)) << name;
        ++frames;
    }
    EXPECT_EQ(frames, 10);
    // Named by their numbers in the whole show: 21.2 s at 10 fps is frame 212.
    EXPECT_TRUE(fs::exists(first.path() / "frames" / "frame00212.png"));
    EXPECT_TRUE(fs::exists(first.path() / "frames" / "frame00221.png"));
}

TEST(Capture, SizeSetsThePictureSize) {
    test::TempDir dir;
    const auto result = test::runProgram(
        test::halcyraBinary(),
        {"--capture", dir.path().string(), "--fps", "5", "--duration", "0.4", "--size", "640x360"},
        HALCYRA_DATA_DIR, headless);
    ASSERT_EQ(result.exitStatus, 0) << result.err;
    const std::string frame = test::readFile(dir.path() / "frame00000.png");
    ASSERT_GT(frame.size(), 24u);
    EXPECT_EQ(pngWidth(frame), 640);
    EXPECT_EQ(pngHeight(frame), 360);
    EXPECT_FALSE(fs::exists(dir.path() / "frame00002.png"));
    // A capture has no frame time to keep: it never draws a smaller picture, on any renderer.
    EXPECT_EQ(result.out.find("adaptive quality"), std::string::npos) << result.out;
    const auto adaptive =
        test::runProgram(test::halcyraBinary(), {"--capture", dir.path().string(), "--quality", "adaptive"},
                         HALCYRA_DATA_DIR, headless);
    EXPECT_EQ(adaptive.exitStatus, 2);
    EXPECT_EQ(adaptive.err,
              "halcyra: option '--quality' is for play; offline rendering always draws the full picture\n");
}

TEST(Capture, ContactSheetHasOneThumbnailPerSecondAtAnyStep) {
    // Stepping at 5 frames a second still keeps one thumbnail per second of show.
    for (const char* fps : {"1", "5"}) {
        test::TempDir dir;
        const auto sheet = dir.path() / "sheet.png";
        const auto result = test::runProgram(
            test::halcyraBinary(),
            {"--contact-sheet", sheet.string(), "--fps", fps, "--start", "20", "--duration", "3"},
            HALCYRA_DATA_DIR, headless);
        ASSERT_EQ(result.exitStatus, 0) << result.err;
        const std::string file = test::readFile(sheet);
        ASSERT_GT(file.size(), 24u);
        EXPECT_EQ(pngWidth(file), 3 * (256 + 4) + 4) << "--fps " << fps;
        EXPECT_EQ(pngHeight(file), 192 + 8) << "--fps " << fps;
    }
}

bool haveFfmpeg() {
    return std::system("command -v ffmpeg >/dev/null 2>&1 && command -v ffprobe >/dev/null 2>&1") == 0;
}

TEST(Capture, VideoHasItsDurationFrameCountAndSoundtrack) {
    if (!haveFfmpeg())
        GTEST_SKIP() << "ffmpeg is not installed";
    test::TempDir dir;
    const auto video = dir.path() / "show.mp4";
    const auto result = test::runProgram(
        test::halcyraBinary(),
        {"--video", video.string(), "--fps", "30", "--start", "20", "--duration", "2", "--size", "320x240"},
        HALCYRA_DATA_DIR, headless);
    ASSERT_EQ(result.exitStatus, 0) << result.err;
    const auto probe =
        test::runProgram("/usr/bin/ffprobe", {"-v", "error", "-show_entries", "stream=codec_type,nb_frames",
                                              "-of", "compact", video.string()});
    EXPECT_NE(probe.out.find("codec_type=video|nb_frames=60"), std::string::npos) << probe.out;
    // The index comes before the frames, so that the video plays while it downloads.
    const auto boxes = test::mp4Boxes(video);
    const auto index = std::find(boxes.begin(), boxes.end(), "moov");
    EXPECT_LT(index, std::find(boxes.begin(), boxes.end(), "mdat")) << "the index follows the frames";
    if (fs::exists(fs::path(HALCYRA_DATA_DIR) / "muzak.mp3")) {
        EXPECT_NE(probe.out.find("codec_type=audio"), std::string::npos) << probe.out;
    }
}

TEST(Capture, FailingFfmpegIsReportedAndLeavesNoFile) {
    if (!haveFfmpeg())
        GTEST_SKIP() << "ffmpeg is not installed";
    test::TempDir dir;
    const auto video = dir.path() / "missing-folder" / "show.mp4";
    const auto result =
        test::runProgram(test::halcyraBinary(),
                         {"--video", video.string(), "--fps", "30", "--duration", "1", "--size", "320x240"},
                         HALCYRA_DATA_DIR, headless, 60.0);
    EXPECT_EQ(result.exitStatus, 255);
    EXPECT_FALSE(result.timedOut);
    EXPECT_NE(result.err.find("ffmpeg failed with exit status"), std::string::npos) << result.err;
    EXPECT_FALSE(fs::exists(video));
}

TEST(Capture, CaptureOptionsNeedEachOther) {
    const auto result = test::runProgram(test::halcyraBinary(), {"--fps", "30"}, {}, headless);
    EXPECT_EQ(result.exitStatus, 2);
    const auto both =
        test::runProgram(test::halcyraBinary(), {"--capture", "a", "--video", "b.mp4"}, {}, headless);
    EXPECT_EQ(both.exitStatus, 2);
}

} // namespace
} // namespace halcyra
