#include "timeline/LoadingScreen.h"
#include "timeline/BitmapFont.h"

#include "core/DisplayConfig.h"
#include "support/GlTestContext.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <string>

namespace halcyra {
namespace {

bool isBar(const std::vector<uint8_t>& rgba) {
    return std::abs(rgba[0] - 51) <= 1 && std::abs(rgba[1] - 224) <= 1 && std::abs(rgba[2] - 250) <= 1;
}
bool isBlack(const std::vector<uint8_t>& rgba) {
    return rgba[0] == 0 && rgba[1] == 0 && rgba[2] == 0;
}

TEST(LoadingScreen, BarAfterSixtyOneStepsIs499UnitsLong) {
    test::GlTestContext context;
    float progress = 0.0f;
    for (int i = 0; i < 61; ++i)
        progress += loadingStep;
    glClearColor(0.0f, 0.0f, 0.0f, 0.5f);
    BitmapFont font;
    font.create(DisplayConfig::instance().fontFile, 12);
    drawLoadingCanvas(progress, 0, 6, font);
    font.destroy();

    EXPECT_TRUE(isBlack(context.screenPixel(257, 304)));
    EXPECT_TRUE(isBar(context.screenPixel(258, 304)));
    EXPECT_TRUE(isBar(context.screenPixel(756, 304)));
    EXPECT_TRUE(isBlack(context.screenPixel(757, 304)));
    EXPECT_TRUE(isBar(context.screenPixel(500, 299)));
    EXPECT_TRUE(isBar(context.screenPixel(500, 308)));
    EXPECT_TRUE(isBlack(context.screenPixel(500, 309)));
    EXPECT_TRUE(isBlack(context.screenPixel(500, 298)));
}

TEST(LoadingScreen, EmptyBarAndStatusTextAtTheStart) {
    test::GlTestContext context;
    BitmapFont font;
    font.create(DisplayConfig::instance().fontFile, 12);
    drawLoadingCanvas(0.0f, 0, 0, font);
    font.destroy();
    EXPECT_TRUE(isBlack(context.screenPixel(258, 304)));
    // "Loading Shaders..." is printed from (460, 280) in white.
    const auto text = context.readScreen(460, 278, 140, 14);
    int lit = 0;
    for (size_t i = 0; i < text.size(); i += 4)
        lit += text[i] > 200 && text[i + 1] > 200 && text[i + 2] > 200;
    EXPECT_GT(lit, 40);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

class BitmapFontTest : public testing::Test {
protected:
    void SetUp() override {
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(0.0, 1024.0, 0.0, 768.0, -1.0, 1.0);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        font.create(DisplayConfig::instance().fontFile, 12);
    }
    void TearDown() override { font.destroy(); }
    static float rasterX() {
        GLfloat position[4];
        glGetFloatv(GL_CURRENT_RASTER_POSITION, position);
        return position[0];
    }
    test::GlTestContext context;
    BitmapFont font;
};

TEST_F(BitmapFontTest, NullFormatSetsColourAndPositionOnly) {
    glClear(GL_COLOR_BUFFER_BIT);
    font.print(100, 200, Rgba{1.0f, 0.5f, 0.25f, 1.0f}, nullptr);
    GLfloat position[4];
    GLfloat color[4];
    glGetFloatv(GL_CURRENT_RASTER_POSITION, position);
    glGetFloatv(GL_CURRENT_RASTER_COLOR, color);
    EXPECT_FLOAT_EQ(position[0], 100.0f);
    EXPECT_FLOAT_EQ(position[1], 200.0f);
    EXPECT_FLOAT_EQ(color[1], 0.5f);
    const auto area = context.readScreen(90, 190, 60, 30);
    for (uint8_t value : area)
        if (value != 0 && value != 255) // alpha may be cleared to anything; colour must stay black
            FAIL() << "something was drawn";
}

TEST_F(BitmapFontTest, GlyphsAdvanceTheRasterPositionAndLongTextIsCutAt255) {
    font.print(0, 100, Rgba{1, 1, 1, 1}, "M");
    const float advance = rasterX();
    ASSERT_GT(advance, 4.0f);
    font.print(0, 100, Rgba{1, 1, 1, 1}, "%s", std::string(1000, 'M').c_str());
    EXPECT_FLOAT_EQ(rasterX(), 255.0f * advance);
    font.print(0, 100, Rgba{1, 1, 1, 1}, "%d%%", 42);
    EXPECT_FLOAT_EQ(rasterX(), 3.0f * advance);
}

TEST_F(BitmapFontTest, AFaceThatCannotBeReadGivesListsThatDrawNothing) {
    BitmapFont missing;
    missing.create("/nonexistent/face.ttf", 12);
    glClear(GL_COLOR_BUFFER_BIT);
    missing.print(100, 200, Rgba{1, 1, 1, 1}, "MMMM");
    EXPECT_FLOAT_EQ(rasterX(), 100.0f);
    for (uint8_t value : context.readScreen(90, 190, 80, 30))
        ASSERT_TRUE(value == 0 || value == 255) << "something was drawn";
    missing.destroy();
}

} // namespace
} // namespace halcyra
