#include "timeline/AssetList.h"

#include "support/MessageLog.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace halcyra {
namespace {

// Reads a list and returns what was visited; a skipped line shows as "<skipped>".
std::vector<std::string> visit(const std::string& path, size_t minimumLength = minTextureLineLength) {
    std::vector<std::string> lines;
    readAssetList(path.c_str(), minimumLength,
                  [&](const std::string* line) { lines.push_back(line ? *line : "<skipped>"); });
    return lines;
}

TEST(AssetList, ReadsCountThenThatManyLines) {
    test::TempDir dir;
    const auto path =
        dir.write("tex", "3\ntextures/a.png\ntextures/b.jpg\ntextures/c.tga\ntextures/unread.png\n");
    test::MessageLog log;
    EXPECT_EQ(visit(path), (std::vector<std::string>{"textures/a.png", "textures/b.jpg", "textures/c.tga"}));
    EXPECT_TRUE(log.messages().empty());
}

TEST(AssetList, CountOfZeroOrLessReadsNoLine) {
    test::TempDir dir;
    test::MessageLog log;
    EXPECT_TRUE(visit(dir.write("zero", "0\ntextures/a.png\n")).empty());
    EXPECT_TRUE(visit(dir.write("negative", "-4\ntextures/a.png\n")).empty());
    EXPECT_TRUE(log.messages().empty());
}

TEST(AssetList, CrLfEndsGiveTheSameLinesAsLf) {
    test::TempDir dir;
    const auto lf = visit(dir.write("lf", "2\ntextures/a.png\ntextures/b.png\n"));
    const auto crlf = visit(dir.write("crlf", "2\r\ntextures/a.png\r\ntextures/b.png\r\n"));
    EXPECT_EQ(lf, crlf);
}

TEST(AssetList, WhiteSpaceAfterTheCountIsSkippedAndLastLineNeedsNoLf) {
    test::TempDir dir;
    EXPECT_EQ(visit(dir.write("tex", "2 \n\n   textures/a.png\ntextures/b.png")),
              (std::vector<std::string>{"textures/a.png", "textures/b.png"}));
}

TEST(AssetList, MissingFileIsOneMessageNamingIt) {
    test::TempDir dir;
    test::MessageLog log;
    EXPECT_TRUE(visit((dir.path() / "models" / "models").string()).empty());
    ASSERT_EQ(log.messages().size(), 1u);
    EXPECT_NE(log.messages()[0].text.find("models/models"), std::string::npos);
}

TEST(AssetList, FileWithoutCountIsReported) {
    test::TempDir dir;
    test::MessageLog log;
    EXPECT_TRUE(visit(dir.write("tex", "textures/a.png\n")).empty());
    EXPECT_EQ(log.messages().size(), 1u);
}

TEST(AssetList, ShortCountIsReportedAndNothingIsReadPastTheEnd) {
    test::TempDir dir;
    test::MessageLog log;
    EXPECT_EQ(visit(dir.write("tex", "5\ntextures/a.png\ntextures/b.png\n")).size(), 2u);
    ASSERT_EQ(log.messages().size(), 1u);
    EXPECT_NE(log.messages()[0].text.find("5"), std::string::npos);
    EXPECT_NE(log.messages()[0].text.find("2"), std::string::npos);
}

TEST(AssetList, OverLongLineIsReportedAndSkippedAndTheNextLineStillReads) {
    test::TempDir dir;
    const std::string longLine = "textures/" + std::string(300, 'x') + ".png";
    const std::string exact = "textures/" + std::string(maxListLineLength - 9, 'y');
    test::MessageLog log;
    const auto lines = visit(dir.write("tex", "3\n" + longLine + "\n" + exact + "\ntextures/b.png\n"));
    EXPECT_EQ(lines, (std::vector<std::string>{"<skipped>", exact, "textures/b.png"}));
    EXPECT_EQ(log.messages().size(), 1u);
}

TEST(AssetList, LineTooShortToNameAnAssetIsReportedAndSkipped) {
    test::TempDir dir;
    test::MessageLog log;
    const auto lines =
        visit(dir.write("models", "3\nmodels/.3ds\n\nmodels/planet.3ds\n"), minModelLineLength);
    EXPECT_EQ(lines, (std::vector<std::string>{"<skipped>", "<skipped>", "models/planet.3ds"}));
    EXPECT_EQ(log.messages().size(), 2u);
}

TEST(AssetNames, TextureKeepsItsExtensionAndModelsLoseTheirs) {
    EXPECT_EQ(textureNameOf("textures/c_noise.jpg"), "c_noise.jpg");
    EXPECT_EQ(modelNameOf("models/planet.3ds"), "planet");
    EXPECT_EQ(modelNameOf("models/mixmax2t.3ds"), "mixmax2t");
    EXPECT_EQ(modelNameOf("models/cam0.3ds"), "cam0");
}

TEST(AssetNames, KindRuleTestsJpgFirstAnywhereInTheLine) {
    EXPECT_EQ(textureKindOf("textures/c_noise.jpg"), ImageKind::Jpeg);
    EXPECT_EQ(textureKindOf("textures/a.png"), ImageKind::Png);
    EXPECT_EQ(textureKindOf("textures/a.jpg.png"), ImageKind::Jpeg);
    EXPECT_EQ(textureKindOf("textures/a.png.jpg"), ImageKind::Jpeg);
    EXPECT_EQ(textureKindOf("textures/a.tga"), ImageKind::Tga);
    EXPECT_EQ(textureKindOf("textures/a.PNG"), ImageKind::Tga);
}

} // namespace
} // namespace halcyra
