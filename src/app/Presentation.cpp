#include "app/Presentation.h"

#include "app/Platform.h"
#include "app/ScreenFramebuffer.h"
#include "core/DisplayConfig.h"
#include "core/GlExtensions.h"
#include "core/Message.h"
#include "render/Engine.h"

#include <SDL.h>

#include <algorithm>
#include <string>

namespace halcyra {

void swapBuffers() {
    const PlatformSettings& settings = platformSettings();
    if (!settings.presenting)
        return;
    const DisplayConfig& config = DisplayConfig::instance();
    if (bindScreenForReading() == 0) {
        SDL_GL_SwapWindow(config.window);
        return;
    }

    int drawableWidth = 0;
    int drawableHeight = 0;
    SDL_GL_GetDrawableSize(config.window, &drawableWidth, &drawableHeight);
    const double scale = std::min(static_cast<double>(drawableWidth) / config.width,
                                  static_cast<double>(drawableHeight) / config.height);
    const int width = static_cast<int>(config.width * scale + 0.5);
    const int height = static_cast<int>(config.height * scale + 0.5);
    const int x = (drawableWidth - width) / 2;
    const int y = (drawableHeight - height) / 2;

    GLboolean colorMask[4];
    GLfloat clearColor[4];
    glGetBooleanv(GL_COLOR_WRITEMASK, colorMask);
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clearColor);
    {
        ScissorOff wholeWindow;
        glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
        GlExtensions::instance().glBindFramebufferEXT(GL_DRAW_FRAMEBUFFER_EXT, 0);
        glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        if (settings.pictureView == nullptr || !settings.pictureView(x, y, width, height))
            blitScreenTo(x, y, width, height);
        if (settings.windowOverlay != nullptr)
            settings.windowOverlay(drawableWidth, drawableHeight);
        glClearColor(clearColor[0], clearColor[1], clearColor[2], clearColor[3]);
        glColorMask(colorMask[0], colorMask[1], colorMask[2], colorMask[3]);
    }

    SDL_GL_SwapWindow(config.window);
    bindScreenForDrawing();
}

void drawPictureAt(int width, int height, bool full) {
    DisplayConfig& config = DisplayConfig::instance();
    if (config.screenFramebuffer == 0 || (width == config.width && height == config.height))
        return;
    const int samples = config.screenSamples;
    releaseScreenFramebuffer();
    config.width = width;
    config.height = height;
    config.reduced = !full;
    if (!createScreenFramebuffer(config, samples))
        fatalError("The screen framebuffer could not be made at " + std::to_string(width) + " x " +
                   std::to_string(height) + ".");
    Engine::instance().resizePicture();
}

} // namespace halcyra
