#include "app/Startup.h"
#include "app/Presentation.h"
#include "app/ScreenFramebuffer.h"

#include "core/DisplayConfig.h"
#include "core/GlExtensions.h"
#include "core/Platform.h"
#include "support/GlTestContext.h"

#include <GL/gl.h>
#include <SDL.h>
#include <gtest/gtest.h>

namespace halcyra {
namespace {

TEST(StartUp, FillsTheExtensionRecordFromTheRealDriver) {
    test::GlTestContext context;
    const GlExtensions& ext = GlExtensions::instance();
    EXPECT_TRUE(ext.has(GlExtension::ArbShaderObjects));
    EXPECT_TRUE(ext.has(GlExtension::ExtFramebufferObject));
    EXPECT_NE(ext.glUseProgramObjectARB, nullptr);
    EXPECT_NE(ext.glBindFramebufferEXT, nullptr);
    // The class of the driver the test runs on: 1 for llvmpipe and most GPUs, 2 for NVIDIA's.
    EXPECT_EQ(ext.GpuVendorClass, gpuVendorClass(reinterpret_cast<const char*>(glGetString(GL_VENDOR))));
    EXPECT_FALSE(ext.has(GlExtension::WglArbPbuffer));
}

TEST(StartUp, ModeSizesTheScreenFramebufferAndRunIsSet) {
    test::GlTestContext context(1021);
    const DisplayConfig& config = DisplayConfig::instance();
    EXPECT_EQ(config.width, 1280);
    EXPECT_EQ(config.height, 720);
    EXPECT_TRUE(config.running);
    ASSERT_NE(config.screenFramebuffer, 0u);
    GLint bound = 0;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING_EXT, &bound);
    EXPECT_EQ(static_cast<GLuint>(bound), config.screenFramebuffer);
}

TEST(Presentation, FinishedFrameIsReadableAfterSwapAndTheScreenStaysBound) {
    test::GlTestContext context;
    const DisplayConfig& config = DisplayConfig::instance();
    glViewport(0, 0, config.width, config.height);
    glClearColor(1.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glEnable(GL_SCISSOR_TEST);
    glScissor(0, 0, 10, 10);
    glClearColor(0.0f, 0.0f, 1.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    presentFrame();

    EXPECT_TRUE(glIsEnabled(GL_SCISSOR_TEST));
    GLfloat clear[4];
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
    EXPECT_EQ(clear[2], 1.0f);
    const auto corner = context.screenPixel(5, 5);
    const auto middle = context.screenPixel(config.width / 2, config.height / 2);
    EXPECT_EQ(corner[2], 255);
    EXPECT_EQ(middle[0], 255);
    EXPECT_EQ(middle[2], 0);
    GLint bound = 0;
    glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING_EXT, &bound);
    EXPECT_EQ(static_cast<GLuint>(bound), config.screenFramebuffer);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST(ScreenFramebuffer, SingleSampledScreenTakesTheDrawingUntilItIsSwitchedOff) {
    test::GlTestContext context;
    DisplayConfig& config = DisplayConfig::instance();
    if (config.screenSamples == 0)
        GTEST_SKIP() << "the driver gives no multisampled screen";
    const GLuint multisampled = config.screenFramebuffer;
    auto drawnFrame = [&](float red, float green) {
        glViewport(0, 0, config.width, config.height);
        glClearColor(red, green, 0.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        swapBuffers();
        return context.screenPixel(config.width / 2, config.height / 2);
    };
    auto boundForDrawing = [] {
        GLint bound = 0;
        glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING_EXT, &bound);
        return static_cast<GLuint>(bound);
    };

    setSingleSampledScreen(true);
    EXPECT_NE(config.screenFramebuffer, multisampled);
    EXPECT_EQ(boundForDrawing(), config.screenFramebuffer);
    EXPECT_EQ(drawnFrame(1.0f, 0.0f)[0], 255) << "the frame drawn single-sampled is the one presented";
    EXPECT_EQ(boundForDrawing(), config.screenFramebuffer) << "and the screen stays bound after the swap";

    setSingleSampledScreen(false);
    EXPECT_EQ(config.screenFramebuffer, multisampled);
    EXPECT_EQ(boundForDrawing(), multisampled);
    const auto green = drawnFrame(0.0f, 1.0f);
    EXPECT_EQ(green[0], 0);
    EXPECT_EQ(green[1], 255) << "the multisampled screen is resolved and presented again";
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST(StartUp, WithoutFramebufferBlitFullscreenBecomesAWindowOfTheModesSize) {
    // The extension record of the real driver, then the same driver without framebuffer blit: the picture
    // cannot be scaled onto a desktop-sized window there.
    { test::GlTestContext startUp(1021); }
    uint8_t& blit = GlExtensions::instance().flags[static_cast<int>(GlExtension::ExtFramebufferBlit)];
    const uint8_t offered = blit;
    blit = 0;
    ASSERT_TRUE(initVideo(nullptr));
    DisplayConfig& config = DisplayConfig::instance();
    config.fullscreen = true;
    createMainWindow(config);

    const Uint32 flags = SDL_GetWindowFlags(config.window);
    int width = 0;
    int height = 0;
    SDL_GL_GetDrawableSize(config.window, &width, &height);
    EXPECT_FALSE(flags & SDL_WINDOW_FULLSCREEN);
    EXPECT_FALSE(flags & SDL_WINDOW_RESIZABLE);
    EXPECT_EQ(width, 1280);
    EXPECT_EQ(height, 720);
    EXPECT_FALSE(config.fullscreen);
    EXPECT_EQ(config.screenFramebuffer, 0u);
    blit = offered;
    shutdownDisplay();
}

} // namespace
} // namespace halcyra
