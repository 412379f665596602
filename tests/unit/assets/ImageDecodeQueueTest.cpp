#include "assets/ImageDecodeQueue.h"
#include "assets/TextureLoader.h"

#include "ImageWriter.h"
#include "support/MessageLog.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace halcyra {
namespace {

std::string pngBytes(int width, int height, int channels, uint8_t seed) {
    std::vector<uint8_t> pixels(static_cast<size_t>(width) * height * channels);
    for (size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = static_cast<uint8_t>(seed + 7 * i);
    const auto png = tools::encodePng(tools::makePng(width, height, channels, pixels));
    return std::string(png.begin(), png.end());
}

// Files as the texture list names them: good ones, a damaged one, a missing one and a TGA whose type is
// refused, so that every kind of decoder message is raised.
struct ListFiles {
    test::TempDir dir;
    std::vector<std::pair<std::string, int>> files;

    ListFiles() {
        const auto add = [&](const std::string& name, const std::string& bytes, ImageKind kind) {
            files.emplace_back(bytes.empty() ? (dir.path() / name).string() : dir.write(name, bytes).string(),
                               static_cast<int>(kind));
        };
        add("a.png", pngBytes(8, 4, 3, 1), ImageKind::Png);
        add("cut.png", pngBytes(16, 16, 4, 2).substr(0, 60), ImageKind::Png);
        add("missing.jpg", "", ImageKind::Jpeg);
        add("b.png", pngBytes(5, 3, 4, 3), ImageKind::Png);
        add("type1.tga", std::string("\0\0\1\0\0\0\0\0\0\0\0\0", 12) + std::string(6, '\0'), ImageKind::Tga);
        add("c.png", pngBytes(2, 2, 3, 4), ImageKind::Png);
    }
};

// What decoding on this thread, file by file, gives: the textures and the messages in order.
std::vector<Texture> decodeInTurn(const ListFiles& list, std::vector<std::string>& messages) {
    test::MessageLog log;
    std::vector<Texture> textures;
    for (const auto& [path, kind] : list.files) {
        textures.emplace_back("t");
        TextureLoader().decodeFile(path.c_str(), textures.back(), kind);
    }
    messages = log.texts();
    return textures;
}

TEST(ImageDecodeQueue, TakingInListOrderGivesWhatDecodingInTurnGivesMessagesIncluded) {
    const ListFiles list;
    std::vector<std::string> expectedMessages;
    const std::vector<Texture> expected = decodeInTurn(list, expectedMessages);
    ASSERT_GE(expectedMessages.size(), 3u);

    for (unsigned workers : {1u, 3u}) {
        test::MessageLog log;
        ImageDecodeQueue queue(workers);
        for (const auto& [path, kind] : list.files)
            queue.add(path, "t", kind);
        std::vector<std::string> shown;
        for (size_t i = 0; i < list.files.size(); ++i) {
            auto decoded = queue.take(list.files[i].first, "t", list.files[i].second);
            ASSERT_TRUE(decoded.has_value()) << i;
            EXPECT_TRUE(log.texts().empty()) << "a worker's messages wait for whoever takes the texture";
            for (const Message& message : decoded->messages)
                shown.push_back(message.text);
            const Texture& texture = *decoded->texture;
            EXPECT_EQ(texture.name, "t");
            EXPECT_EQ(texture.width, expected[i].width) << i;
            EXPECT_EQ(texture.height, expected[i].height) << i;
            EXPECT_EQ(texture.format, expected[i].format) << i;
            EXPECT_EQ(texture.pixels, expected[i].pixels) << i;
            EXPECT_EQ(texture.binding.id, TextureBinding::noObject);
        }
        EXPECT_EQ(shown, expectedMessages) << workers << " workers";
    }
}

TEST(ImageDecodeQueue, OnlyWhatWasQueuedIsTakenAndEachDecodeOnce) {
    const ListFiles list;
    test::MessageLog log;
    ImageDecodeQueue queue(2);
    const auto& [path, kind] = list.files[0];
    queue.add(path, "first", kind);
    queue.add(path, "second", kind);
    EXPECT_FALSE(queue.take(path, "first", kind + 1).has_value()) << "another kind is another decode";
    EXPECT_FALSE(queue.take(path, "third", kind).has_value());
    // The second entry is taken before the first: order of taking is the caller's.
    EXPECT_EQ(queue.take(path, "second", kind)->texture->name, "second");
    EXPECT_EQ(queue.take(path, "first", kind)->texture->name, "first");
    EXPECT_FALSE(queue.take(path, "first", kind).has_value());
}

TEST(ImageDecodeQueue, ClosingWithDecodesNotTakenLosesNothingAndShowsNothing) {
    const ListFiles list;
    test::MessageLog log;
    {
        ImageDecodeQueue queue(2);
        for (int round = 0; round < 20; ++round)
            for (const auto& [path, kind] : list.files)
                queue.add(path, "t", kind);
    }
    EXPECT_TRUE(log.texts().empty());
}

} // namespace
} // namespace halcyra
