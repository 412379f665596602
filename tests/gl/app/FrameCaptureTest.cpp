#include "app/FrameCapture.h"

#include "core/DisplayConfig.h"
#include "render/Engine.h"
#include "support/GlTestContext.h"
#include "support/MessageLog.h"
#include "support/TempDir.h"

#include <GL/gl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace halcyra {
namespace {

class FrameCaptureTest : public testing::Test {
protected:
    explicit FrameCaptureTest(int mode = 1020) : context(mode) {
        test::GlTestContext::loadShowPacket();
        Engine::instance();
    }
    ~FrameCaptureTest() override { Engine::destroy(); }

    // Left half red, right half blue, and one green pixel at (3, 2) from the bottom left.
    void drawKnownFrame() {
        const DisplayConfig& config = DisplayConfig::instance();
        glViewport(0, 0, config.width, config.height);
        glEnable(GL_SCISSOR_TEST);
        glScissor(0, 0, config.width / 2, config.height);
        glClearColor(1, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        glScissor(config.width / 2, 0, config.width - config.width / 2, config.height);
        glClearColor(0, 0, 1, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        glScissor(3, 2, 1, 1);
        glClearColor(0, 1, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        glDisable(GL_SCISSOR_TEST);
    }

    // Blue, green, red of the BMP pixel (x, y), y counted from the bottom.
    static std::vector<uint8_t> bmpPixel(const std::string& file, int width, int x, int y) {
        const size_t at = 58 + (static_cast<size_t>(y) * width + x) * 3;
        return {static_cast<uint8_t>(file[at]), static_cast<uint8_t>(file[at + 1]),
                static_cast<uint8_t>(file[at + 2])};
    }

    test::GlTestContext context;
    test::TempDir folder;
    test::WorkingDirectory inFolder{folder.path()};
};

TEST_F(FrameCaptureTest, FourByThreeCaptureIsABottomUpBmpOfTheFrame) {
    drawKnownFrame();
    FrameCapture::instance().capture();
    const std::string file = test::readFile("frames/scr00000.bmp");
    ASSERT_EQ(file.size(), 2359354u);
    EXPECT_EQ(file.substr(0, 2), "BM");
    EXPECT_EQ(bmpPixel(file, 1024, 0, 0), (std::vector<uint8_t>{0, 0, 255}));
    EXPECT_EQ(bmpPixel(file, 1024, 1023, 767), (std::vector<uint8_t>{255, 0, 0}));
    EXPECT_EQ(bmpPixel(file, 1024, 3, 2), (std::vector<uint8_t>{0, 255, 0}));
    EXPECT_EQ(bmpPixel(file, 1024, 3, 3), (std::vector<uint8_t>{0, 0, 255}));
}

TEST_F(FrameCaptureTest, NumbersCountUpFromZeroAndTheFolderIsMadeWhenMissing) {
    EXPECT_FALSE(std::filesystem::exists("frames"));
    drawKnownFrame();
    for (int i = 0; i < 11; ++i)
        FrameCapture::instance().capture();
    EXPECT_TRUE(std::filesystem::exists("frames/scr00000.bmp"));
    EXPECT_TRUE(std::filesystem::exists("frames/scr00010.bmp"));
    EXPECT_EQ(FrameCapture::instance().frameNumber, 11);
}

TEST_F(FrameCaptureTest, UnwritableFolderGivesTheFirstMessageOnceAndNoFile) {
    folder.write("frames", "a file where the folder should be");
    test::MessageLog log;
    drawKnownFrame();
    FrameCapture::instance().capture();
    EXPECT_EQ(log.texts(), std::vector<std::string>{"bmp:n avaus ei onnistu"});
    EXPECT_EQ(FrameCapture::instance().frameNumber, 1);
    FrameCapture::instance().capture();
    EXPECT_EQ(log.messages().size(), 2u);
}

// Captures with the file size limited to `bytes` (the disk filling up after that many), then lifts the
// limit (the test reads this process's stderr from a file), prints the messages and ends the process.
[[noreturn]] void captureWithFileLimit(rlim_t bytes) {
    rlimit limit{};
    getrlimit(RLIMIT_FSIZE, &limit);
    const rlim_t unlimited = limit.rlim_cur;
    limit.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
    std::signal(SIGXFSZ, SIG_IGN);
    std::vector<std::string> texts;
    {
        test::MessageLog log;
        FrameCapture::instance().capture();
        texts = log.texts();
    }
    limit.rlim_cur = unlimited;
    setrlimit(RLIMIT_FSIZE, &limit);
    for (const std::string& text : texts)
        std::fprintf(stderr, "%s\n", text.c_str());
    std::exit(std::filesystem::exists("frames/scr00000.bmp") ? 1 : 0);
}

using FrameCaptureDeathTest = FrameCaptureTest;

TEST_F(FrameCaptureDeathTest, FailingWriteNamesThePartThatFailedAndLeavesNoFile) {
    drawKnownFrame();
    EXPECT_EXIT(captureWithFileLimit(0), testing::ExitedWithCode(0), "^bitmapfileheaderin tallennus\n$");
    EXPECT_EXIT(captureWithFileLimit(14), testing::ExitedWithCode(0), "^BITMAPV5HEADERin tallennus\n$");
    EXPECT_EXIT(captureWithFileLimit(54), testing::ExitedWithCode(0), "^RGBQUADin tallennus\n$");
    EXPECT_EXIT(captureWithFileLimit(58 + 1000), testing::ExitedWithCode(0),
                "^v\xC3\xA4ribittien tallennus\n$");
}

class WideFrameCaptureTest : public FrameCaptureTest {
protected:
    WideFrameCaptureTest() : FrameCaptureTest(1021) {}
};

TEST_F(WideFrameCaptureTest, SixteenByNineCaptureHoldsTheWholePicture) {
    drawKnownFrame();
    FrameCapture::instance().capture();
    const std::string file = test::readFile("frames/scr00000.bmp");
    ASSERT_EQ(file.size(), 58u + 1280u * 720u * 3u);
    EXPECT_EQ(bmpPixel(file, 1280, 1279, 719), (std::vector<uint8_t>{255, 0, 0}));
    EXPECT_EQ(bmpPixel(file, 1280, 1100, 10), (std::vector<uint8_t>{255, 0, 0}));
    EXPECT_EQ(bmpPixel(file, 1280, 600, 10), (std::vector<uint8_t>{0, 0, 255}));
}

} // namespace
} // namespace halcyra
