#include "assets/Texture.h"
#include "assets/TextureLoader.h"

#include "ContentWriter.h"
#include "Pictures.h"
#include "Raster.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <vector>

namespace halcyra {
namespace {

using tools::Raster;

// A picture as its file holds it: 8-bit channels, rows top first.
struct Bytes {
    int width = 0;
    int height = 0;
    int channels = 0;
    std::vector<uint8_t> data;

    int at(int x, int y, int c) const { return data[(static_cast<size_t>(y) * width + x) * channels + c]; }
};

Bytes bytesOf(const Raster& picture) {
    return {picture.width(), picture.height(), picture.channels(), picture.quantise()};
}

// JPEG is lossy: its pixels are read back through the program's own decoder.
Bytes bytesOf(const tools::PictureFile& file) {
    const Raster picture = file.make();
    if (file.format == tools::ImageFormat::Png)
        return bytesOf(picture);
    const std::vector<uint8_t> encoded = tools::encodePicture(file, picture);
    Texture texture("t");
    TextureLoader().decodeMemory(texture, encoded.data(), encoded.size(), static_cast<int>(ImageKind::Jpeg));
    return {texture.width, texture.height, texture.bitsPerPixel / 8, texture.pixels};
}

// Mean absolute step across the wrap-around seam, and across every neighbouring pair inside the picture.
void seamAndInterior(const Bytes& b, bool acrossColumns, double& seam, double& interior) {
    const int along = acrossColumns ? b.width : b.height;
    const int other = acrossColumns ? b.height : b.width;
    seam = 0.0;
    interior = 0.0;
    for (int i = 0; i < other; ++i) {
        for (int c = 0; c < b.channels; ++c) {
            auto value = [&](int k) { return acrossColumns ? b.at(k, i, c) : b.at(i, k, c); };
            seam += std::abs(value(along - 1) - value(0));
            for (int k = 0; k + 1 < along; ++k)
                interior += std::abs(value(k + 1) - value(k));
        }
    }
    seam /= static_cast<double>(other) * b.channels;
    interior /= static_cast<double>(other) * b.channels * (along - 1);
}

TEST(TilingPictures, OppositeEdgesMeetLikeNeighbouringPixels) {
    for (const tools::PictureFile& file : tools::pictureFiles()) {
        if (file.tiling == tools::Tiling::None)
            continue;
        const Bytes b = bytesOf(file);
        for (const bool acrossColumns : {true, false}) {
            if (!acrossColumns && file.tiling == tools::Tiling::AcrossU)
                continue;
            double seam = 0.0;
            double interior = 0.0;
            seamAndInterior(b, acrossColumns, seam, interior);
            EXPECT_LE(seam, 1.3 * interior + 0.5)
                << file.path << (acrossColumns ? " left and right" : " top and bottom") << " edges";
        }
    }
}

// Decoded normal (−1 … 1) at a pixel of a normal map.
void normalAt(const Bytes& map, int x, int y, double n[3]) {
    for (int c = 0; c < 3; ++c)
        n[c] = map.at(x, y, c) / 255.0 * 2.0 - 1.0;
}

TEST(NormalMaps, HoldUnitVectorsThatLeanAwayFromRaisedShapes) {
    for (const Raster& picture :
         {tools::waterNormalMap(), tools::greetingNormalMap(0), tools::greetingNormalMap(7),
          tools::steelNormalMap(), tools::tealNormalMap(), tools::creditsNormalMap(),
          tools::planetNormalMap()}) {
        const Bytes map = bytesOf(picture);
        for (int y = 0; y < map.height; y += 3) {
            for (int x = 0; x < map.width; x += 3) {
                double n[3];
                normalAt(map, x, y, n);
                ASSERT_NEAR(std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]), 1.0, 0.03) << x << ", " << y;
                ASSERT_GT(n[2], 0.3) << x << ", " << y;
            }
        }
    }

    // The group's name is raised: left of its first letter the surface leans towards −u (red below 0.5),
    // above it towards +v, which is up in the picture (green above 0.5).
    const Bytes face = bytesOf(tools::greetingFace(0));
    const Bytes normals = bytesOf(tools::greetingNormalMap(0));
    int left = face.width;
    int top = face.height;
    int leftRow = 0;
    int topColumn = 0;
    for (int y = 0; y < face.height; ++y) {
        for (int x = 0; x < face.width; ++x) {
            // The name's ice, a little over half white, is the brightest thing on the plate.
            const bool ink = face.at(x, y, 0) > 110 && face.at(x, y, 1) > 110 && face.at(x, y, 2) > 110;
            if (ink && x < left) {
                left = x;
                leftRow = y;
            }
            if (ink && y < top) {
                top = y;
                topColumn = x;
            }
        }
    }
    ASSERT_LT(left, face.width) << "no lettering on the face";
    double n[3];
    normalAt(normals, left - 1, leftRow, n);
    EXPECT_LT(n[0], -0.1);
    normalAt(normals, topColumn, top - 1, n);
    EXPECT_GT(n[1], 0.1);
}

