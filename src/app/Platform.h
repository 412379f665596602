// The platform layer's side of core/Platform.h: installPlatform hands the rest of the program SDL's
// presentation, event pump, sleep and performance counter and the kernel's thread CPU clock. main and the
// test programs call it first. The timers the capture reports with live here too.
#pragma once

namespace halcyra {

// Installs the platform functions of core/Platform.h.
void installPlatform();

// CPU time (user and system) of the whole process in ms, the GPU driver's threads and the program's
// workers included; or, with `children`, of the child processes that have ended and been waited for.
double processCpuMilliseconds(bool children);

// Sets the allocator up for a show that loads everything at once: memory freed is kept for reuse. Called
// first thing in main, before any thread starts.
void tuneMemoryAllocator();

} // namespace halcyra
