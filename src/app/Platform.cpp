#include "app/Platform.h"

#include "app/Events.h"
#include "app/Presentation.h"
#include "core/Platform.h"

#include <SDL.h>

#include <sys/resource.h>
#include <time.h>

namespace halcyra {
namespace {

double threadCpu() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1000.0 + static_cast<double>(now.tv_nsec) / 1.0e6;
}

} // namespace

void installPlatform() {
    PlatformFunctions functions;
    functions.presentFrame = swapBuffers;
    functions.dispatchOneMessage = dispatchOneEvent;
    functions.sleepMilliseconds = SDL_Delay;
    functions.performanceCounter = SDL_GetPerformanceCounter;
    functions.performanceFrequency = SDL_GetPerformanceFrequency;
    functions.threadCpuMilliseconds = threadCpu;
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

} // namespace halcyra
