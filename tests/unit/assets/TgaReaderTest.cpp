#include "assets/Texture.h"
#include "assets/TextureLoader.h"

#include "ImageWriter.h"
#include "support/MessageLog.h"
#include "support/TempDir.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace halcyra {
namespace {

// A TGA file built byte by byte: an 18-byte header, then `data`.
std::vector<uint8_t> tga(int type, int width, int height, int bits, const std::vector<uint8_t>& data,
                         uint8_t idLength = 0, uint8_t colorMapType = 0) {
    std::vector<uint8_t> file(18 + data.size(), 0);
    file[0] = idLength;
    file[1] = colorMapType;
    file[2] = static_cast<uint8_t>(type);
    file[12] = static_cast<uint8_t>(width);
    file[13] = static_cast<uint8_t>(width >> 8);
    file[14] = static_cast<uint8_t>(height);
    file[15] = static_cast<uint8_t>(height >> 8);
    file[16] = static_cast<uint8_t>(bits);
    std::copy(data.begin(), data.end(), file.begin() + 18);
    return file;
}

struct DecodedTga {
    Texture texture{"t"};
    std::vector<std::string> messages;
    std::vector<std::string> captions;
};

DecodedTga decode(const std::vector<uint8_t>& file) {
    DecodedTga result;
    test::MessageLog log;
    TextureLoader().decodeMemory(result.texture, file.data(), file.size(), 1);
    for (const Message& message : log.messages()) {
        result.messages.push_back(message.text);
        result.captions.push_back(message.caption);
    }
    return result;
}

void expectFailed(const DecodedTga& decoded, const std::string& message,
                  const std::string& caption = "ERROR") {
    EXPECT_EQ(decoded.messages, std::vector<std::string>{message});
    if (!decoded.captions.empty()) {
        EXPECT_EQ(decoded.captions[0], caption);
    }
    EXPECT_TRUE(decoded.texture.pixels.empty());
    EXPECT_EQ(decoded.texture.width, 0);
    EXPECT_EQ(decoded.texture.height, 0);
}

TEST(TgaReader, UncompressedPixelsSwapBlueAndRedAndKeepFileRowOrder) {
    const auto decoded = decode(tga(2, 2, 2, 24, {10, 20, 30, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
    EXPECT_TRUE(decoded.messages.empty());
    EXPECT_EQ(decoded.texture.width, 2);
    EXPECT_EQ(decoded.texture.bitsPerPixel, 24);
    EXPECT_EQ(decoded.texture.format, static_cast<uint32_t>(GL_RGB));
    EXPECT_EQ(decoded.texture.pixels, (std::vector<uint8_t>{30, 20, 10, 3, 2, 1, 6, 5, 4, 9, 8, 7}));
    EXPECT_EQ(decoded.texture.binding.id, TextureBinding::noObject);
}

TEST(TgaReader, ThirtyTwoBitKeepsAlphaInPlace) {
    const auto decoded = decode(tga(2, 1, 1, 32, {10, 20, 30, 40}));
    EXPECT_EQ(decoded.texture.format, static_cast<uint32_t>(GL_RGBA));
    EXPECT_EQ(decoded.texture.pixels, (std::vector<uint8_t>{30, 20, 10, 40}));
}

TEST(TgaReader, RunAndRawPacketsProduceTheirPixelCounts) {
    // 1 (run of one) + 128 (run 255) + 128 (raw 127) = 257 pixels.
    std::vector<uint8_t> data = {128, 1, 2, 3, 255, 4, 5, 6, 127};
    for (int i = 0; i < 128; ++i)
        data.insert(data.end(), {static_cast<uint8_t>(i), 0, 9});
    const auto decoded = decode(tga(10, 257, 1, 24, data));
    ASSERT_TRUE(decoded.messages.empty()) << decoded.messages[0];
    const auto& p = decoded.texture.pixels;
    ASSERT_EQ(p.size(), 257u * 3);
    EXPECT_EQ((std::vector<uint8_t>(p.begin(), p.begin() + 3)), (std::vector<uint8_t>{3, 2, 1}));
    EXPECT_EQ((std::vector<uint8_t>(p.begin() + 3, p.begin() + 6)), (std::vector<uint8_t>{6, 5, 4}));
    EXPECT_EQ((std::vector<uint8_t>(p.begin() + 128 * 3, p.begin() + 129 * 3)),
              (std::vector<uint8_t>{6, 5, 4}));
    EXPECT_EQ((std::vector<uint8_t>(p.begin() + 129 * 3, p.begin() + 130 * 3)),
              (std::vector<uint8_t>{9, 0, 0}));
    EXPECT_EQ((std::vector<uint8_t>(p.end() - 3, p.end())), (std::vector<uint8_t>{9, 0, 127}));
}

TEST(TgaReader, PacketsCrossRowBoundaries) {
    const auto decoded = decode(tga(10, 2, 2, 32, {131, 1, 2, 3, 4}));
    EXPECT_TRUE(decoded.messages.empty());
    EXPECT_EQ(decoded.texture.pixels, (std::vector<uint8_t>{3, 2, 1, 4, 3, 2, 1, 4, 3, 2, 1, 4, 3, 2, 1, 4}));
}

TEST(TgaReader, OverfullRunLengthImageStopsAtTheLastPixel) {
    expectFailed(decode(tga(10, 2, 1, 24, {130, 1, 2, 3})), "Too many pixels read");
    expectFailed(decode(tga(10, 2, 2, 24, {129, 9, 9, 9, 2, 1, 1, 1, 2, 2, 2, 3, 3, 3})),
                 "Too many pixels read");
    // A packet that fills the image exactly ends the decode; what follows is never read.
    EXPECT_TRUE(decode(tga(10, 2, 1, 24, {129, 1, 2, 3, 128, 4, 5, 6})).messages.empty());
}

TEST(TgaReader, EveryBadHeaderHasItsMessage) {
    expectFailed(decode({0, 0, 2, 0}), "Could not read file header");
    const std::string wrongType = "TGA file be type 2 or type 10 ";
    for (int type : {1, 3, 9, 11})
        expectFailed(decode(tga(type, 1, 1, 24, {1, 2, 3})), wrongType, "Invalid Image");
    expectFailed(decode(tga(2, 1, 1, 24, {1, 2, 3}, 1)), wrongType, "Invalid Image");
    expectFailed(decode(tga(2, 1, 1, 24, {1, 2, 3}, 0, 1)), wrongType, "Invalid Image");
    expectFailed(decode({0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 1}), "Could not read info header");
    expectFailed(decode(tga(2, 1, 1, 16, {1, 2})), "Invalid texture information");
    expectFailed(decode(tga(2, 0, 4, 24, {})), "Invalid texture information");
    expectFailed(decode(tga(2, 4, 0, 24, {})), "Invalid texture information");
}

TEST(TgaReader, ShortDataHasItsMessage) {
    expectFailed(decode(tga(2, 2, 2, 24, {1, 2, 3})), "Could not read image data");
    expectFailed(decode(tga(10, 2, 1, 24, {1, 1, 2, 3, 4})), "Could not read image data");
    expectFailed(decode(tga(10, 2, 1, 24, {129, 1, 2})), "Could not read from file");
    expectFailed(decode(tga(10, 3, 1, 24, {128, 1, 2, 3})), "Could not read RLE header");
}

TEST(TgaReader, SizeTheFileCannotHoldIsRefusedBeforeAllocating) {
    // 40000 × 40000 pixels declared: above the largest side, refused before the pixels are allocated.
    expectFailed(decode(tga(2, 40000, 40000, 32, {1, 2, 3, 4})), "Could not allocate memory for image");
    // 16384 × 16384 run-length pixels cannot come out of a few bytes of packets.
    expectFailed(decode(tga(10, 16384, 16384, 32, {255, 1, 2, 3, 4})), "Could not read RLE header");
}

TEST(TgaReader, WriterOutputRoundTripsPlainAndRunLength) {
    // Runs, lone pixels and a run longer than one packet, crossing the row ends.
    for (int channels : {3, 4}) {
        std::vector<uint8_t> pixels;
        for (int i = 0; i < 7 * 40; ++i)
            for (int c = 0; c < channels; ++c)
                pixels.push_back(static_cast<uint8_t>(i < 150 ? 9 * c : (i % 3 == 0 ? i : 200 + c)));
        for (bool runLength : {false, true}) {
            const auto decoded = decode(tools::encodeTga(7, 40, channels, pixels, runLength));
            EXPECT_TRUE(decoded.messages.empty()) << channels << runLength;
            EXPECT_EQ(decoded.texture.pixels, pixels) << channels << runLength;
            EXPECT_EQ(decoded.texture.bitsPerPixel, 8 * channels);
        }
    }
}

TEST(TgaReader, TopLeftOriginFilesArriveBottomRowFirstLikeTheOthers) {
    // Paint programs often store the top row first and say so in bit 5 of the image descriptor (byte 17).
    // A picture one pixel wide, top to bottom (7, 8, 9), (4, 5, 6), (1, 2, 3); each stored as B, G, R.
    const std::vector<uint8_t> bottomUp{1, 2, 3, 4, 5, 6, 7, 8, 9};
    auto topLeft = tga(2, 1, 3, 24, {9, 8, 7, 6, 5, 4, 3, 2, 1});
    topLeft[17] = 0x20;
    EXPECT_EQ(decode(topLeft).texture.pixels, bottomUp);
    auto bottomLeft = tga(2, 1, 3, 24, {3, 2, 1, 6, 5, 4, 9, 8, 7});
    bottomLeft[17] = 0x08; // alpha bits only: the rows stay as stored
    EXPECT_EQ(decode(bottomLeft).texture.pixels, bottomUp);

    // Run-length, top to bottom (7, 8, 9) then a run of two (4, 5, 6).
    auto runLength = tga(10, 1, 3, 24, {0, 9, 8, 7, 129, 6, 5, 4});
    runLength[17] = 0x20;
    const auto decoded = decode(runLength);
    EXPECT_TRUE(decoded.messages.empty());
    EXPECT_EQ(decoded.texture.pixels, (std::vector<uint8_t>{4, 5, 6, 4, 5, 6, 7, 8, 9}));
}

TEST(TgaReader, FileDecodeMatchesMemoryDecode) {
    // Larger than the file reader's 64 KiB chunks, so that the file arrives in pieces.
    const int width = 200;
    const int height = 120;
    std::vector<uint8_t> pixels(static_cast<size_t>(width) * height * 4);
    for (size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = static_cast<uint8_t>(i * 7 + i / 4096);
    const auto bytes = tools::encodeTga(width, height, 4, pixels, false);
    ASSERT_GT(bytes.size(), 65536u);
    test::TempDir dir;
    const auto path =
        dir.write("textures/big.tga", {reinterpret_cast<const char*>(bytes.data()), bytes.size()});

    test::MessageLog log;
    Texture fromFile("t");
    Texture fromMemory("t");
    TextureLoader().decodeFile(path.c_str(), fromFile, 1);
    TextureLoader().decodeMemory(fromMemory, bytes.data(), bytes.size(), 1);
    EXPECT_TRUE(log.messages().empty());
    EXPECT_EQ(fromFile.pixels, pixels);
    EXPECT_EQ(fromFile.pixels, fromMemory.pixels);
    EXPECT_EQ(fromFile.width, fromMemory.width);
    EXPECT_EQ(fromFile.height, fromMemory.height);
    EXPECT_EQ(fromFile.bitsPerPixel, fromMemory.bitsPerPixel);
    EXPECT_EQ(fromFile.format, fromMemory.format);
}

TEST(TgaReader, MissingFileAddsTheReadersOwnMessage) {
    test::MessageLog log;
    Texture texture("t");
    TextureLoader().decodeFile("/nonexistent/image.tga", texture, 1);
    EXPECT_EQ(log.texts(), (std::vector<std::string>{"texloaderror", "Could not open texture file"}));
    EXPECT_TRUE(texture.pixels.empty());
}

TEST(TextureLoader, UnknownKindDecodesNothingAndSaysNothing) {
    test::MessageLog log;
    Texture texture("t");
    const auto file = tga(2, 1, 1, 24, {1, 2, 3});
    TextureLoader().decodeMemory(texture, file.data(), file.size(), 7);
    EXPECT_TRUE(texture.pixels.empty());
    EXPECT_TRUE(log.messages().empty());
}

} // namespace
} // namespace halcyra
