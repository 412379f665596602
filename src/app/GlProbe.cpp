#include "app/GlProbe.h"

#include "core/DisplayConfig.h"

#include <SDL.h>

#include <EGL/egl.h>
#include <GL/glx.h>

namespace halcyra {
namespace {

int setSwapInterval(int interval) {
    return SDL_GL_SetSwapInterval(interval) == 0 ? 1 : 0;
}

void* getProcAddress(const char* name) {
    return SDL_GL_GetProcAddress(name);
}

} // namespace

GlPlatform currentGlPlatform() {
    GlPlatform platform;
    platform.getProcAddress = getProcAddress;
    platform.setSwapInterval = setSwapInterval;
    if (eglGetCurrentContext() != EGL_NO_CONTEXT) {
        platform.contextExtensions = eglQueryString(eglGetCurrentDisplay(), EGL_EXTENSIONS);
        platform.swapControl = true;
    } else if (Display* display = glXGetCurrentDisplay()) {
        const char* extensions = glXQueryExtensionsString(display, XDefaultScreen(display));
        platform.contextExtensions = extensions;
        platform.swapControl = hasExtension("GLX_EXT_swap_control", extensions) ||
                               hasExtension("GLX_MESA_swap_control", extensions) ||
                               hasExtension("GLX_SGI_swap_control", extensions);
    }
    return platform;
}

bool chooseMultisampleFormat(DisplayConfig& config, int sampleCount) {
    const GlExtensions& ext = GlExtensions::instance();
    config.screenSamples = 0;
    if (!ext.has(GlExtension::ExtFramebufferMultisample) || !ext.has(GlExtension::ExtFramebufferBlit))
        return false;
    GLint maxSamples = 0;
    glGetIntegerv(GL_MAX_SAMPLES_EXT, &maxSamples);
    if (maxSamples < sampleCount)
        return false;
    config.screenSamples = sampleCount;
    return true;
}

} // namespace halcyra
