#include "app/Display.h"

#include "app/SetupDialog.h"
#include "core/DisplayConfig.h"
#include "core/GlExtensions.h"
#include "core/Message.h"

#include <SDL.h>

#include <EGL/egl.h>
#include <GL/glx.h>

#include <malloc.h>
#include <sys/resource.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace halcyra {
namespace {

bool interactiveSession = false;
bool presenting = true;
CaptureHandler captureHandler = nullptr;

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

void showMessageBox(const Message& message) {
    if (!interactiveSession)
        return;
    const Uint32 flags = message.icon == MessageIcon::Warning ? SDL_MESSAGEBOX_WARNING : 0;
    const std::string title = message.caption.empty() ? "halcyra" : message.caption;
    SDL_Window* owner = DisplayConfig::instance().window;
    if (owner != nullptr && (SDL_GetWindowFlags(owner) & SDL_WINDOW_HIDDEN))
        owner = nullptr;
    SDL_ShowSimpleMessageBox(flags, title.c_str(), message.text.c_str(), owner);
}

int setSwapInterval(int interval) {
    return SDL_GL_SetSwapInterval(interval) == 0 ? 1 : 0;
}

void* getProcAddress(const char* name) {
    return SDL_GL_GetProcAddress(name);
}

// The window system's context-extension string and whether it can set the swap interval.
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

// Builds the width × height framebuffer that stands for the window's own. Returns false when the driver
// cannot; the show then draws straight into the window.
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

// Event kinds the show never handles; switched off so that a frame's one event is one that matters.
void ignoreUnhandledEvents() {
    const Uint32 ignored[] = {
        SDL_MOUSEMOTION, SDL_MOUSEBUTTONDOWN, SDL_MOUSEBUTTONUP, SDL_MOUSEWHEEL,
        SDL_KEYUP,       SDL_TEXTINPUT,       SDL_TEXTEDITING,   SDL_FINGERDOWN,
        SDL_FINGERUP,    SDL_FINGERMOTION,    SDL_JOYAXISMOTION, SDL_CONTROLLERAXISMOTION,
        SDL_SYSWMEVENT,  SDL_KEYMAPCHANGED,   SDL_DROPFILE,      SDL_DROPTEXT};
    for (Uint32 type : ignored)
        SDL_EventState(type, SDL_IGNORE);
    SDL_StopTextInput();
}

bool eventMatters(const SDL_Event& event) {
    switch (event.type) {
    case SDL_QUIT:
        return true;
    case SDL_WINDOWEVENT:
        return event.window.event == SDL_WINDOWEVENT_CLOSE;
    case SDL_KEYDOWN:
        return event.key.keysym.sym == SDLK_ESCAPE || event.key.keysym.sym == SDLK_F12;
    default:
        return false;
    }
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

void setInteractive(bool interactive) {
    interactiveSession = interactive;
    setMessagePresenter(interactive ? showMessageBox : nullptr);
}

bool isInteractive() {
    return interactiveSession;
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
    applyPixelFormat(config.pixelFormatDescriptor);
    config.window =
        SDL_CreateWindow("", 0, 0, 1, 1, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN | SDL_WINDOW_BORDERLESS);
    if (config.window == nullptr)
        fatalError(std::string("Could not create an OpenGL window: ") + SDL_GetError());
    config.glContext = SDL_GL_CreateContext(config.window);
    if (config.glContext == nullptr)
        fatalError(std::string("Could not create an OpenGL context: ") + SDL_GetError());
    SDL_GL_MakeCurrent(config.window, config.glContext);
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

void destroyDummyContext(DisplayConfig& config) {
    SDL_GL_MakeCurrent(config.window, nullptr);
    SDL_GL_DeleteContext(config.glContext);
    SDL_DestroyWindow(config.window);
    config.window = nullptr;
    config.glContext = nullptr;
}

void createMainWindow(DisplayConfig& config, bool hidden) {
    applyPixelFormat(config.pixelFormatDescriptor);
    Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_ALLOW_HIGHDPI;
    flags |= config.fullscreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : SDL_WINDOW_RESIZABLE;
    if (hidden)
        flags = SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN;
    const int display = std::clamp(config.display, 0, std::max(0, SDL_GetNumVideoDisplays() - 1));
    const int position = SDL_WINDOWPOS_CENTERED_DISPLAY(display);
    config.window =
        SDL_CreateWindow("halcyra by mosslight", position, position, config.width, config.height, flags);
    if (config.window == nullptr)
        fatalError(std::string("Could not open the window: ") + SDL_GetError());
    config.glContext = SDL_GL_CreateContext(config.window);
    if (config.glContext == nullptr)
        fatalError(std::string("Could not create an OpenGL context: ") + SDL_GetError());
    SDL_GL_MakeCurrent(config.window, config.glContext);

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

void setPresenting(bool present) {
    presenting = present;
}

void swapBuffers() {
    DisplayConfig& config = DisplayConfig::instance();
    if (!presenting)
        return;
    if (screen.framebuffer == 0) {
        SDL_GL_SwapWindow(config.window);
        return;
    }
    const GlExtensions& ext = GlExtensions::instance();
    bindScreenForReading();

    int drawableWidth = 0;
    int drawableHeight = 0;
    SDL_GL_GetDrawableSize(config.window, &drawableWidth, &drawableHeight);
    const double scale = std::min(static_cast<double>(drawableWidth) / config.width,
                                  static_cast<double>(drawableHeight) / config.height);
    const int width = static_cast<int>(config.width * scale + 0.5);
    const int height = static_cast<int>(config.height * scale + 0.5);
    const int x = (drawableWidth - width) / 2;
    const int y = (drawableHeight - height) / 2;

    GLboolean scissor = glIsEnabled(GL_SCISSOR_TEST);
    GLboolean colorMask[4];
    GLfloat clearColor[4];
    glGetBooleanv(GL_COLOR_WRITEMASK, colorMask);
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clearColor);
    glDisable(GL_SCISSOR_TEST);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);

    ext.glBindFramebufferEXT(GL_DRAW_FRAMEBUFFER_EXT, 0);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    const bool exact = width == config.width && height == config.height;
    screen.blit(0, 0, config.width, config.height, x, y, x + width, y + height, GL_COLOR_BUFFER_BIT,
                exact ? GL_NEAREST : GL_LINEAR);

    glClearColor(clearColor[0], clearColor[1], clearColor[2], clearColor[3]);
    glColorMask(colorMask[0], colorMask[1], colorMask[2], colorMask[3]);
    if (scissor)
        glEnable(GL_SCISSOR_TEST);

    SDL_GL_SwapWindow(config.window);
    ext.glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, config.screenFramebuffer);
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
    GLboolean scissor = glIsEnabled(GL_SCISSOR_TEST);
    glDisable(GL_SCISSOR_TEST);
    screen.blit(0, 0, config.width, config.height, 0, 0, config.width, config.height, GL_COLOR_BUFFER_BIT,
                GL_NEAREST);
    if (scissor)
        glEnable(GL_SCISSOR_TEST);
    ext.glBindFramebufferEXT(GL_DRAW_FRAMEBUFFER_EXT, screen.framebuffer);
    ext.glBindFramebufferEXT(GL_READ_FRAMEBUFFER_EXT, screen.resolveFramebuffer);
    return screen.resolveFramebuffer;
}

void setSingleSampledScreen(bool on) {
    if (screen.resolveFramebuffer == 0 || screen.singleSampled == on)
        return;
    DisplayConfig& config = DisplayConfig::instance();
    screen.singleSampled = on;
    config.screenFramebuffer = on ? screen.resolveFramebuffer : screen.framebuffer;
    GlExtensions::instance().glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, config.screenFramebuffer);
}

