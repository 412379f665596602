// Platform: what the layers below src/app need of the window system and the operating system, as a table of
// functions the platform layer hands over at start-up (app/Platform.h: installPlatform), the way it installs
// the message presenter: present the finished frame, handle at most one window message, sleep, the
// performance counter and the calling thread's CPU time. The timeline calls the free functions below and
// never includes a platform header. Calling one before the table is installed is a programmer error: the
// process stops with a message that says what to call first.
#pragma once

#include <cstdint>

namespace halcyra {

struct PlatformFunctions {
    void (*presentFrame)() = nullptr;       // the finished frame to the screen (SwapBuffers)
    bool (*dispatchOneMessage)() = nullptr; // handles at most one window message; whether one was handled
    void (*sleepMilliseconds)(uint32_t milliseconds) = nullptr;
    uint64_t (*performanceCounter)() = nullptr;
    uint64_t (*performanceFrequency)() = nullptr; // counter ticks per second
    double (*threadCpuMilliseconds)() = nullptr;  // CPU time the calling thread has used
};

// Installs the table (the platform layer does, once at start-up); an empty table uninstalls it.
void setPlatformFunctions(const PlatformFunctions& functions);
const PlatformFunctions& platformFunctions();

void presentFrame();
bool dispatchOneMessage();
void sleepMilliseconds(uint32_t milliseconds);
uint64_t performanceCounter();
uint64_t performanceFrequency();
double threadCpuMilliseconds();

// Milliseconds between two readings of the performance counter.
double counterMilliseconds(uint64_t from, uint64_t to);

} // namespace halcyra
