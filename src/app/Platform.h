// The platform layer's side of core/Platform.h: installPlatform hands the rest of the program SDL's
// presentation, event pump, sleep and performance counter and the kernel's thread CPU clock. main and the
// test programs call it first. configurePlatform then says, once per run, how the layer behaves: message
// boxes, presenting, F12, the player's keys and the studio's views. The timers the capture reports with
// live here too.
#pragma once

#include "timeline/Transport.h"

#include <functional>

namespace halcyra {

// Installs the platform functions of core/Platform.h.
void installPlatform();

struct PlatformSettings {
    // Messages are also shown in modal boxes (a real display, the dialog allowed, no offline render).
    bool interactive = false;
    // Finished frames go to the window; offline runs read them back from the screen framebuffer instead.
    bool presenting = true;
    // What F12 does.
    void (*capture)() = nullptr;
    // Where the player's keys go; the studio's keys are messages only with `studioKeys`.
    std::function<void(const PlayerRequest&)> player;
    bool studioKeys = false;
    // What the studio draws into the window as a frame is presented: `pictureView` draws into the picture's
    // rectangle in place of the finished frame when it returns true; `windowOverlay` over the whole drawable.
    std::function<bool(int x, int y, int width, int height)> pictureView;
    std::function<void(int width, int height)> windowOverlay;
};

// Sets how the platform layer behaves from now on; the defaults until the first call.
void configurePlatform(PlatformSettings settings);
const PlatformSettings& platformSettings();

// CPU time (user and system) of the whole process in ms, the GPU driver's threads and the program's
// workers included; or, with `children`, of the child processes that have ended and been waited for.
double processCpuMilliseconds(bool children);

// Sets the allocator up for a show that loads everything at once: memory freed is kept for reuse. Called
// first thing in main, before any thread starts.
void tuneMemoryAllocator();

} // namespace halcyra
