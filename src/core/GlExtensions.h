// GlExtensions: the one record of which OpenGL extensions the driver offers, their entry points and the
// GPU vendor class. loadGlExtensions fills it once during start-up, while the first GL context is current;
// everything after reads it. An advertised extension that lacks an entry point the renderer cannot do
// without ends the process with "Couldn't find functions for <name>.".
#pragma once

#define GL_GLEXT_PROTOTYPES 0
#include <GL/gl.h>
#include <GL/glext.h>

#include <cstdint>

namespace halcyra {

// Context-extension entry points the renderer records but never calls.
using PlatformProc = void (*)();
// The swap-interval entry point, provided by the platform layer.
using SwapIntervalProc = int (*)(int interval);

#include "core/GlExtensionTable.inc"

enum class GlExtension : int {
#define HALCYRA_EXTENSION_ENUM(id, name, entries) id,
    HALCYRA_GL_EXTENSIONS(HALCYRA_EXTENSION_ENUM)
#undef HALCYRA_EXTENSION_ENUM
        Count
};

// What the platform's context tells the loader besides the GL strings.
struct GlPlatform {
    void* (*getProcAddress)(const char* name) = nullptr;
    // The context-extension string of the window system (GLX's or EGL's); may be null.
    const char* contextExtensions = nullptr;
    // Whether the window system can set the swap interval; it stands for WGL_EXT_swap_control.
    bool swapControl = false;
    SwapIntervalProc setSwapInterval = nullptr;
};

// Timer queries (GL_ARB_timer_query), beyond the extensions the show needs: they measure where a frame's
// time goes, and without them only the main thread's side of that is measured.
struct GlTimerQueries {
    PFNGLGENQUERIESPROC genQueries = nullptr;
    PFNGLDELETEQUERIESPROC deleteQueries = nullptr;
    PFNGLQUERYCOUNTERPROC queryCounter = nullptr;
    PFNGLGETQUERYOBJECTIVPROC getQueryObjectiv = nullptr;
    PFNGLGETQUERYOBJECTUI64VPROC getQueryObjectui64v = nullptr;
    bool available() const {
        return genQueries && deleteQueries && queryCounter && getQueryObjectiv && getQueryObjectui64v;
    }
};

struct GlExtensions {
    static GlExtensions& instance();

    // 2 when the GL vendor names NVIDIA and not ATI Technologies, else 1. Chooses render-target formats.
    int32_t GpuVendorClass = 0;
    uint8_t flags[static_cast<int>(GlExtension::Count)] = {};

    bool has(GlExtension extension) const { return flags[static_cast<int>(extension)] != 0; }
    static const char* name(GlExtension extension);

#define HALCYRA_ENTRY_FIELD(type, entry, fatal) type entry = nullptr;
#define HALCYRA_EXTENSION_FIELDS(id, name, entries) entries(HALCYRA_ENTRY_FIELD)
    HALCYRA_GL_EXTENSIONS(HALCYRA_EXTENSION_FIELDS)
#undef HALCYRA_EXTENSION_FIELDS
#undef HALCYRA_ENTRY_FIELD

    GlTimerQueries timerQueries;
    // The renderer is a software rasterizer (Mesa's llvmpipe, softpipe or swrast): the CPU draws every pixel.
    bool softwareRenderer = false;
};

// True when `name` occurs in `list` followed by a blank or the end of the string. Only the character
// after an occurrence is examined, so a name that ends a longer advertised name counts as found.
bool hasExtension(const char* name, const char* list);

// True when either string advertises `name`.
bool isExtensionSupported(const char* name, const char* glExtensions, const char* contextExtensions);

// Whether a GL renderer string names a software rasterizer (llvmpipe, softpipe, swrast).
bool isSoftwareRenderer(const char* renderer);

// 1 or 2 from the GL vendor string; see GpuVendorClass.
int gpuVendorClass(const char* vendor);

// Fills `record` from a vendor string, the GL extension string and the platform: the vendor class, one
// flag per extension, then, walking the extensions in order, the entry points of every advertised one.
// The first advertised extension that lacks an entry point it cannot do without ends the process.
void fillGlExtensions(GlExtensions& record, const char* vendor, const char* glExtensions,
                      const GlPlatform& platform);

// Fills GlExtensions::instance() from the current context. Returns normally or ends the process.
void loadGlExtensions(const GlPlatform& platform);

} // namespace halcyra