TEST(DistortionMaps, AreCentredOnHalfAndDistort) {
    for (const Raster& picture : {tools::waterDistortionMap(), tools::greetingDistortionMap(2)}) {
        double mean[3] = {};
        double squares[2] = {};
        const auto& v = picture.values();
        const size_t pixels = v.size() / 3;
        for (size_t i = 0; i < pixels; ++i) {
            for (int c = 0; c < 3; ++c)
                mean[c] += v[i * 3 + c] / static_cast<double>(pixels);
            for (int c = 0; c < 2; ++c)
                squares[c] += (v[i * 3 + c] - 0.5) * (v[i * 3 + c] - 0.5) / static_cast<double>(pixels);
        }
        EXPECT_NEAR(mean[0], 0.5, 0.005);
        EXPECT_NEAR(mean[1], 0.5, 0.005);
        EXPECT_NEAR(mean[2], 0.5, 0.005);
        EXPECT_GT(std::sqrt(squares[0]), 0.01);
        EXPECT_GT(std::sqrt(squares[1]), 0.01);
    }
}

int grey(const Bytes& b, int x, int y) {
    return std::min({b.at(x, y, 0), b.at(x, y, 1), b.at(x, y, 2)});
}

TEST(Masks, KeepTheMiddleWholeAndDarkenOnlyTowardsTheEdges) {
    const Bytes vignette = bytesOf(tools::vignetteMask());
    const Bytes letterbox = bytesOf(tools::letterboxMask());
    const Bytes faint = bytesOf(tools::faintVignetteMask());
    for (const Bytes* mask : {&vignette, &letterbox, &faint}) {
        for (int c = 0; c < 3; ++c)
            EXPECT_EQ(mask->at(mask->width / 2, mask->height / 2, c), 255);
    }
    // The vignettes never brighten on the way from the middle to a corner, and the faint one has no line
    // or step anywhere on the way to an edge: nothing of it may show as a frame over the planet.
    for (int i = vignette.width / 2; i + 1 < vignette.width; ++i)
        ASSERT_LE(grey(vignette, i + 1, i + 1), grey(vignette, i, i)) << i;
    EXPECT_LT(grey(vignette, 0, 0), 160);
    // Steps from the middle to the right, down, to the left and to the corner.
    const int middle = faint.width / 2;
    for (const auto [dx, dy] : {std::array{1, 0}, std::array{0, 1}, std::array{-1, 0}, std::array{1, 1}}) {
        for (int x = middle, y = middle; x + dx >= 0 && x + dx < faint.width && y + dy < faint.height;
             x += dx, y += dy) {
            const int step = grey(faint, x, y) - grey(faint, x + dx, y + dy);
            ASSERT_GE(step, 0) << x << "," << y;
            ASSERT_LE(step, 2) << x << "," << y;
        }
    }
    EXPECT_GT(grey(faint, 0, 0), 200);
    // Black bars over the top and bottom tenth, open in between.
    for (const int y : {0, letterbox.height / 10, letterbox.height - 1 - letterbox.height / 10})
        EXPECT_EQ(grey(letterbox, letterbox.width / 2, y), 0) << y;
    EXPECT_GT(grey(letterbox, letterbox.width / 2, letterbox.height / 4), 240);

    // The scrolling strip races sideways, so it is the same in every column; white in its middle rows, it
    // shades towards the rows where it wraps and meets itself there without a step.
    const Bytes strip = bytesOf(tools::scrollingMask());
    for (int y = 0; y < strip.height; ++y)
        for (int x = 1; x < strip.width; ++x)
            ASSERT_EQ(grey(strip, x, y), grey(strip, 0, y)) << x << "," << y;
    EXPECT_EQ(grey(strip, 0, strip.height / 2), 255);
    EXPECT_LT(grey(strip, 0, 0), 200);
    EXPECT_LE(std::abs(grey(strip, 0, 0) - grey(strip, 0, strip.height - 1)), 1);
}

int brightest(const Bytes& b, int y0, int y1, int x0, int x1) {
    int value = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
            for (int c = 0; c < 3; ++c)
                value = std::max(value, b.at(x, y, c));
    return value;
}

TEST(Wordmarks, MeetTheScreenAroundThemAndLeaveRoomForTheLoadingBar) {
    // The title card's band fades to the dark clear colour at its top and bottom; the end logo's band is
    // white at every edge, like the end screen.
    const Bytes title = bytesOf(tools::titleCard());
    EXPECT_LE(brightest(title, 0, 2, 0, title.width), 2);
    EXPECT_LE(brightest(title, title.height - 2, title.height, 0, title.width), 2);
    EXPECT_GT(brightest(title, title.height / 4, title.height * 3 / 4, 0, title.width), 220);
    const Bytes end = bytesOf(tools::endLogo());
    for (int x = 0; x < end.width; ++x) {
        EXPECT_EQ(grey(end, x, 0), 255);
        EXPECT_EQ(grey(end, x, end.height - 1), 255);
    }
    int darkest = 255;
    for (int y = 0; y < end.height; ++y)
        for (int x = 0; x < end.width; ++x)
            darkest = std::min(darkest, grey(end, x, y));
    EXPECT_LT(darkest, 40);

    // On the loading canvas the picture covers y 256 … 512; canvas y is picture row 512 − y. The bar fills
    // x 258 … 758 at y 299 … 309 and the status line prints from (460, 280): both stay dark.
    const Bytes logo = bytesOf(tools::loadingLogo());
    ASSERT_EQ(logo.width, 1024);
    ASSERT_EQ(logo.height, 256);
    EXPECT_LE(brightest(logo, 512 - 309, 512 - 299, 258, 758), 16);
    EXPECT_LE(brightest(logo, 512 - 294, 512 - 276, 460, 700), 16);
    EXPECT_GT(brightest(logo, 0, 512 - 320, 0, logo.width), 220) << "the wordmark sits above the bar";
}

} // namespace
} // namespace halcyra
