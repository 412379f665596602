// Platform: what the layers below src/app need of the window system and the operating system, as a table of
// functions the platform layer hands over at start-up (app/Platform.h: installPlatform), the way it installs
// the message presenter: present the finished frame, handle at most one window message, sleep, the
// performance counter and the calling thread's CPU time. The timeline calls the free functions below and
// never includes a platform header. Calling one before the table is installed is a programmer error: the
// process stops with a message that says what to call first.
#pragma once

#include <cstdint>
#include <string>

namespace halcyra {

struct PlatformFunctions {
    void (*presentFrame)() = nullptr;       // the finished frame to the screen (SwapBuffers)
    bool (*dispatchOneMessage)() = nullptr; // handles at most one window message; whether one was handled
    void (*sleepMilliseconds)(uint32_t milliseconds) = nullptr;
    uint64_t (*performanceCounter)() = nullptr;
    uint64_t (*performanceFrequency)() = nullptr; // counter ticks per second
    double (*threadCpuMilliseconds)() = nullptr;  // CPU time the calling thread has used
    double (*processCpuMilliseconds)() = nullptr; // CPU time of the whole process, every thread
    double (*residentMebibytes)() = nullptr;      // memory the process holds now; 0 where unknown
    void (*returnFreeMemory)() = nullptr;         // freed memory the allocator still holds, handed back
    void (*setSingleSampledScreen)(bool on) = nullptr;
    void (*resizePicture)(int width, int height, bool full) = nullptr;
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
// CPU time (user and system) of the whole process in ms, the GPU driver's threads and the program's
// workers included.
double processCpuMilliseconds();
// The memory the process holds now (resident set), in MiB; 0 where the system does not say.
double residentMebibytes();
// Hands memory that was freed but is still held by the allocator (every thread's) back to the system.
void returnFreeMemory();
// While on, frames are drawn single-sampled, without depth: for the loading screen, whose flat shapes and
// bitmap text gain nothing from multisampling. Nothing changes where the screen is not multisampled.
void setSingleSampledScreen(bool on);

// Adaptive quality: the frames from here on are drawn at width × height and scaled to the window (`full`:
// the picture's own size again, into the show's own targets). Between frames only. Nothing happens where the
// platform cannot resize (no screen framebuffer).
void resizePicture(int width, int height, bool full);

// Milliseconds between two readings of the performance counter.
double counterMilliseconds(uint64_t from, uint64_t to);

// Where the show's data lies (data.qz, textures/, models/, muzak.mp3). Loaders keep the names the show and
// its lists use ("data.qz", "models/ball.3ds") in what they report, and open them against this folder, so
// that nothing enters it: the working directory stays where the program was started, for F12 frames and
// the paths given on the command line. Set by the program before loading; the working directory until then.
void setDataFolder(const std::string& folder);
// `name` in the data folder; an absolute name as it is.
std::string dataFilePath(const std::string& name);

} // namespace halcyra