bool dispatchOneMessage() {
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        if (eventMatters(event)) {
            windowProc(event);
            return true;
        }
    }
    return false;
}

void windowProc(const SDL_Event& event) {
    DisplayConfig& config = DisplayConfig::instance();
    switch (event.type) {
    case SDL_QUIT:
        config.running = false;
        break;
    case SDL_WINDOWEVENT:
        if (event.window.event == SDL_WINDOWEVENT_CLOSE)
            config.running = false;
        break;
    case SDL_KEYDOWN:
        if (event.key.keysym.sym == SDLK_ESCAPE)
            config.running = false;
        else if (event.key.keysym.sym == SDLK_F12 && captureHandler != nullptr)
            captureHandler();
        break;
    default:
        break;
    }
}

void setCaptureHandler(CaptureHandler handler) {
    captureHandler = handler;
}

uint64_t performanceCounter() {
    return SDL_GetPerformanceCounter();
}

uint64_t performanceFrequency() {
    return SDL_GetPerformanceFrequency();
}

double threadCpuMilliseconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1000.0 + static_cast<double>(now.tv_nsec) / 1.0e6;
}

double processCpuMilliseconds(bool children) {
    rusage usage{};
    getrusage(children ? RUSAGE_CHILDREN : RUSAGE_SELF, &usage);
    const auto ms = [](const timeval& t) {
        return static_cast<double>(t.tv_sec) * 1000.0 + t.tv_usec / 1000.0;
    };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
}

double residentMebibytes() {
    long pages = 0;
    long resident = 0;
    if (std::FILE* statm = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(statm);
    }
    return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

void tuneMemoryAllocator() {
#ifdef __GLIBC__
    // Every first touch of a page costs, so memory is reused rather than handed back and fetched again.
    // One heap for every thread: the pictures that the decoding threads free as they go into their GL
    // objects make room for the GL's own allocations. Blocks below 32 MiB come from that heap, and it is
    // not trimmed as it goes; returnFreeMemory hands back what is left over once loading is done.
    mallopt(M_ARENA_MAX, 1);
    mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024);
    mallopt(M_TRIM_THRESHOLD, 1024 * 1024 * 1024);
#endif
}

void returnFreeMemory() {
#ifdef __GLIBC__
    malloc_trim(0);
#endif
}

void sleepMilliseconds(uint32_t milliseconds) {
    SDL_Delay(milliseconds);
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
