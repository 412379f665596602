// The platform layer: SDL windows and GL contexts, the screen framebuffer the show draws into, presenting
// it letterboxed onto the window, the one-event-per-frame pump, the performance counter and message boxes.
// Start-up calls initDisplay; the timeline calls swapBuffers and dispatchOneMessage once per frame.
// Nothing outside src/app (and the timeline's music and font) talks to SDL.
#pragma once

#include <cstdint>
#include <optional>

union SDL_Event;

namespace halcyra {

class DisplayConfig;

// What start-up is asked for: the dialog, or the mode to take without it, and any switches the command
// line sets (they preset the dialog too).
struct DisplayRequest {
    bool showDialog = true;
    std::optional<int> mode; // a mode button of the setup dialog
    std::optional<bool> fullscreen;
    std::optional<bool> vsync;
    // A picture size other than the mode's (offline rendering); the aspect follows it.
    std::optional<int> width;
    std::optional<int> height;
    // Offline rendering draws into a window nobody sees.
    bool hidden = false;
};

// The render-target edge for a picture of this size: 1024 up to the show's own 1280-wide modes, otherwise
// the next power of two of the larger side, so that large pictures keep their detail. Above 1024 the Engine
// gives its picture targets the picture's own size and keeps this edge for the square shadow map.
int renderTargetSizeFor(int width, int height);

// Initialises SDL's video subsystem. Returns false, with the reason in `error`, when no video driver works.
bool initVideo(const char** error);

// True when the video driver draws to no screen (SDL's offscreen or dummy driver).
bool isHeadless();

// Marks the session as interactive: messages are then also shown in modal boxes.
void setInteractive(bool interactive);
bool isInteractive();

// The start-up sequence, up to a shown main window with a current context: dummy context, extensions,
// the dialog (or, without it, its state taken as if Run had been pressed), multisample choice, dummy
// destroyed, main window. Exit in the dialog ends the process with status 0.
void initDisplay(DisplayConfig& config, const DisplayRequest& request);

void createDummyContext(DisplayConfig& config);
bool chooseMultisampleFormat(DisplayConfig& config, int sampleCount);
void destroyDummyContext(DisplayConfig& config);
void createMainWindow(DisplayConfig& config, bool hidden = false);

// Presents the screen framebuffer: resolve, scale into the window with the aspect kept (black bars), swap.
// The screen framebuffer is bound again afterwards for drawing and reading.
void swapBuffers();
// Offline runs read their frames from the screen framebuffer and show nobody the window: presenting is
// switched off, and swapBuffers leaves the finished frame where it is.
void setPresenting(bool present);

// The colour buffer that holds the finished frame at `width` × `height`: the screen framebuffer, or its
// resolved copy when it is multisampled. Binds it for reading and returns its name.
uint32_t bindScreenForReading();

// While on, the screen framebuffer is the single-sampled copy of a multisampled screen (no depth buffer),
// so that a frame costs no multisampled clear and no resolve. The loading screen, flat shapes and bitmap
// text drawn without depth, uses it; nothing changes where the screen is not multisampled.
void setSingleSampledScreen(bool on);

// Takes at most one event that matters from the queue and handles it as the window procedure does.
// Returns whether one was handled.
bool dispatchOneMessage();

// The window procedure: close → running = 0; Escape → running = 0; F12 → the capture handler.
void windowProc(const SDL_Event& event);

// What F12 does; empty until frame capture installs it.
using CaptureHandler = void (*)();
void setCaptureHandler(CaptureHandler handler);

uint64_t performanceCounter();
// CPU time the calling thread has used, in ms (the GPU driver's own threads are not counted).
double threadCpuMilliseconds();
// The memory the process holds now (resident set), in MiB; 0 where the system does not say.
double residentMebibytes();
// Sets the allocator up for a show that loads everything at once: memory freed is kept for reuse. Called
// first thing in main, before any thread starts.
void tuneMemoryAllocator();
// Hands memory that was freed but is still held by the allocator (every thread's) back to the system.
void returnFreeMemory();
uint64_t performanceFrequency();
// CPU time (user and system) of the whole process in ms, the GPU driver's threads and the program's
// workers included; or, with `children`, of the child processes that have ended and been waited for.
double processCpuMilliseconds(bool children = false);
void sleepMilliseconds(uint32_t milliseconds);

// Releases the main window and SDL at the very end of a run.
void shutdownDisplay();

} // namespace halcyra
