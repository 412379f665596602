#include "app/ScreenFramebuffer.h"

#include "core/DisplayConfig.h"
#include "core/GlExtensions.h"

#include <SDL.h>

namespace halcyra {
namespace {

// The screen framebuffer and, when it is multisampled, the single-sampled copy it resolves into.
struct Screen {
    GLuint framebuffer = 0;
    GLuint colorBuffer = 0;
    GLuint depthBuffer = 0;
    GLuint resolveFramebuffer = 0;
    GLuint resolveColorBuffer = 0;
    PFNGLBLITFRAMEBUFFEREXTPROC blit = nullptr;
    PFNGLRENDERBUFFERSTORAGEMULTISAMPLEEXTPROC storageMultisample = nullptr;
    bool singleSampled = false; // drawing goes to the copy (setSingleSampledScreen)
};
Screen screen;

} // namespace

void releaseScreenFramebuffer() {
    const GlExtensions& ext = GlExtensions::instance();
    if (ext.glDeleteFramebuffersEXT == nullptr)
        return;
    const GLuint framebuffers[] = {screen.framebuffer, screen.resolveFramebuffer};
    const GLuint renderbuffers[] = {screen.colorBuffer, screen.depthBuffer, screen.resolveColorBuffer};
    ext.glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
    ext.glDeleteFramebuffersEXT(2, framebuffers);
    ext.glDeleteRenderbuffersEXT(3, renderbuffers);
    const Screen kept = screen;
    screen = Screen{};
    screen.blit = kept.blit;
    screen.storageMultisample = kept.storageMultisample;
}

bool createScreenFramebuffer(DisplayConfig& config, int samples) {
    const GlExtensions& ext = GlExtensions::instance();
    screen.blit =
        reinterpret_cast<PFNGLBLITFRAMEBUFFEREXTPROC>(SDL_GL_GetProcAddress("glBlitFramebufferEXT"));
    screen.storageMultisample = reinterpret_cast<PFNGLRENDERBUFFERSTORAGEMULTISAMPLEEXTPROC>(
        SDL_GL_GetProcAddress("glRenderbufferStorageMultisampleEXT"));
    if (!ext.has(GlExtension::ExtFramebufferObject) || !ext.has(GlExtension::ExtFramebufferBlit) ||
        screen.blit == nullptr || ext.glGenFramebuffersEXT == nullptr)
        return false;
    if (samples > 0 && screen.storageMultisample == nullptr)
        samples = 0;

    auto storage = [&](GLenum format) {
        if (samples > 0)
            screen.storageMultisample(GL_RENDERBUFFER_EXT, samples, format, config.width, config.height);
        else
            ext.glRenderbufferStorageEXT(GL_RENDERBUFFER_EXT, format, config.width, config.height);
    };
    ext.glGenFramebuffersEXT(1, &screen.framebuffer);
    ext.glGenRenderbuffersEXT(1, &screen.colorBuffer);
    ext.glGenRenderbuffersEXT(1, &screen.depthBuffer);
    ext.glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, screen.framebuffer);
    ext.glBindRenderbufferEXT(GL_RENDERBUFFER_EXT, screen.colorBuffer);
    storage(GL_RGBA8);
    ext.glFramebufferRenderbufferEXT(GL_FRAMEBUFFER_EXT, GL_COLOR_ATTACHMENT0_EXT, GL_RENDERBUFFER_EXT,
                                     screen.colorBuffer);
    ext.glBindRenderbufferEXT(GL_RENDERBUFFER_EXT, screen.depthBuffer);
    storage(GL_DEPTH_COMPONENT24);
    ext.glFramebufferRenderbufferEXT(GL_FRAMEBUFFER_EXT, GL_DEPTH_ATTACHMENT_EXT, GL_RENDERBUFFER_EXT,
                                     screen.depthBuffer);
    bool complete = ext.glCheckFramebufferStatusEXT(GL_FRAMEBUFFER_EXT) == GL_FRAMEBUFFER_COMPLETE_EXT;

    if (complete && samples > 0) {
        ext.glGenFramebuffersEXT(1, &screen.resolveFramebuffer);
        ext.glGenRenderbuffersEXT(1, &screen.resolveColorBuffer);
        ext.glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, screen.resolveFramebuffer);
        ext.glBindRenderbufferEXT(GL_RENDERBUFFER_EXT, screen.resolveColorBuffer);
        ext.glRenderbufferStorageEXT(GL_RENDERBUFFER_EXT, GL_RGBA8, config.width, config.height);
        ext.glFramebufferRenderbufferEXT(GL_FRAMEBUFFER_EXT, GL_COLOR_ATTACHMENT0_EXT, GL_RENDERBUFFER_EXT,
                                         screen.resolveColorBuffer);
        complete = ext.glCheckFramebufferStatusEXT(GL_FRAMEBUFFER_EXT) == GL_FRAMEBUFFER_COMPLETE_EXT;
    }
    ext.glBindRenderbufferEXT(GL_RENDERBUFFER_EXT, 0);
    if (!complete) {
        releaseScreenFramebuffer();
        return samples > 0 ? createScreenFramebuffer(config, 0) : false;
    }
    ext.glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, screen.framebuffer);
    config.screenFramebuffer = screen.framebuffer;
    config.screenSamples = samples;
    return true;
}

uint32_t bindScreenForReading() {
    const GlExtensions& ext = GlExtensions::instance();
    if (screen.framebuffer == 0)
        return 0;
    const DisplayConfig& config = DisplayConfig::instance();
    if (screen.resolveFramebuffer == 0 || screen.singleSampled) {
        ext.glBindFramebufferEXT(GL_READ_FRAMEBUFFER_EXT, config.screenFramebuffer);
        return config.screenFramebuffer;
    }
    ext.glBindFramebufferEXT(GL_READ_FRAMEBUFFER_EXT, screen.framebuffer);
    ext.glBindFramebufferEXT(GL_DRAW_FRAMEBUFFER_EXT, screen.resolveFramebuffer);
    {
        ScissorOff wholeFrame;
        screen.blit(0, 0, config.width, config.height, 0, 0, config.width, config.height, GL_COLOR_BUFFER_BIT,
                    GL_NEAREST);
    }
    ext.glBindFramebufferEXT(GL_DRAW_FRAMEBUFFER_EXT, screen.framebuffer);
    ext.glBindFramebufferEXT(GL_READ_FRAMEBUFFER_EXT, screen.resolveFramebuffer);
    return screen.resolveFramebuffer;
}

void bindScreenForDrawing() {
    GlExtensions::instance().glBindFramebufferEXT(GL_FRAMEBUFFER_EXT,
                                                  DisplayConfig::instance().screenFramebuffer);
}

void drawSingleSampled(bool on) {
    if (screen.resolveFramebuffer == 0 || screen.singleSampled == on)
        return;
    DisplayConfig& config = DisplayConfig::instance();
    screen.singleSampled = on;
    config.screenFramebuffer = on ? screen.resolveFramebuffer : screen.framebuffer;
    bindScreenForDrawing();
}

void blitScreenTo(int x, int y, int width, int height) {
    const DisplayConfig& config = DisplayConfig::instance();
    const bool exact = width == config.width && height == config.height;
    screen.blit(0, 0, config.width, config.height, x, y, x + width, y + height, GL_COLOR_BUFFER_BIT,
                exact ? GL_NEAREST : GL_LINEAR);
}

} // namespace halcyra
