#include "app/Platform.h"

#include "app/Events.h"
#include "app/MessageBox.h"
#include "app/Presentation.h"
#include "app/ScreenFramebuffer.h"
#include "core/Message.h"
#include "core/Platform.h"

#include <SDL.h>

#include <malloc.h>
#include <sys/resource.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <utility>

namespace halcyra {
namespace {

double threadCpu() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1000.0 + static_cast<double>(now.tv_nsec) / 1.0e6;
}

double processCpu() {
    return processCpuMilliseconds(false);
}

double residentMemory() {
    long pages = 0;
    long resident = 0;
    if (std::FILE* statm = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(statm);
    }
    return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

void trimFreeMemory() {
#ifdef __GLIBC__
    malloc_trim(0);
#endif
}

} // namespace

PlatformSettings settings;

void configurePlatform(PlatformSettings chosen) {
    settings = std::move(chosen);
    setMessagePresenter(settings.interactive ? showMessageBox : nullptr);
}

const PlatformSettings& platformSettings() {
    return settings;
}

void installPlatform() {
    PlatformFunctions functions;
    functions.presentFrame = swapBuffers;
    functions.dispatchOneMessage = dispatchOneEvent;
    functions.sleepMilliseconds = SDL_Delay;
    functions.performanceCounter = SDL_GetPerformanceCounter;
    functions.performanceFrequency = SDL_GetPerformanceFrequency;
    functions.threadCpuMilliseconds = threadCpu;
    functions.processCpuMilliseconds = processCpu;
    functions.residentMebibytes = residentMemory;
    functions.returnFreeMemory = trimFreeMemory;
    functions.setSingleSampledScreen = drawSingleSampled;
    functions.resizePicture = drawPictureAt;
    setPlatformFunctions(functions);
}

double processCpuMilliseconds(bool children) {
    rusage usage{};
    getrusage(children ? RUSAGE_CHILDREN : RUSAGE_SELF, &usage);
    const auto ms = [](const timeval& t) {
        return static_cast<double>(t.tv_sec) * 1000.0 + t.tv_usec / 1000.0;
    };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
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

} // namespace halcyra
