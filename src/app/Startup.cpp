#include "app/Startup.h"

#include "app/CommandLine.h"
#include "app/Events.h"
#include "app/Fonts.h"
#include "app/GlProbe.h"
#include "app/ScreenFramebuffer.h"
#include "app/SetupDialog.h"
#include "app/WindowManager.h"
#include "core/DisplayConfig.h"
#include "core/GlExtensions.h"
#include "core/Message.h"

#include <SDL.h>

#include <GL/gl.h>

#include <algorithm>
#include <cstdio>
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

// The desktop's resolution on `display`, shrunk with its shape kept to the largest picture the show draws;
// left unset with a message where the video driver knows no desktop.
void desktopPictureSize(int display, std::optional<int>& width, std::optional<int>& height) {
    SDL_DisplayMode desktop{};
    const int index = std::clamp(display, 0, std::max(0, SDL_GetNumVideoDisplays() - 1));
    if (SDL_GetDesktopDisplayMode(index, &desktop) != 0 || desktop.w < 16 || desktop.h < 16) {
        showMessage(std::string("The desktop's size is unknown (") + SDL_GetError() +
                    "); the show plays at the mode's size.");
        return;
    }
    const double fit = std::min({1.0, static_cast<double>(maxPictureWidth) / desktop.w,
                                 static_cast<double>(maxPictureHeight) / desktop.h});
    width = static_cast<int>(desktop.w * fit);
    height = static_cast<int>(desktop.h * fit);
}

} // namespace

bool displayNamed() {
    for (const char* name : {"SDL_VIDEODRIVER", "DISPLAY", "WAYLAND_DISPLAY"}) {
        const char* value = std::getenv(name);
        if (value != nullptr && *value != '\0')
            return true;
    }
    return false;
}

bool initVideo(const char** error) {
    // With no display server to talk to (a render farm's node, a server, a container) offline rendering and
    // headless play draw off screen at once, instead of probing for one: a display server's client library
    // complains on stderr when it finds none.
    if (!displayNamed())
        setenv("SDL_VIDEODRIVER", "offscreen", 1);
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
            config.stop(StopReason::DialogExit);
            std::exit(0);
        }
        SDL_GL_MakeCurrent(config.window, config.glContext);
    }
    applyDialogChoice(preset, extensions, config);
    config.draft = request.draft;
    std::optional<int> width = request.width;
    std::optional<int> height = request.height;
    if (request.desktopSize)
        desktopPictureSize(config.display, width, height);
    if (width && height) {
        config.width = *width;
        config.height = *height;
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
    int x = SDL_WINDOWPOS_CENTERED_DISPLAY(display);
    int y = x;
    int width = config.width;
    int height = config.height;
    SDL_Rect bounds{};
    if (config.fullscreen && !hidden && !windowManagerRuns() && SDL_GetDisplayBounds(display, &bounds) == 0) {
        // Nobody would act on the fullscreen request: a borderless window covers the display instead.
        flags = SDL_WINDOW_OPENGL | SDL_WINDOW_ALLOW_HIGHDPI | SDL_WINDOW_BORDERLESS;
        x = bounds.x;
        y = bounds.y;
        width = bounds.w;
        height = bounds.h;
    }
    openWindowWithContext(config, "halcyra by mosslight", x, y, width, height, flags,
                          "Could not open the window: ");

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

double frameBudgetMs(const DisplayConfig& config) {
    if (config.vsync == 0 || config.window == nullptr)
        return 1000.0 / 30.0;
    SDL_DisplayMode mode{};
    const int refresh = SDL_GetWindowDisplayMode(config.window, &mode) == 0 ? mode.refresh_rate : 0;
    return 1000.0 / (refresh > 0 ? refresh : 60);
}

std::string adaptiveQualityLine(bool asked, double budgetMs) {
    const auto* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    const std::string why = asked ? std::string(" (--quality adaptive)")
                                  : std::string(" on the software renderer ") + (renderer ? renderer : "") +
                                        ", which draws every pixel on the CPU";
    char budget[32];
    std::snprintf(budget, sizeof budget, "%.0f", budgetMs);
    return "adaptive quality" + why + ": while frames take longer than " + budget +
           " ms the picture is drawn smaller and scaled to the window (--quality full draws it whole)";
}

std::string glReport(bool forced) {
    const auto text = [](GLenum name) {
        const auto* value = reinterpret_cast<const char*>(glGetString(name));
        return value != nullptr ? value : "(unknown)";
    };
    return std::string("GL ") + text(GL_VENDOR) + ", " + text(GL_RENDERER) + ", " + text(GL_VERSION) +
           "; GPU class " + std::to_string(GlExtensions::instance().GpuVendorClass) +
           (forced ? " (--gpu-class)" : "") + "\n";
}

std::string pictureSizeReport(const DisplayConfig& config, bool shown) {
    char line[256];
    const int targetWidth = config.pictureSizedTargets() ? config.width : config.renderTargetSize;
    const int targetHeight = config.pictureSizedTargets() ? config.height : config.renderTargetSize;
    int length =
        std::snprintf(line, sizeof line, "picture %d x %d, drawn into %d x %d targets (pixel scale %.2f)",
                      config.width, config.height, targetWidth, targetHeight, config.pixelScale());
    if (shown && config.window != nullptr && length > 0 && length < static_cast<int>(sizeof line)) {
        int drawableWidth = 0;
        int drawableHeight = 0;
        SDL_GL_GetDrawableSize(config.window, &drawableWidth, &drawableHeight);
        std::snprintf(line + length, sizeof line - length, ", shown %s on %d x %d",
                      config.fullscreen ? "fullscreen" : "in a window", drawableWidth, drawableHeight);
    }
    return std::string(line) + "\n";
}

void writeGlJson(JsonWriter& json, bool forced) {
    const auto text = [](GLenum name) {
        const auto* value = reinterpret_cast<const char*>(glGetString(name));
        return value != nullptr ? value : "";
    };
    const GlExtensions& extensions = GlExtensions::instance();
    json.key("gl").beginObject().member("vendor", text(GL_VENDOR)).member("renderer", text(GL_RENDERER));
    json.member("version", text(GL_VERSION)).member("gpuClass", extensions.GpuVendorClass);
    json.member("forced", forced).member("software", extensions.softwareRenderer).endObject();
}

void writePictureJson(JsonWriter& json, const DisplayConfig& config, bool shown) {
    const bool sized = config.pictureSizedTargets();
    json.key("picture").beginObject().member("width", config.width).member("height", config.height);
    json.member("targetWidth", sized ? config.width : config.renderTargetSize);
    json.member("targetHeight", sized ? config.height : config.renderTargetSize);
    json.member("pixelScale", static_cast<double>(config.pixelScale())).key("shown");
    if (shown && config.window != nullptr) {
        int drawableWidth = 0;
        int drawableHeight = 0;
        SDL_GL_GetDrawableSize(config.window, &drawableWidth, &drawableHeight);
        json.beginObject().member("fullscreen", config.fullscreen).member("width", drawableWidth);
        json.member("height", drawableHeight).endObject();
    } else {
        json.null();
    }
    json.endObject();
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
