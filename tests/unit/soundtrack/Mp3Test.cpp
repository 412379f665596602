#include "soundtrack/Mp3Decoder.h"
#include "soundtrack/Mp3Encoder.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cmath>

namespace halcyra {
namespace {

TEST(Mp3Encoder, TaggedFileDecodesToExactlyTheEncodedFrames) {
    // Two clicks a second apart; with the LAME tag libmpg123 trims encoder delay and padding, so both
    // come back on their frames and the length is exact.
    std::vector<float> left(3 * 44100 + 123, 0.0f), right(left.size(), 0.0f);
    for (size_t start : {size_t{0}, size_t{44100}}) {
        for (size_t i = 0; i < 441; ++i)
            left[start + i] = right[start + i] = 0.5f * std::sin(6.2831853f * 1000.0f * i / 44100.0f);
    }
    test::TempDir folder;
    const std::string path = (folder.path() / "clicks.mp3").string();
    writeMp3(path, left, right);
    const DecodedMp3 decoded = decodeMp3(path);
    EXPECT_EQ(decoded.sampleRate, 44100);
    EXPECT_EQ(decoded.channels, 2);
    ASSERT_EQ(decoded.left.size(), left.size());
    const auto firstLoud = [&](size_t from) {
        for (size_t i = from; i < decoded.left.size(); ++i) {
            if (std::fabs(decoded.left[i]) > 0.05f)
                return i;
        }
        return decoded.left.size();
    };
    EXPECT_LE(firstLoud(0), 2u);
    EXPECT_NEAR(static_cast<double>(firstLoud(30000)), 44101.0, 2.0);
    EXPECT_FALSE(std::filesystem::exists(path + ".partial"));
}

TEST(Mp3Encoder, BytesDoNotDependOnHowTheFramesArriveInAStream) {
    std::vector<float> left(5 * 44100), right(left.size());
    for (size_t i = 0; i < left.size(); ++i) {
        left[i] = 0.3f * std::sin(6.2831853f * 440.0f * static_cast<float>(i) / 44100.0f);
        right[i] = 0.3f * std::sin(6.2831853f * 660.0f * static_cast<float>(i) / 44100.0f);
    }
    const std::vector<unsigned char> whole = encodeMp3(left, right);
    Mp3Stream stream;
    size_t at = 0;
    for (size_t piece : {1000u, 1u, 70000u, 12345u}) {
        stream.add(left.data() + at, right.data() + at, piece);
        at += piece;
    }
    stream.add(left.data() + at, right.data() + at, left.size() - at);
    EXPECT_EQ(stream.finish(), whole);
}

TEST(Mp3Encoder, UnwritablePathIsReported) {
    const std::vector<float> silence(4410, 0.0f);
    try {
        writeMp3("/nonexistent-folder/muzak.mp3", silence, silence);
        FAIL() << "no error";
    } catch (const Mp3Error& error) {
        EXPECT_STREQ(error.what(), "/nonexistent-folder/muzak.mp3.partial: cannot write the file");
    }
    EXPECT_THROW(encodeMp3(silence, std::vector<float>(10)), Mp3Error);
}

TEST(Mp3Decoder, MissingOrDamagedFileIsReported) {
    EXPECT_THROW(decodeMp3("/nonexistent/muzak.mp3"), Mp3Error);
    test::TempDir folder;
    const auto path = folder.write("junk.mp3", std::string(5000, 'x'));
    try {
        const DecodedMp3 decoded = decodeMp3(path.string());
        EXPECT_TRUE(decoded.left.empty()); // nothing decodable is no sound, never garbage
    } catch (const Mp3Error&) {
    }
}

} // namespace
} // namespace halcyra
