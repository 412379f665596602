#include "app/Startup.h"

#include "app/Events.h"
#include "app/Fonts.h"
#include "app/GlProbe.h"
#include "app/ScreenFramebuffer.h"
#include "app/SetupDialog.h"
#include "core/DisplayConfig.h"
#include "core/GlExtensions.h"
#include "core/Message.h"

#include <SDL.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>

namespace halcyra {
namespace {

void applyPixelFormat(const PixelFormatDescriptor& format) {
    SDL_GL_ResetAttributes();
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, format.alphaBits);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, format.depthBits);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, format.stencilBits);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, format.doubleBuffer ? 1 : 0);
    SDL_GL_SetAttribute(SDL_GL_MULTISAMPLEBUFFERS, 0);
    SDL_GL_SetAttribute(SDL_GL_MULTISAMPLESAMPLES, 0);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
}

// A window with the config's pixel format and its own current context; a failure ends the process, the
// window's with `windowFailure`.
void openWindowWithContext(DisplayConfig& config, const char* title, int x, int y, int width, int height,
                           Uint32 flags, const char* windowFailure) {
    applyPixelFormat(config.pixelFormatDescriptor);
    config.window = SDL_CreateWindow(title, x, y, width, height, flags);
    if (config.window == nullptr)
        fatalError(std::string(windowFailure) + SDL_GetError());
    config.glContext = SDL_GL_CreateContext(config.window);
    if (config.glContext == nullptr)
        fatalError(std::string("Could not create an OpenGL context: ") + SDL_GetError());
    SDL_GL_MakeCurrent(config.window, config.glContext);
}

// The loading screen's face, looked up once per run: Liberation Mono bold, or any bold monospace face.
const std::string& loadingScreenFont() {
    static const std::string file = [] {
        std::string path = findFontFile("Liberation Mono:bold", "Liberation Mono");
        if (path.empty())
            path = findFontFile("monospace:bold");
        if (path.empty())
            showMessage("No monospace font was found; the loading screen shows no text.");
        return path;
    }();
    return file;
}

} // namespace

bool initVideo(const char** error) {
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_TIMER | SDL_INIT_EVENTS) != 0) {
        if (error)
            *error = SDL_GetError();
        return false;
    }
    return true;
}

bool isHeadless() {
    const char* driver = SDL_GetCurrentVideoDriver();
    return driver == nullptr || std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0;
}

void initDisplay(DisplayConfig& config, const DisplayRequest& request) {
    createDummyContext(config);
    loadGlExtensions(currentGlPlatform());

    const GlExtensions& extensions = GlExtensions::instance();
    DialogState preset = initialDialogState(extensions);
    if (request.mode)
        preset.selectMode(*request.mode);
    if (request.fullscreen)
        preset.fullscreen = *request.fullscreen;
    if (request.vsync)
        preset.vsync = *request.vsync;
    if (request.showDialog) {
        if (runSetupDialog(preset) == DialogResult::Exit) {
            config.running = false;
            std::exit(0);
        }
        SDL_GL_MakeCurrent(config.window, config.glContext);
    }
    applyDialogChoice(preset, extensions, config);
    if (request.width && request.height) {
        config.width = *request.width;
        config.height = *request.height;
        config.aspect = static_cast<float>(config.width) / static_cast<float>(config.height);
        config.renderTargetSize = renderTargetSizeFor(config.width, config.height);
    }

    if (config.sampleCount != 0)
        chooseMultisampleFormat(config, config.sampleCount);
    destroyDummyContext(config);
    createMainWindow(config, request.hidden);
    config.fontFile = loadingScreenFont();
}

int renderTargetSizeFor(int width, int height) {
    const int larger = std::max(width, height);
    if (larger <= 1280)
        return 1024;
    int size = 1024;
    while (size < larger)
        size *= 2;
    return size;
}

void createDummyContext(DisplayConfig& config) {
    openWindowWithContext(config, "", 0, 0, 1, 1,
                          SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN | SDL_WINDOW_BORDERLESS,
                          "Could not create an OpenGL window: ");
}

void destroyDummyContext(DisplayConfig& config) {
    SDL_GL_MakeCurrent(config.window, nullptr);
    SDL_GL_DeleteContext(config.glContext);
    SDL_DestroyWindow(config.window);
    config.window = nullptr;
    config.glContext = nullptr;
}

void createMainWindow(DisplayConfig& config, bool hidden) {
    Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_ALLOW_HIGHDPI;
    flags |= config.fullscreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : SDL_WINDOW_RESIZABLE;
    if (hidden)
        flags = SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN;
    const int display = std::clamp(config.display, 0, std::max(0, SDL_GetNumVideoDisplays() - 1));
    const int position = SDL_WINDOWPOS_CENTERED_DISPLAY(display);
    openWindowWithContext(config, "halcyra by mosslight", position, position, config.width, config.height,
                          flags, "Could not open the window: ");

    const GlExtensions& ext = GlExtensions::instance();
    const int samples = config.screenSamples;
    config.screenSamples = 0;
    if (!createScreenFramebuffer(config, samples)) {
        // The show then draws straight into the window at width × height, unscaled: a desktop-sized or
        // resized window would hold the picture in a corner, so the window keeps the mode's size.
        config.screenFramebuffer = 0;
        if (config.fullscreen) {
            SDL_SetWindowFullscreen(config.window, 0);
            config.fullscreen = false;
        }
        SDL_SetWindowResizable(config.window, SDL_FALSE);
        SDL_SetWindowSize(config.window, config.width, config.height);
    }
    if (ext.has(GlExtension::WglExtSwapControl) && ext.wglSwapIntervalEXT != nullptr)
        ext.wglSwapIntervalEXT(config.vsync);
    if (config.fullscreen)
        SDL_ShowCursor(SDL_DISABLE);
    ignoreUnhandledEvents();
}

void shutdownDisplay() {
    DisplayConfig& config = DisplayConfig::instance();
    if (config.glContext != nullptr) {
        releaseScreenFramebuffer();
        config.screenFramebuffer = 0;
        SDL_GL_MakeCurrent(config.window, nullptr);
        SDL_GL_DeleteContext(config.glContext);
        config.glContext = nullptr;
    }
    if (config.window != nullptr) {
        SDL_DestroyWindow(config.window);
        config.window = nullptr;
    }
    setMessagePresenter(nullptr);
    SDL_Quit();
}

} // namespace halcyra
