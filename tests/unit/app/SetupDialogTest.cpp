#include "app/SetupDialog.h"

#include "core/DisplayConfig.h"
#include "core/GlExtensions.h"

#include <gtest/gtest.h>

namespace halcyra {
namespace {

GlExtensions extensionsWith(std::initializer_list<GlExtension> present) {
    GlExtensions extensions;
    for (GlExtension extension : present)
        extensions.flags[static_cast<int>(extension)] = 1;
    return extensions;
}

struct ModeCase {
    int control;
    int width;
    int height;
    float aspect;
};

TEST(ApplyDialogChoice, EachModeSetsItsSizeAndAspect) {
    const ModeCase cases[] = {{ModeButton4x3, 1024, 768, 1.3333334f},
                              {ModeButton16x9, 1280, 720, 1.7777778f},
                              {ModeButton16x10, 1280, 800, 1.6f},
                              {ModeButton16x9_5, 1280, 768, 1.6666666f}};
    const GlExtensions extensions = extensionsWith({});
    for (const ModeCase& mode : cases) {
        DisplayConfig& config = DisplayConfig::instance();
        DialogState state;
        state.selectMode(mode.control);
        applyDialogChoice(state, extensions, config);
        EXPECT_EQ(config.width, mode.width) << mode.control;
        EXPECT_EQ(config.height, mode.height) << mode.control;
        EXPECT_FLOAT_EQ(config.aspect, mode.aspect) << mode.control;
    }
}

TEST(ApplyDialogChoice, FirstSelectedInRunOrderWins) {
    const GlExtensions extensions = extensionsWith({});
    DisplayConfig& config = DisplayConfig::instance();
    DialogState state;
    state.mode4x3 = state.mode16x9 = state.mode16x9_5 = true;
    applyDialogChoice(state, extensions, config);
    EXPECT_EQ(config.width, 1280);
    EXPECT_EQ(config.height, 720);

    state.mode16x10 = true;
    applyDialogChoice(state, extensions, config);
    EXPECT_EQ(config.height, 800);

    DialogState lastTwo;
    lastTwo.mode4x3 = lastTwo.mode16x9_5 = true;
    applyDialogChoice(lastTwo, extensions, config);
    EXPECT_EQ(config.width, 1024);
}

TEST(ApplyDialogChoice, OptionsAndFixedFields) {
    DisplayConfig& config = DisplayConfig::instance();
    DialogState state;
    state.selectMode(ModeButton4x3);
    state.vsync = true;
    state.fullscreen = false;
    applyDialogChoice(state, extensionsWith({GlExtension::ArbMultisample}), config);
    EXPECT_EQ(config.vsync, 1);
    EXPECT_FALSE(config.fullscreen);
    EXPECT_EQ(config.renderTargetSize, 1024);
    EXPECT_EQ(config.sampleCount, 4);
    EXPECT_TRUE(config.running);

    state.vsync = false;
    state.fullscreen = true;
    applyDialogChoice(state, extensionsWith({}), config);
    EXPECT_EQ(config.vsync, 0);
    EXPECT_TRUE(config.fullscreen);
    EXPECT_EQ(config.sampleCount, 0);
}

TEST(InitialDialogState, FourByThreeFullscreenAndVSyncOnlyWithSwapControl) {
    const DialogState withSwap = initialDialogState(extensionsWith({GlExtension::WglExtSwapControl}));
    EXPECT_EQ(withSwap.selectedMode(), ModeButton4x3);
    EXPECT_TRUE(withSwap.vsync);
    EXPECT_TRUE(withSwap.fullscreen);
    EXPECT_FALSE(initialDialogState(extensionsWith({})).vsync);
}

TEST(DialogState, SelectingAModeClearsTheOthers) {
    DialogState state;
    state.selectMode(ModeButton16x9);
    state.selectMode(ModeButton16x9_5);
    EXPECT_FALSE(state.mode16x9);
    EXPECT_EQ(state.selectedMode(), ModeButton16x9_5);
}

TEST(ModeButtonForCaption, MapsTheFourCaptions) {
    EXPECT_EQ(modeButtonForCaption("4:3"), ModeButton4x3);
    EXPECT_EQ(modeButtonForCaption("16:9"), ModeButton16x9);
    EXPECT_EQ(modeButtonForCaption("16:9.5"), ModeButton16x9_5);
    EXPECT_EQ(modeButtonForCaption("16:10"), ModeButton16x10);
    EXPECT_EQ(modeButtonForCaption("16:9.0"), 0);
    EXPECT_EQ(modeButtonForCaption(nullptr), 0);
}

} // namespace
} // namespace halcyra
