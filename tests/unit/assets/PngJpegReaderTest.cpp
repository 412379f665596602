#include "assets/Texture.h"
#include "assets/TextureLoader.h"

#include "ImageWriter.h"
#include "support/MessageLog.h"
#include "support/Sanitizer.h"

#include <GL/gl.h>
#include <gtest/gtest.h>
#include <png.h>
#include <sys/resource.h>
#include <zlib.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

namespace halcyra {
namespace {

struct DecodedImage {
    Texture texture{"t"};
    std::vector<std::string> messages;
};

DecodedImage decode(const std::vector<uint8_t>& file, int kind) {
    DecodedImage result;
    test::MessageLog log;
    TextureLoader().decodeMemory(result.texture, file.data(), file.size(), kind);
    result.messages = log.texts();
    return result;
}

DecodedImage decodePng(const tools::PngImage& image) {
    return decode(tools::encodePng(image), 3);
}

// Pixel (x, y) of a decoded image whose rows are bottom-up, y counted from the top of the picture.
std::vector<uint8_t> pixelFromTop(const Texture& texture, int x, int y) {
    const int channels = texture.bitsPerPixel / 8;
    const size_t row = static_cast<size_t>(texture.height - 1 - y);
    const auto* p = texture.pixels.data() + (row * texture.width + x) * channels;
    return std::vector<uint8_t>(p, p + channels);
}

TEST(PngReader, RgbRowsArriveBottomUp) {
    // 2 × 2: top row red, green; bottom row blue, white.
    const auto decoded = decodePng(tools::makePng(2, 2, 3, {255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255}));
    ASSERT_TRUE(decoded.messages.empty());
    EXPECT_EQ(decoded.texture.format, static_cast<uint32_t>(GL_RGB));
    EXPECT_EQ(decoded.texture.bitsPerPixel, 24);
    EXPECT_EQ(decoded.texture.pixels, (std::vector<uint8_t>{0, 0, 255, 255, 255, 255, 255, 0, 0, 0, 255, 0}));
}

TEST(PngReader, RgbaTopRowIsTheLastRowOfTheBuffer) {
    std::vector<uint8_t> pixels;
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            pixels.insert(pixels.end(), {static_cast<uint8_t>(x), static_cast<uint8_t>(y), 7, 128});
    const auto decoded = decodePng(tools::makePng(5, 3, 4, pixels));
    EXPECT_EQ(decoded.texture.format, static_cast<uint32_t>(GL_RGBA));
    EXPECT_EQ(decoded.texture.bitsPerPixel, 32);
    const auto& p = decoded.texture.pixels;
    EXPECT_EQ((std::vector<uint8_t>(p.end() - 20, p.end())),
              (std::vector<uint8_t>(pixels.begin(), pixels.begin() + 20)));
}

tools::PngImage paletteImage(int depth, int width) {
    tools::PngImage image;
    image.width = width;
    image.height = 1;
    image.colorType = PNG_COLOR_TYPE_PALETTE;
    image.bitDepth = depth;
    image.palette = {0, 0, 0, 10, 20, 30, 40, 50, 60, 70, 80, 90};
    return image;
}

TEST(PngReader, EightBitPaletteExpandsToRgb) {
    auto image = paletteImage(8, 3);
    image.rows = {2, 0, 3};
    const auto decoded = decodePng(image);
    EXPECT_EQ(decoded.texture.bitsPerPixel, 24);
    EXPECT_EQ(decoded.texture.pixels, (std::vector<uint8_t>{40, 50, 60, 0, 0, 0, 70, 80, 90}));
}

TEST(PngReader, FourBitPaletteTakesTheHighNibbleFirstAtEvenAndOddWidths) {
    auto even = paletteImage(4, 4);
    even.rows = {0x13, 0x20};
    EXPECT_EQ(decodePng(even).texture.pixels,
              (std::vector<uint8_t>{10, 20, 30, 70, 80, 90, 40, 50, 60, 0, 0, 0}));
    auto odd = paletteImage(4, 3);
    odd.height = 2;
    odd.rows = {0x12, 0x30, 0x21, 0x00};
    const auto decoded = decodePng(odd);
    EXPECT_EQ(decoded.texture.width, 3);
    EXPECT_EQ(pixelFromTop(decoded.texture, 2, 0), (std::vector<uint8_t>{70, 80, 90}));
    EXPECT_EQ(pixelFromTop(decoded.texture, 0, 1), (std::vector<uint8_t>{40, 50, 60}));
}

TEST(PngReader, LowDepthPaletteAndTransparencyConvertInsteadOfFailing) {
    auto twoBit = paletteImage(2, 4);
    twoBit.rows = {0b00011011};
    EXPECT_EQ(decodePng(twoBit).texture.pixels,
              (std::vector<uint8_t>{0, 0, 0, 10, 20, 30, 40, 50, 60, 70, 80, 90}));
    auto oneBit = paletteImage(1, 3);
    oneBit.palette.resize(6);
    oneBit.rows = {0b10100000};
    EXPECT_EQ(decodePng(oneBit).texture.pixels, (std::vector<uint8_t>{10, 20, 30, 0, 0, 0, 10, 20, 30}));
    auto transparent = paletteImage(8, 2);
    transparent.rows = {1, 2};
    transparent.transparency = {255, 0};
    const auto decoded = decodePng(transparent);
    EXPECT_EQ(decoded.texture.format, static_cast<uint32_t>(GL_RGBA));
    EXPECT_EQ(decoded.texture.pixels, (std::vector<uint8_t>{10, 20, 30, 0, 40, 50, 60, 255}));
}

TEST(PngReader, GreyGreyAlphaAndSixteenBitBecomeEightBitColour) {
    tools::PngImage grey;
    grey.width = 2;
    grey.height = 1;
    grey.colorType = PNG_COLOR_TYPE_GRAY;
    grey.rows = {0, 200};
    EXPECT_EQ(decodePng(grey).texture.pixels, (std::vector<uint8_t>{0, 0, 0, 200, 200, 200}));

    tools::PngImage greyAlpha = grey;
    greyAlpha.colorType = PNG_COLOR_TYPE_GRAY_ALPHA;
    greyAlpha.rows = {100, 50, 255, 255};
    const auto ga = decodePng(greyAlpha);
    EXPECT_EQ(ga.texture.bitsPerPixel, 32);
    EXPECT_EQ(ga.texture.pixels, (std::vector<uint8_t>{100, 100, 100, 50, 255, 255, 255, 255}));

    tools::PngImage wide;
    wide.width = 1;
    wide.height = 1;
    wide.colorType = PNG_COLOR_TYPE_RGB;
    wide.bitDepth = 16;
    wide.rows = {0xff, 0xff, 0x80, 0x00, 0x00, 0x00};
    const auto w = decodePng(wide);
    EXPECT_EQ(w.texture.bitsPerPixel, 24);
    EXPECT_EQ(w.texture.pixels[0], 255);
    EXPECT_NEAR(w.texture.pixels[1], 128, 1);
    EXPECT_EQ(w.texture.pixels[2], 0);
}

TEST(PngReader, InterlacedImageDecodesLikeAPlainOne) {
    std::vector<uint8_t> pixels;
    for (int i = 0; i < 9 * 9; ++i)
        pixels.insert(pixels.end(), {static_cast<uint8_t>(i), static_cast<uint8_t>(2 * i), 3});
    auto plain = tools::makePng(9, 9, 3, pixels);
    auto interlaced = plain;
    interlaced.interlaced = true;
    EXPECT_EQ(decodePng(interlaced).texture.pixels, decodePng(plain).texture.pixels);
}

TEST(PngReader, NotAPngFailsSilently) {
    const auto decoded = decode({'G', 'I', 'F', '8', '9', 'a', 0, 0, 0, 0}, 3);
    EXPECT_TRUE(decoded.messages.empty());
    EXPECT_TRUE(decoded.texture.pixels.empty());
    EXPECT_TRUE(decode({0x89, 'P'}, 3).messages.empty());
}

TEST(PngReader, TruncatedOrCorruptFileIsOneMessageAndNoPixels) {
    std::vector<uint8_t> pixels(64 * 64 * 3);
    for (size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = static_cast<uint8_t>(i * 7 + i / 13);
    const auto file = tools::encodePng(tools::makePng(64, 64, 3, pixels));
    for (size_t length : {size_t{12}, size_t{40}, file.size() / 2, file.size() - 13}) {
        const auto decoded = decode(std::vector<uint8_t>(file.begin(), file.begin() + length), 3);
        EXPECT_EQ(decoded.messages.size(), 1u) << length;
        EXPECT_TRUE(decoded.texture.pixels.empty()) << length;
        EXPECT_EQ(decoded.texture.width, 0) << length;
    }
    auto corrupt = file;
    corrupt[corrupt.size() / 2] ^= 0xff;
    const auto decoded = decode(corrupt, 3);
    EXPECT_EQ(decoded.messages.size(), 1u);
    EXPECT_NE(decoded.messages[0].find("Could not decode PNG image"), std::string::npos);
    EXPECT_TRUE(decoded.texture.pixels.empty());
}

TEST(PngReader, DeclaredSizeAboveTheLimitIsRefused) {
    tools::PngImage huge;
    huge.width = 20000;
    huge.height = 1;
    huge.colorType = PNG_COLOR_TYPE_GRAY;
    huge.bitDepth = 1;
    huge.rows.assign(2500, 0);
    const auto decoded = decodePng(huge);
    EXPECT_EQ(decoded.messages.size(), 1u);
    EXPECT_TRUE(decoded.texture.pixels.empty());
}

// Writes `value` big-endian at `at`, as PNG chunks store their fields.
void putBigEndian(std::vector<uint8_t>& file, size_t at, uint32_t value) {
    for (size_t k = 0; k < 4; ++k)
        file[at + k] = static_cast<uint8_t>(value >> (24 - 8 * k));
}

TEST(PngReader, SizeTheFileCannotHoldIsRefusedBeforeAllocating) {
    // A 1 x 1 RGBA file whose header claims 16384 x 16384 (a gigabyte of pixels), its checksum made good.
    std::vector<uint8_t> file = tools::encodePng(tools::makePng(1, 1, 4, {1, 2, 3, 4}));
    putBigEndian(file, 16, 16384);
    putBigEndian(file, 20, 16384);
    putBigEndian(file, 29, static_cast<uint32_t>(crc32(0, file.data() + 12, 17)));
    const auto decoded = decode(file, 3);
    ASSERT_EQ(decoded.messages.size(), 1u);
    EXPECT_EQ(decoded.messages[0],
              "Could not decode PNG image: 16384x16384 needs more image data than the file holds");
    EXPECT_TRUE(decoded.texture.pixels.empty());
}

TEST(PngReader, AncillaryChunkOfGigabytesIsRefusedBeforeItIsRead) {
    // A text chunk that declares 989,855,750 bytes with 19 left in the file, once after the header and
    // once after the image data: libpng would allocate the whole length before it finds the file ending.
    const std::vector<uint8_t> complete = tools::encodePng(tools::makePng(1, 1, 4, {1, 2, 3, 4}));
    const std::vector<uint8_t> chunk = {0x3b, 0x00, 0x00, 0x06, 't', 'E', 'X', 't', 'a', '\0', 'b'};
    for (const size_t at : {size_t(33), complete.size() - 12}) {
        std::vector<uint8_t> file = complete;
        file.insert(file.begin() + static_cast<std::ptrdiff_t>(at), chunk.begin(), chunk.end());
        file.resize(at + chunk.size() + 16);
        const auto decoded = decode(file, 3);
        ASSERT_EQ(decoded.messages.size(), 1u) << "chunk at byte " << at;
        EXPECT_EQ(decoded.messages[0],
                  "Could not decode PNG image: a tEXt chunk declares 989855750 bytes but only 19 are left");
        EXPECT_TRUE(decoded.texture.pixels.empty());
    }
}

TEST(PngReader, HighlyCompressedFileStillDecodes) {
    // All-zero rows compress close to deflate's limit; a real file never crosses it.
    tools::PngImage flat;
    flat.width = 4096;
    flat.height = 1024;
    flat.colorType = PNG_COLOR_TYPE_GRAY;
    flat.rows.assign(4096u * 1024u, 0);
    const auto file = tools::encodePng(flat);
    const auto decoded = decode(file, 3);
    EXPECT_TRUE(decoded.messages.empty());
    EXPECT_EQ(decoded.texture.width, 4096);
    EXPECT_EQ(decoded.texture.pixels.size(), 4096u * 1024u * 3u);
    EXPECT_GT(flat.rows.size() / file.size(), 500u) << "the file should be packed tightly";
}

std::vector<uint8_t> gradient(int width, int height, int components) {
    std::vector<uint8_t> pixels;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < components; ++c)
                pixels.push_back(static_cast<uint8_t>(y < height / 2 ? 230 : 20));
    return pixels;
}

TEST(JpegReader, TopRowComesFirstAsRgb) {
    // Bright upper half, dark lower half.
    const auto decoded = decode(tools::encodeJpeg(16, 16, 3, gradient(16, 16, 3), 95), 2);
    ASSERT_TRUE(decoded.messages.empty());
    EXPECT_EQ(decoded.texture.width, 16);
    EXPECT_EQ(decoded.texture.format, static_cast<uint32_t>(GL_RGB));
    EXPECT_EQ(decoded.texture.bitsPerPixel, 24);
    EXPECT_GT(decoded.texture.pixels[0], 200);
    EXPECT_LT(decoded.texture.pixels.back(), 50);
}

TEST(JpegReader, GreyFileIsWidenedToRgbSoTheUploadMatchesItsBuffer) {
    const auto decoded = decode(tools::encodeJpeg(8, 8, 1, gradient(8, 8, 1), 95), 2);
    EXPECT_EQ(decoded.texture.bitsPerPixel, 24);
    EXPECT_EQ(decoded.texture.pixels.size(), 8u * 8u * 3u);
}

TEST(JpegReader, TruncatedOrCorruptFileIsOneMessageAndNeverHalfAPicture) {
    const auto file = tools::encodeJpeg(64, 64, 3, gradient(64, 64, 3), 90);
    for (size_t length : {size_t{0}, size_t{2}, size_t{100}, file.size() / 2, file.size() - 2}) {
        const auto decoded = decode(std::vector<uint8_t>(file.begin(), file.begin() + length), 2);
        EXPECT_EQ(decoded.messages.size(), 1u) << length;
        EXPECT_TRUE(decoded.texture.pixels.empty()) << length;
        EXPECT_EQ(decoded.texture.height, 0) << length;
    }
}

TEST(JpegReader, HugeDeclaredSizeIsRefusedOrEndsWithTheDataItHolds) {
    const auto file = tools::encodeJpeg(8, 8, 3, gradient(8, 8, 3), 90);
    const std::vector<uint8_t> frameMarker{0xFF, 0xC0};
    const auto frame = std::search(file.begin(), file.end(), frameMarker.begin(), frameMarker.end());
    ASSERT_NE(frame, file.end());
    const size_t size = static_cast<size_t>(frame - file.begin()) + 5; // after length and precision
    for (uint16_t side : {uint16_t{16385}, uint16_t{16384}}) {
        auto huge = file;
        for (size_t at : {size, size + 2}) {
            huge[at] = static_cast<uint8_t>(side >> 8);
            huge[at + 1] = static_cast<uint8_t>(side);
        }
        const auto decoded = decode(huge, 2);
        ASSERT_EQ(decoded.messages.size(), 1u) << side;
        EXPECT_EQ(decoded.messages[0].find("Could not decode JPEG image: "), 0u) << decoded.messages[0];
        if (side > maxImageSide) {
            EXPECT_NE(decoded.messages[0].find("larger than 16384 pixels a side"), std::string::npos);
        }
        EXPECT_TRUE(decoded.texture.pixels.empty()) << side;
        EXPECT_EQ(decoded.texture.width, 0) << side;
    }
}

TEST(JpegReader, ProgressiveFileKeepsItsWorkingMemoryWithinBudget) {
    // A progressive 16 x 16 file: it decodes, and declaring 16384 x 16384 (gigabytes of coefficients for
    // its scans) is refused before libjpeg takes them.
    const auto file = tools::encodeJpeg(16, 16, 3, gradient(16, 16, 3), 90, true);
    const auto decoded = decode(file, 2);
    EXPECT_TRUE(decoded.messages.empty());
    EXPECT_EQ(decoded.texture.width, 16);

    const std::vector<uint8_t> frameMarker{0xFF, 0xC2};
    auto huge = file;
    const auto frame = std::search(huge.begin(), huge.end(), frameMarker.begin(), frameMarker.end());
    ASSERT_NE(frame, huge.end());
    const size_t size = static_cast<size_t>(frame - huge.begin()) + 5; // after length and precision
    for (size_t at : {size, size + 2}) {
        huge[at] = 0x40;
        huge[at + 1] = 0x00;
    }
    const auto refused = decode(huge, 2);
    ASSERT_EQ(refused.messages.size(), 1u);
    EXPECT_EQ(refused.messages[0], "Could not decode JPEG image: Backing store not supported");
    EXPECT_TRUE(refused.texture.pixels.empty());
}

// A baseline grey JPEG that declares 16384 x 16384 pixels and codes every 8 x 8 block in two bits (a DC
// difference of 0, then end of block, each a one-bit Huffman code), as a flat picture needs; `codedBytes`
// of coded blocks follow, where the whole picture takes 1 MiB.
std::vector<uint8_t> flatGreyJpeg(size_t codedBytes) {
    std::vector<uint8_t> file{0xFF, 0xD8, 0xFF, 0xDB, 0, 67, 0};
    file.insert(file.end(), 64, 1);
    file.insert(file.end(), {0xFF, 0xC0, 0, 11, 8, 0x40, 0x00, 0x40, 0x00, 1, 1, 0x11, 0});
    for (uint8_t tableClass : {0x00, 0x10}) {
        file.insert(file.end(), {0xFF, 0xC4, 0, 20, tableClass, 1});
        file.insert(file.end(), 15, 0);
        file.push_back(0);
    }
    file.insert(file.end(), {0xFF, 0xDA, 0, 8, 1, 1, 0x00, 0, 63, 0});
    file.insert(file.end(), codedBytes, 0);
    file.insert(file.end(), {0xFF, 0xD9});
    return file;
}

// Decodes under a 600 MB address-space limit and exits 0 when the texture is left without pixels.
[[noreturn]] void decodeUnderMemoryLimit(const std::vector<uint8_t>& file) {
    const rlimit limit{600L << 20, 600L << 20};
    setrlimit(RLIMIT_AS, &limit);
    Texture texture("t");
    TextureLoader().decodeMemory(texture, file.data(), file.size(), 2);
    std::exit(texture.pixels.empty() ? 0 : 1);
}

TEST(JpegReader, LargeDeclaredSizeUnderAMemoryLimitIsOneMessageAndTheProgramGoesOn) {
#ifdef HALCYRA_ADDRESS_SANITIZER
    GTEST_SKIP() << "the address sanitizer reserves more address space than the limit";
#endif
    // A file of 162 bytes ends after its first blocks: only the rows it held take memory.
    const auto cut = flatGreyJpeg(22);
    ASSERT_EQ(cut.size(), 162u);
    EXPECT_EXIT(decodeUnderMemoryLimit(cut), testing::ExitedWithCode(0),
                "^ERROR: Could not decode JPEG image: .*premature end of data");
    // The whole flat picture is 768 MiB of pixels, more than the limit allows.
    EXPECT_EXIT(decodeUnderMemoryLimit(flatGreyJpeg(1 << 20)), testing::ExitedWithCode(0),
                "^ERROR: Could not decode JPEG image: not enough memory for 16384x16384 pixels\n$");
}

} // namespace
} // namespace halcyra
