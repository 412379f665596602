#include "core/GlExtensions.h"

#include "core/Message.h"

#include <cstring>
#include <string>

namespace halcyra {

GlExtensions& GlExtensions::instance() {
    static GlExtensions record;
    return record;
}

const char* GlExtensions::name(GlExtension extension) {
    static const char* const names[] = {
#define HALCYRA_EXTENSION_NAME(id, name, entries) name,
        HALCYRA_GL_EXTENSIONS(HALCYRA_EXTENSION_NAME)
#undef HALCYRA_EXTENSION_NAME
    };
    return names[static_cast<int>(extension)];
}

bool hasExtension(const char* name, const char* list) {
    if (list == nullptr || name == nullptr || *name == '\0')
        return false;
    const size_t length = std::strlen(name);
    for (const char* found = std::strstr(list, name); found != nullptr;
         found = std::strstr(found + length, name)) {
        const char next = found[length];
        if (next == ' ' || next == '\0')
            return true;
    }
    return false;
}

bool isExtensionSupported(const char* name, const char* glExtensions, const char* contextExtensions) {
    return hasExtension(name, glExtensions) || hasExtension(name, contextExtensions);
}

bool isSoftwareRenderer(const char* renderer) {
    if (renderer == nullptr)
        return false;
    for (const char* name : {"llvmpipe", "softpipe", "swrast"})
        if (std::strstr(renderer, name) != nullptr)
            return true;
    return false;
}

int gpuVendorClass(const char* vendor) {
    if (vendor == nullptr || std::strstr(vendor, "ATI Technologies") != nullptr)
        return 1;
    return std::strstr(vendor, "NVIDIA") != nullptr ? 2 : 1;
}

void fillGlExtensions(GlExtensions& record, const char* vendor, const char* glExtensions,
                      const GlPlatform& platform) {
    record.GpuVendorClass = gpuVendorClass(vendor);
    const char* contextExtensions = platform.contextExtensions;
    for (int i = 0; i < static_cast<int>(GlExtension::Count); ++i) {
        const auto extension = static_cast<GlExtension>(i);
        record.flags[i] =
            isExtensionSupported(GlExtensions::name(extension), glExtensions, contextExtensions);
    }
    // The window system's swap control stands for WGL_EXT_swap_control, whatever it is called there.
    record.flags[static_cast<int>(GlExtension::WglExtSwapControl)] = platform.swapControl;

    auto fetch = [&](const char* entry) -> void* {
        return platform.getProcAddress ? platform.getProcAddress(entry) : nullptr;
    };
    bool complete = true;
#define HALCYRA_FETCH_ENTRY(type, entry, fatal)                                                              \
    record.entry = reinterpret_cast<type>(fetch(#entry));                                                    \
    if (fatal && record.entry == nullptr)                                                                    \
        complete = false;
#define HALCYRA_FETCH_EXTENSION(id, name, entries)                                                           \
    if (record.has(GlExtension::id)) {                                                                       \
        complete = true;                                                                                     \
        entries(HALCYRA_FETCH_ENTRY);                                                                        \
        if (!complete)                                                                                       \
            fatalError(std::string("Couldn't find functions for ") + name + ".");                            \
    }
    HALCYRA_GL_EXTENSIONS(HALCYRA_FETCH_EXTENSION)
#undef HALCYRA_FETCH_EXTENSION
#undef HALCYRA_FETCH_ENTRY

    record.timerQueries = GlTimerQueries{};
    if (hasExtension("GL_ARB_timer_query", glExtensions)) {
        GlTimerQueries& queries = record.timerQueries;
        queries.genQueries = reinterpret_cast<PFNGLGENQUERIESPROC>(fetch("glGenQueries"));
        queries.deleteQueries = reinterpret_cast<PFNGLDELETEQUERIESPROC>(fetch("glDeleteQueries"));
        queries.queryCounter = reinterpret_cast<PFNGLQUERYCOUNTERPROC>(fetch("glQueryCounter"));
        queries.getQueryObjectiv = reinterpret_cast<PFNGLGETQUERYOBJECTIVPROC>(fetch("glGetQueryObjectiv"));
        queries.getQueryObjectui64v =
            reinterpret_cast<PFNGLGETQUERYOBJECTUI64VPROC>(fetch("glGetQueryObjectui64v"));
    }

    // The swap interval is set through the window system, not through a fetched symbol.
    record.wglSwapIntervalEXT =
        record.has(GlExtension::WglExtSwapControl) ? platform.setSwapInterval : nullptr;
}

void loadGlExtensions(const GlPlatform& platform) {
    GlExtensions& record = GlExtensions::instance();
    fillGlExtensions(record, reinterpret_cast<const char*>(glGetString(GL_VENDOR)),
                     reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS)), platform);
    record.softwareRenderer = isSoftwareRenderer(reinterpret_cast<const char*>(glGetString(GL_RENDERER)));
}

} // namespace halcyra
