#include "app/FrameCapture.h"
#include "app/OfflineCapture.h"
#include "assets/PngWriter.h"

#include "app/Startup.h"
#include "core/DisplayConfig.h"

#include <gtest/gtest.h>
#include <png.h>

#include <algorithm>
#include <array>
#include <utility>

namespace halcyra {
namespace {

uint32_t at32(const std::vector<uint8_t>& bytes, size_t offset) {
    return bytes[offset] | bytes[offset + 1] << 8 | bytes[offset + 2] << 16 |
           static_cast<uint32_t>(bytes[offset + 3]) << 24;
}

TEST(BmpHeaders, FiftyEightBytesWithSizesAndTheRgbQuad) {
    const auto headers = FrameCapture::bmpHeaders(1024, 768);
    ASSERT_EQ(headers.size(), 58u);
    EXPECT_EQ(headers[0], 'B');
    EXPECT_EQ(headers[1], 'M');
    EXPECT_EQ(at32(headers, 2), 2359354u);
    EXPECT_EQ(at32(headers, 10), 58u);
    EXPECT_EQ(at32(headers, 14), 40u);
    EXPECT_EQ(at32(headers, 18), 1024u);
    EXPECT_EQ(at32(headers, 22), 768u);
    EXPECT_EQ(headers[26], 1);
    EXPECT_EQ(headers[28], 24);
    EXPECT_EQ(at32(headers, 30), 0u);
    EXPECT_EQ((std::vector<uint8_t>(headers.begin() + 54, headers.end())),
              (std::vector<uint8_t>{1, 1, 1, 0}));
}

TEST(CaptureNames, FiveDigitsForBmpAndPngFrames) {
    EXPECT_EQ(FrameCapture::fileName(0), "frames/scr00000.bmp");
    EXPECT_EQ(FrameCapture::fileName(10), "frames/scr00010.bmp");
    EXPECT_EQ(FrameCapture::fileName(99999), "frames/scr99999.bmp");
    EXPECT_EQ(PngSequence::frameName(42), "frame00042.png");
}

// Decodes a PNG with libpng's simplified reader into RGB rows, top row first.
std::vector<uint8_t> decodeRgb(const std::vector<uint8_t>& file, int& width, int& height) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, file.data(), file.size()))
        return {};
    image.format = PNG_FORMAT_RGB;
    std::vector<uint8_t> pixels(PNG_IMAGE_SIZE(image));
    png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr);
    width = static_cast<int>(image.width);
    height = static_cast<int>(image.height);
    return pixels;
}

TEST(PngFrames, ReadBackRowsBecomeAnUprightRgbPictureAtEveryLevel) {
    // GL's layout: B, G, R, A, the bottom row first. Every pixel different, so that a swapped channel, a
    // flipped row order or a dropped column shows.
    const int width = 7;
    const int height = 5;
    std::vector<uint8_t> bgra(static_cast<size_t>(width) * height * 4);
    auto rgbAt = [](int x, int y) {
        return std::array<uint8_t, 3>{static_cast<uint8_t>(10 * x + y), static_cast<uint8_t>(100 + y),
                                      static_cast<uint8_t>(200 + x)};
    };
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const auto rgb = rgbAt(x, y); // y counted from the top
            uint8_t* texel = &bgra[(static_cast<size_t>(height - 1 - y) * width + x) * 4];
            texel[0] = rgb[2];
            texel[1] = rgb[1];
            texel[2] = rgb[0];
            texel[3] = 77;
        }
    for (const int level : {PngSequence::compressionLevel, 6, 9}) {
        const auto file = encodePngFrame(width, height, bgra.data(), level);
        int w = 0;
        int h = 0;
        const auto rgb = decodeRgb(file, w, h);
        ASSERT_EQ(w, width);
        ASSERT_EQ(h, height);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const auto want = rgbAt(x, y);
                const uint8_t* got = &rgb[(static_cast<size_t>(y) * width + x) * 3];
                EXPECT_EQ((std::array<uint8_t, 3>{got[0], got[1], got[2]}), want)
                    << x << "," << y << " level " << level;
            }
        // The same picture always gives the same bytes.
        EXPECT_EQ(encodePngFrame(width, height, bgra.data(), level), file);
    }
}

TEST(VideoPipe, RawInputTakesItsFrameRateBeforeTheStdinInput) {
    VideoPipe::Settings settings{"out.mp4", 640, 360, 30, 12.5, "/data/muzak.mp3"};
    const auto args = VideoPipe::arguments(settings);
    const auto framerate = std::find(args.begin(), args.end(), "-framerate");
    const auto input = std::find(args.begin(), args.end(), "-");
    ASSERT_NE(framerate, args.end());
    ASSERT_NE(input, args.end());
    EXPECT_LT(framerate, input);
    EXPECT_EQ(*(framerate + 1), "30");
    EXPECT_NE(std::find(args.begin(), args.end(), "640x360"), args.end());
    EXPECT_NE(std::find(args.begin(), args.end(), "12.500"), args.end());
    EXPECT_NE(std::find(args.begin(), args.end(), "vflip"), args.end());
    EXPECT_NE(std::find(args.begin(), args.end(), "aac"), args.end());
    EXPECT_EQ(args.back(), "out.mp4");

    settings.soundtrack.clear();
    const auto silent = VideoPipe::arguments(settings);
    EXPECT_EQ(std::find(silent.begin(), silent.end(), "aac"), silent.end());
    EXPECT_EQ(std::count(silent.begin(), silent.end(), "-i"), 1);
}

TEST(RenderTargetSize, StaysAt1024ForTheShowsModesAndGrowsForLargePictures) {
    EXPECT_EQ(renderTargetSizeFor(640, 360), 1024);
    EXPECT_EQ(renderTargetSizeFor(1280, 800), 1024);
    EXPECT_EQ(renderTargetSizeFor(1920, 1080), 2048);
    EXPECT_EQ(renderTargetSizeFor(3840, 2160), 4096);
    EXPECT_EQ(renderTargetSizeFor(1080, 1920), 2048);

    // What the show's pixel sizes grow by: nothing within the modes' targets; beyond them the targets against
    // 1024 × 1024 and the picture against the mode of its shape, area for area.
    const auto pixelScale = [](int w, int h) {
        return DisplayConfig::pixelScaleFor(w, h, renderTargetSizeFor(w, h));
    };
    const auto screenScale = [](int w, int h) {
        return DisplayConfig::screenScaleFor(w, h, renderTargetSizeFor(w, h));
    };
    for (const auto& [w, h] : {std::pair{1024, 768}, {1280, 800}, {640, 360}, {1280, 1024}}) {
        EXPECT_EQ(pixelScale(w, h), 1.0f) << w << "x" << h;
        EXPECT_EQ(screenScale(w, h), 1.0f) << w << "x" << h;
    }
    EXPECT_FLOAT_EQ(pixelScale(1920, 1080), 1.40625f);
    EXPECT_FLOAT_EQ(pixelScale(2048, 2048), 2.0f);
    EXPECT_FLOAT_EQ(screenScale(1920, 1080), 1.5f);
    EXPECT_FLOAT_EQ(screenScale(3840, 2160), 3.0f);
    EXPECT_FLOAT_EQ(screenScale(2048, 1536), 2.0f);
    EXPECT_FLOAT_EQ(screenScale(2560, 1600), 2.0f);
}

} // namespace
} // namespace halcyra
